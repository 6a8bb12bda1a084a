// The documentation launch: the path goes whole to the desktop's opener as a file address,
// never through a shell, and a file that cannot be read, or an opener that cannot be started,
// shows the warning.

#include "shell/open_document.h"
#include "tests/gui/dialogs_test.h"

#include <QDesktopServices>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>

#include <optional>
#include <vector>

void DialogsTest::OpenDocument() {
    QTemporaryDir folder;
    const QString manual = folder.filePath(QStringLiteral("VTL Manual.htm"));
    QFile file(manual);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const struct {
        QString path;
        std::optional<bool> opens; // none: the desktop's own opener, which must not be reached
        bool warns;
    } cases[] = {
        {manual, true, false},
        {manual, false, true}, // no opener could be started
        {folder.filePath(QStringLiteral("missing.htm")), std::nullopt, true},
        {folder.path(), std::nullopt, true}, // a folder is no document
        {"", std::nullopt, false},           // nothing to open
    };
    for (const auto& c : cases) {
        QList<QUrl> opened;
        std::vector<vtl::MessageBoxText> messages;
        vtl::OpenDocument(
            c.path, nullptr,
            [&](const QUrl& url) {
                opened << url;
                return c.opens ? *c.opens : QDesktopServices::openUrl(url);
            },
            [&](QWidget*, const vtl::MessageBoxText& text) { messages.push_back(text); });

        QCOMPARE(opened, c.opens ? QList{QUrl::fromLocalFile(c.path)} : QList<QUrl>());
        QCOMPARE(messages.size(), c.warns ? 1u : 0u);
        for (const auto& message : messages) {
            QCOMPARE(message.caption, QStringLiteral("Warning"));
            QCOMPARE(message.text, QStringLiteral("Error jumping to:") + c.path);
            QCOMPARE(message.icon, QMessageBox::Warning);
        }
    }

    // The program's own opener hands the address to the desktop services: a browser takes
    // it in the desktop's place, and sees nothing if a shell or program is started instead.
    QTextBrowser desktop;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &desktop, "setSource");
    vtl::OpenDocument(manual, nullptr);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(desktop.source(), QUrl::fromLocalFile(manual));
}
