#include "shell/open_document.h"

#include <QDesktopServices>
#include <QUrl>

namespace vtl {

void OpenDocument(const QString& path, QWidget* parent) {
    OpenDocument(path, parent, &QDesktopServices::openUrl, &ShowMessageBox);
}

void OpenDocument(const QString& path, QWidget* parent, const UrlOpener& open,
                  const MessageBoxFn& messageBox) {
    if (path.isEmpty()) return;
    if (!open(QUrl::fromLocalFile(path)))
        messageBox(parent, {QStringLiteral("Warning"), QStringLiteral("Error jumping to:") + path,
                            QMessageBox::Warning});
}

} // namespace vtl
