#pragma once
// Opens a document, such as the user manual, with the program the desktop associates with it,
// and tells the user when that fails.

#include "shell/message_box.h"

#include <QString>

#include <functional>

class QUrl;
class QWidget;

namespace vtl {

// Opens the address with its default application; false when no application could be started.
using UrlOpener = std::function<bool(const QUrl& url)>;

// Opens the file at path as a file address; an empty path does nothing. A file that does not
// exist or cannot be read, or an opener that cannot be started, shows the warning
// "Error jumping to:" followed by the path.
void OpenDocument(const QString& path, QWidget* parent);
void OpenDocument(const QString& path, QWidget* parent, const UrlOpener& open,
                  const MessageBoxFn& messageBox);

} // namespace vtl
