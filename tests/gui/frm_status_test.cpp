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

// Appending or replacing the text, with the window shown before or after.
void DialogsTest::statusKeepsEndInView() {
    for (const bool shownFirst : {true, false}) {
        for (const bool replace : {true, false}) {
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
    }
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

// Closed by its Close button, by the window manager or by the transfer.
void DialogsTest::statusClosingClearsText() {
    for (const QString how : {"cmdClose", "close", "unload"}) {
        StatusRig rig;
        rig.status.setCaption("Loading Program Data from VTLConfig");
        rig.status.setText("Requesting VTLConfig Configuration..");
        rig.status.show();

        if (how == QLatin1String("cmdClose"))
            QTest::mouseClick(&rig.close(), Qt::LeftButton);
        else if (how == QLatin1String("close"))
            rig.status.close();
        else
            rig.status.unload();

        QCOMPARE(rig.closeInputs, how == QLatin1String("cmdClose") ? 1 : 0);
        QVERIFY(!rig.status.isVisible());
        rig.status.show();
        QCOMPARE(rig.text().toPlainText(), QString());
    }
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
