// The status window: the newest text stays in view, CR LF breaks lines, and each way of
// closing it clears the text while only Close stops the transfer.

#include "shell/frm_status.h"
#include "tests/gui/dialogs_test.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace {

struct StatusRig {
    QPlainTextEdit& text() {
        return *status.findChild<QPlainTextEdit*>(QStringLiteral("txtStatus"));
    }
    QPushButton& close() { return *status.findChild<QPushButton*>(QStringLiteral("cmdClose")); }

    int closeInputs = 0;
    vtl::frmStatus status{[this] { ++closeInputs; }};
};

std::string ManyLines(int count) {
    std::string text = "line 1";
    for (int i = 2; i <= count; ++i)
        text += "\r\nline " + std::to_string(i);
    return text;
}

} // namespace

void DialogsTest::statusKeepsEndInView_data() {
    QTest::addColumn<bool>("shownFirst");
    QTest::addColumn<bool>("replace");

    QTest::newRow("append while shown") << true << false;
    QTest::newRow("replace while shown") << true << true;
    QTest::newRow("append, then show") << false << false;
    QTest::newRow("replace, then show") << false << true;
}

void DialogsTest::statusKeepsEndInView() {
    QFETCH(bool, shownFirst);
    QFETCH(bool, replace);
    StatusRig rig;
    rig.status.setText("first");
    if (shownFirst) {
        rig.status.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.status));
    }

    replace ? rig.status.setText(ManyLines(40)) : rig.status.append("\r\n" + ManyLines(40));
    rig.status.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.status));

    QPlainTextEdit& text = rig.text();
    QCOMPARE(text.textCursor().position(), text.document()->characterCount() - 1);
    const QScrollBar* bar = text.verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(text.viewport()->rect().contains(text.cursorRect()));
}

void DialogsTest::statusShowsLineBreaks() {
    StatusRig rig;
    rig.status.setText("Requesting VTLConfig Configuration..\r\nTesting cabling set-up...");
    rig.status.append(".");
    rig.status.append("\r\nNumber of manuals detected = 3");

    QCOMPARE(rig.text().toPlainText(),
             QStringLiteral("Requesting VTLConfig Configuration..\nTesting cabling set-up....\n"
                            "Number of manuals detected = 3"));
    QCOMPARE(rig.text().document()->blockCount(), 3);
}

void DialogsTest::statusClosingClearsText_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("closeInputs");

    QTest::newRow("Close button") << "cmdClose" << 1;
    QTest::newRow("window closed") << "close" << 0;
    QTest::newRow("unloaded by the transfer") << "unload" << 0;
}

void DialogsTest::statusClosingClearsText() {
    QFETCH(QString, how);
    StatusRig rig;
    rig.status.setCaption("Loading Program Data from VTLConfig");
    rig.status.setText("Requesting VTLConfig Configuration..");
    rig.status.show();
    QVERIFY(rig.status.isVisible());

    if (how == QLatin1String("cmdClose"))
        QTest::mouseClick(&rig.close(), Qt::LeftButton);
    else if (how == QLatin1String("close"))
        rig.status.close();
    else
        rig.status.unload();

    QTEST(rig.closeInputs, "closeInputs");
    QVERIFY(!rig.status.isVisible());
    rig.status.show();
    QCOMPARE(rig.text().toPlainText(), QString());
}

void DialogsTest::statusClickIntoTextFocusesClose() {
    StatusRig rig;
    rig.status.setText(ManyLines(3));
    rig.status.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.status));
    const int end = rig.text().textCursor().position();

    QTest::mouseClick(rig.text().viewport(), Qt::LeftButton, {}, QPoint(5, 5));

    QCOMPARE(rig.status.focusWidget(), &rig.close());
    QCOMPARE(rig.text().textCursor().position(), end);
}
