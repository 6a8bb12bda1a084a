// The status window: the newest text stays in view, each way of closing it clears the text
// while only Close stops the transfer and any other is told as a dismissal, and the progress
// bar follows the transfer's figures.

#include "link/transfer_progress.h"
#include "shell/frm_status.h"
#include "tests/gui/dialogs_test.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace {

struct StatusRig {
    QPlainTextEdit& Text() {
        return *status.findChild<QPlainTextEdit*>(QStringLiteral("txtStatus"));
    }
    QPushButton& Close() { return *status.findChild<QPushButton*>(QStringLiteral("cmdClose")); }

    StatusRig() {
        status.OnDismissed([this] { ++dismissals; });
    }

    int closeInputs = 0;
    int dismissals = 0;
    vtl::ProgressWindow status{[this] { ++closeInputs; }};
};

std::string ManyLines(int count) {
    std::string text = "line 1";
    for (int i = 2; i <= count; ++i)
        text += "\nline " + std::to_string(i);
    return text;
}

} // namespace

// Appending or replacing the text, with the window shown before or after: an append goes on
// where the text ends, and a click into the text leaves the cursor there and gives Close the
// focus.
void DialogsTest::StatusKeepsEndInView() {
    for (const bool shownFirst : {true, false}) {
        for (const bool replace : {true, false}) {
            StatusRig rig;
            rig.status.SetText("first");
            if (shownFirst) {
                rig.status.show();
                QVERIFY(QTest::qWaitForWindowExposed(&rig.status));
            }
            replace ? rig.status.SetText(ManyLines(40)) : rig.status.Append("\n" + ManyLines(40));
            rig.status.show();
            QVERIFY(QTest::qWaitForWindowExposed(&rig.status));

            QPlainTextEdit& text = rig.Text();
            QCOMPARE(text.textCursor().position(), text.document()->characterCount() - 1);
            const QScrollBar* bar = text.verticalScrollBar();
            QVERIFY(bar->maximum() > 0);
            QCOMPARE(bar->value(), bar->maximum());
            QVERIFY(text.viewport()->rect().contains(text.cursorRect()));
            const std::string shown = replace ? ManyLines(40) : "first\n" + ManyLines(40);
            QCOMPARE(text.toPlainText(), QString::fromStdString(shown));
            const int end = text.textCursor().position();
            QTest::mouseClick(text.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
            QCOMPARE(rig.status.focusWidget(), &rig.Close());
            QCOMPARE(text.textCursor().position(), end);
        }
    }
}

// Closed by its Close button, by the window manager or by the transfer.
void DialogsTest::StatusClosingClearsText() {
    for (const QString how : {"cmdClose", "close", "unload"}) {
        StatusRig rig;
        rig.status.SetCaption("Loading Program Data from VTLConfig");
        rig.status.SetText("Requesting VTLConfig Configuration..");
        rig.status.show();

        if (how == QLatin1String("cmdClose"))
            QTest::mouseClick(&rig.Close(), Qt::LeftButton);
        else if (how == QLatin1String("close"))
            rig.status.close();
        else
            rig.status.Unload();

        QCOMPARE(rig.closeInputs, how == QLatin1String("cmdClose") ? 1 : 0);
        QCOMPARE(rig.dismissals, how == QLatin1String("close") ? 1 : 0);
        QVERIFY(!rig.status.isVisible());
        rig.status.show();
        QCOMPARE(rig.Text().toPlainText(), QString());
    }
}

// A read counting, under way, waiting for an answer and done, then a file load, which shows
// no bar and gives the window back its own size.
void DialogsTest::StatusBarFollowsTheFigures() {
    using vtl::TransferMode;
    const struct {
        vtl::TransferProgress figures;
        int maximum, value;
        const char* line; // nullptr: no bar
    } steps[] = {
        {{TransferMode::Reading}, 1, 0, "Counting manuals..."},
        {{TransferMode::Reading, 3, 2, 1, 3, 9, 15, 30, 5},
         30,
         15,
         "Manual 2 of 3 \u2014 about 5 s left"},
        {{TransferMode::Reading, 3, 2, 1, 3, 9, 15, 30, 5, true},
         30,
         15,
         "Manual 2 of 3 \u2014 waiting for an answer"},
        {{TransferMode::Reading, 3, 3, 3, 9, 9, 30, 30, 0}, 30, 30, "Manual 3 of 3 \u2014 done"},
        {{TransferMode::FileLoaded}, 0, 0, nullptr},
    };
    StatusRig rig;
    rig.status.show();
    const QSize ownSize = rig.status.size();
    const QRect ownClose = rig.Close().geometry();
    auto& bar = *rig.status.findChild<QProgressBar*>(QStringLiteral("prgTransfer"));
    const auto& line = *rig.status.findChild<QLabel*>(QStringLiteral("lblProgress"));
    QCOMPARE(bar.accessibleName(), QStringLiteral("Transfer progress"));
    for (const auto& step : steps) {
        rig.status.SetProgress(step.figures);
        QCOMPARE(bar.isVisible(), step.line != nullptr);
        QCOMPARE(rig.Close().geometry().top() > bar.geometry().bottom(), step.line != nullptr);
        if (!step.line) continue;
        QCOMPARE(bar.maximum(), step.maximum);
        QCOMPARE(bar.value(), step.value);
        QCOMPARE(line.text(), QString::fromUtf8(step.line));
    }
    QCOMPARE(rig.status.size(), ownSize);
    QCOMPARE(rig.Close().geometry(), ownClose);
}
