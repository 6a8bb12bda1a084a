// The documentation launch: the path goes whole to the desktop's opener, and only a failure
// shows the warning.

#include "shell/open_document.h"
#include "tests/gui/dialogs_test.h"

#include <QTest>
#include <QUrl>

#include <vector>

void DialogsTest::openDocument() {
    const struct {
        QString path;
        bool opens;
        QString warning; // empty: none
    } cases[] = {
        {"/opt/vtl/Documentation/VTL Manual.htm", true, ""},
        {"/missing/VTL Manual.htm", false, "Error jumping to:/missing/VTL Manual.htm"},
        {"", false, ""}, // nothing to open
    };
    for (const auto& c : cases) {
        QList<QUrl> opened;
        std::vector<vtl::MessageBoxText> messages;
        vtl::OpenDocument(
            c.path, nullptr,
            [&](const QUrl& url) {
                opened << url;
                return c.opens;
            },
            [&](QWidget*, const vtl::MessageBoxText& text) { messages.push_back(text); });

        QCOMPARE(opened, c.path.isEmpty() ? QList<QUrl>() : QList{QUrl::fromLocalFile(c.path)});
        QCOMPARE(messages.size(), c.warning.isEmpty() ? 0u : 1u);
        for (const auto& message : messages) {
            QCOMPARE(message.caption, QStringLiteral("Warning"));
            QCOMPARE(message.text, c.warning);
            QCOMPARE(message.icon, QMessageBox::Warning);
        }
    }
}
