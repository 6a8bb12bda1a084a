// The application against a simulated console that misbehaves: a read either ends whole, or
// it ends with the console from before it shown and kept, the status window or a message box
// having said what to check. The program goes on either way.

#include "editor/frm_main.h"
#include "link/transfer_controller.h"
#include "model/program_image.h"
#include "shell/application.h"
#include "shell/frm_status.h"
#include "sim/chain_faults.h"
#include "sim/mcu_chain.h"
#include "sysex/hex.h"
#include "tests/gui/app_test_support.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QString kDemoConsole = QStringLiteral(VTL_PROGRAM_FOLDER "/samples/three-manuals.vtl");

// The images of the console's manuals, as the program would write them.
QString Images(const vtl::ConsoleModel& console) {
    QString images = QString::number(console.manualCount);
    for (int m = 1; m <= vtl::kMaxManuals; ++m) {
        vtl::ConsoleModel at = console;
        at.currentManual = static_cast<std::int16_t>(m);
        const auto image = vtl::EncodeProgramImage(at);
        images += QString::fromStdString(image ? vtl::BytesToHex(*image) : image.error().message);
    }
    return images;
}

} // namespace

class AppFaultTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        vtl::test::UseScratchHome(tmp_.path());
        QStandardPaths::setTestModeEnabled(true);
    }

    void AReadOfAFaultyConsoleEndsWholeOrKeepsTheConsoleBefore() {
        const struct {
            const char* fault;
            const char* says; // in the status window or a message box; empty: read whole
            bool messageBox = false;
        } cases[] = {
            {"no-pass:2", "MCU 2 answers, but passes nothing on: check MCU 2"},
            {"silent:2", "Manual 2 does not answer, though messages pass its MCU"},
            {"mcus:0", "The test message came back without passing any MCU"},
            {"mcus:4", "The test message passed 4 MCUs, but a console has at most 3"},
            {"vanish:12", "during the read: its port is no longer there", true},
            {"port-error:12", "during the read: error sending MIDI message to port.", true},
            {"drop:3:2", ""},
            {"late:2:15", ""},
            {"twice:1", ""},
            {"high-byte:2", "Manual 2 sent damaged data (a byte lost or changed on the way)"},
        };
        vtl::Application app(vtl::test::DemoOptions());
        vtl::test::StartWithDemoRead(app);
        vtl::MainWindow& main = *app.Window();
        const QString before = Images(app.State().console);

        // Message boxes are read and closed as they come up.
        QString shown;
        int boxes = 0;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown += box->text();
                ++boxes;
                box->button(QMessageBox::Ok)->click();
            }
        });
        poll.start(10);
        const auto* text = app.Status().findChild<QPlainTextEdit*>(QStringLiteral("txtStatus"));
        for (const auto& c : cases) {
            const QString says = QString::fromLatin1(c.says);
            const bool recovers = says.isEmpty() || says.startsWith(QLatin1String("Manual 2 sent"));
            qInfo() << c.fault;
            vtl::McuChain& chain = *app.Link().Session().SimulatedChain();
            // Blank MCUs where the read must fail: a manual read before the fault would show.
            chain = vtl::McuChain(3);
            if (recovers) QVERIFY(chain.PreloadConsoleFile(kDemoConsole.toStdString()));
            QVERIFY(vtl::ApplyChainFault(chain, c.fault));
            shown.clear();
            boxes = 0;
            app.Link().StartRead();
            // The hint comes after five seconds of waiting; the status window lets the user stop.
            bool seen = false;
            vtl::test::TickUntil(app, [&] {
                seen = seen || (!says.isEmpty() && text->toPlainText().contains(says));
                return !app.Status().isVisible() || (seen && !recovers);
            });
            QVERIFY2(c.messageBox || seen == !says.isEmpty(), qPrintable(text->toPlainText()));
            if (!recovers && !c.messageBox)
                app.Status().findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
            QVERIFY(!app.Status().isVisible());
            QCOMPARE(app.Link().Transfer().State(),
                     recovers ? vtl::LinkState::Finishing : vtl::LinkState::Idle);
            QCOMPARE(Images(app.State().console), before);
            QVERIFY(main.findChild<QWidget*>(QStringLiteral("fraManual2"))->isVisible());
            QVERIFY(main.findChild<QAction*>(QStringLiteral("save"))->isEnabled());
            // Once is enough: the idle program says nothing more about it.
            for (int i = 0; i < 20; ++i)
                app.Link().Tick();
            QCOMPARE(boxes, c.messageBox ? 1 : 0);
            QVERIFY(!c.messageBox || shown.contains(says));
        }
    }

private:
    QTemporaryDir tmp_;
};

VTL_APP_TEST_MAIN(AppFaultTest)
#include "app_fault_test.moc"
