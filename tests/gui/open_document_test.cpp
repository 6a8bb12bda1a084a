// The documentation launch: the path goes whole to the desktop's opener, and only a failure
// shows the warning.

#include "shell/open_document.h"
#include "tests/gui/dialogs_test.h"

#include <QTest>
#include <QUrl>

#include <vector>

void DialogsTest::openDocument_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("message");

    QTest::newRow("success shows no message")
        << "/opt/vtl/Documentation/VTL Manual.htm" << true << "";
    QTest::newRow("failure warns with the path")
        << "/missing/VTL Manual.htm" << false << "Error jumping to:/missing/VTL Manual.htm";
    QTest::newRow("empty path does nothing") << "" << false << "";
}

void DialogsTest::openDocument() {
    QFETCH(QString, path);
    QFETCH(bool, opens);
    QFETCH(QString, message);
    QList<QUrl> opened;
    std::vector<vtl::MessageBoxText> messages;

    vtl::OpenDocument(
        path, nullptr,
        [&](const QUrl& url) {
            opened << url;
            return opens;
        },
        [&](QWidget*, const vtl::MessageBoxText& text) { messages.push_back(text); });

    if (path.isEmpty()) {
        QVERIFY(opened.isEmpty());
    } else {
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened[0].isLocalFile());
        QCOMPARE(opened[0].toLocalFile(), path);
    }
    if (message.isEmpty()) {
        QVERIFY(messages.empty());
        return;
    }
    QCOMPARE(messages.size(), std::size_t{1});
    QCOMPARE(messages[0].caption, QStringLiteral("Warning"));
    QCOMPARE(messages[0].text, message);
    QCOMPARE(messages[0].icon, QMessageBox::Warning);
}
