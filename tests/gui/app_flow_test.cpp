// The application's start-up flow, its transfers in demo mode, About, and the hand-over from
// a second copy to the first, on the offscreen platform.

#include "editor/frm_main.h"
#include "link/transfer_controller.h"
#include "shell/app_paths.h"
#include "shell/application.h"
#include "shell/frm_choice.h"
#include "shell/frm_splash.h"
#include "shell/frm_status.h"
#include "shell/single_instance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLocalSocket>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QString kProgramFolder = QStringLiteral(VTL_PROGRAM_FOLDER);

vtl::AppOptions DemoOptions() {
    vtl::AppOptions options;
    options.demo = true;
    options.programFolder = kProgramFolder;
    return options;
}

// Runs the transfer controller until it settles or the tick budget is spent.
bool TickUntilFinished(vtl::Application& app, int budget) {
    for (int i = 0; i < budget; ++i) {
        app.Tick();
        if (app.transfer().linkState() == vtl::LinkState::Finishing && !app.status().isVisible())
            return true;
    }
    return false;
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(text) == text.size();
}

} // namespace

class AppFlowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // Settings and backups go to a scratch home.
        qputenv("HOME", tmp_.path().toUtf8());
        qunsetenv("XDG_CONFIG_HOME");
        QStandardPaths::setTestModeEnabled(true);
        // The single-instance socket lives in the temporary folder: keep it private.
        qputenv("TMPDIR", tmp_.path().toUtf8());
    }

    void splashChoiceMainAndDemoRead() {
        vtl::Application app(DemoOptions());
        QVERIFY(app.Start());
        QDir(app.state().appDataFolder + QStringLiteral("/Backups")).removeRecursively();
        QVERIFY(app.splash().isVisible());
        QVERIFY(!app.choice().isVisible());

        QTest::mouseClick(&app.splash(), Qt::LeftButton);
        QVERIFY(!app.splash().isVisible());
        QVERIFY(app.choice().isVisible());
        QVERIFY(app.state().choiceShown);

        auto* wizard = app.choice().findChild<QLabel*>(QStringLiteral("lblWizard"));
        QVERIFY(wizard);
        QTest::mouseClick(wizard, Qt::LeftButton);
        QVERIFY(!app.choice().isVisible());
        QVERIFY(app.mainWindow()->isVisible());
        QCOMPARE(app.mainWindow()->windowTitle(), QStringLiteral("Larchmont VTLConfig"));
        QVERIFY(!app.mainWindow()->commandEnabled(vtl::frmMain::kWrite));

        // "New" starts a read at the first activation.
        app.mainWindow()->stopTimer();
        QTRY_COMPARE(app.transfer().transferMode(), vtl::TransferMode::Reading);
        QVERIFY(TickUntilFinished(app, 2000));
        QCOMPARE(app.state().console.manualCount, 3);
        QVERIFY(app.mainWindow()->commandEnabled(vtl::frmMain::kWrite));
        QVERIFY(app.mainWindow()->findChild<QWidget*>(QStringLiteral("fraManual2"))->isVisible());

        // The configuration read was kept as a backup.
        const QDir backups(app.state().appDataFolder + QStringLiteral("/Backups"));
        QCOMPARE(backups.entryList({QStringLiteral("*.vtl")}, QDir::Files).size(), 1);

        // A write back goes out whole and finishes.
        app.WriteToVtl();
        QVERIFY(TickUntilFinished(app, 5000));
        QCOMPARE(app.transfer().transferMode(), vtl::TransferMode::Writing);
    }

    void aboutNeverShowsTheChoiceAgain() {
        vtl::Application app(DemoOptions());
        QVERIFY(app.Start());
        QTest::mouseClick(&app.splash(), Qt::LeftButton);
        app.choice().hide(); // as after a choice
        for (int i = 0; i < 3; ++i) {
            QTimer::singleShot(0, &app.splash(),
                               [&] { QTest::keyClick(&app.splash(), Qt::Key_Space); });
            app.About();
            QVERIFY(!app.splash().isVisible());
            QVERIFY(!app.choice().isVisible());
        }
    }

    void demoKeepsTheRealMidiChoiceInTheSettings() {
        const QString path = vtl::AppDataFolder() + QStringLiteral("/VTLConfig.ini");
        QVERIFY(WriteFile(path, "[MIDI I/O]\nInput=3\nOutput=4\nConfigured=True\n"));
        {
            vtl::Application app(DemoOptions());
            QVERIFY(app.Start());
            QCOMPARE(app.state().midi.midiInSetting, 1); // the simulated console
            app.Shutdown();
        }
        const QByteArray text = ReadFile(path);
        QVERIFY2(text.contains("Input=3") && text.contains("Output=4"), text.constData());
    }

    void secondCopyHandsOverToTheFirst() {
        const QString program = kProgramFolder + QStringLiteral("/vtlconfig");
        QTemporaryDir home;
        // Logging on, so that the start lines can be counted.
        QVERIFY(WriteFile(home.path() +
                              QStringLiteral("/.config/Larchmont Consoles/VTLConfig/VTLConfig.ini"),
                          "[Tabulist]\nLog=1\n"));
        const QString log = kProgramFolder + QStringLiteral("/VTLConfig.log");
        const auto startLines = [&] { return ReadFile(log).count("MCU Config: start at "); };
        const auto linesBefore = startLines();

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/.config"));
        env.insert(QStringLiteral("TMPDIR"), home.path());

        QProcess first;
        first.setProcessEnvironment(env);
        first.start(program, {QStringLiteral("--demo")});
        QVERIFY(first.waitForStarted());
        // The first copy is ready once its socket answers.
        qputenv("TMPDIR", home.path().toUtf8());
        const vtl::SingleInstance names(QStringLiteral("Larchmont VTLConfig"));
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                QLocalSocket probe;
                probe.connectToServer(names.serverName());
                return probe.waitForConnected(100);
            }(),
            20000);
        qputenv("TMPDIR", tmp_.path().toUtf8());

        QProcess second;
        second.setProcessEnvironment(env);
        second.start(program, {QStringLiteral("--demo")});
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);
        QCOMPARE(startLines(), linesBefore + 1);

        first.kill();
        first.waitForFinished();
    }

private:
    QTemporaryDir tmp_;
};

QTEST_MAIN(AppFlowTest)
#include "app_flow_test.moc"
