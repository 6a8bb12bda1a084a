#include "shell/open_document.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace vtl {

void OpenDocument(const QString& path, QWidget* parent) {
    OpenDocument(path, parent, &QDesktopServices::openUrl, &ShowMessageBox);
}

void OpenDocument(const QString& path, QWidget* parent, const UrlOpener& open,
                  const MessageBoxFn& messageBox) {
    if (path.isEmpty()) return;
    // The opener starts a program and reports only whether that started, never whether the
    // program found the file: a file that cannot be read is told here.
    const QFileInfo file(path);
    const bool readable = file.isFile() && file.isReadable();
    if (!readable || !open(QUrl::fromLocalFile(path)))
        messageBox(parent, {QStringLiteral("Warning"), QStringLiteral("Error jumping to:") + path,
                            QMessageBox::Warning});
}

} // namespace vtl
