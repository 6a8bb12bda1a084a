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

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocalSocket>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
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

// Acts on the modal windows that come up next, one step per window and in order: a step
// waits until a window of its type that no earlier step closed is up.
class ModalScript {
public:
    ModalScript() {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            auto* window = QApplication::activeModalWidget();
            if (!window || window == last_ || steps_.empty() || !steps_.front()(window)) return;
            last_ = window;
            steps_.erase(steps_.begin());
        });
        poll_.start(10);
    }
    template <class W> ModalScript& then(std::function<void(W*)> act) {
        // A window that is still up after the act was not ready for it: tried again.
        steps_.push_back([act](QWidget* window) {
            auto* typed = qobject_cast<W*>(window);
            if (typed) act(typed);
            return typed && !typed->isVisible();
        });
        return *this;
    }
    ModalScript& answer(QMessageBox::StandardButton button) {
        return then<QMessageBox>([button](QMessageBox* box) { box->button(button)->click(); });
    }
    // Types the file name into the file dialog and accepts it.
    ModalScript& choose(const QString& path) {
        return then<QFileDialog>([path](QFileDialog* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
            QMetaObject::invokeMethod(dialog, "accept");
        });
    }

private:
    QTimer poll_;
    QPointer<QWidget> last_;
    std::vector<std::function<bool(QWidget*)>> steps_;
};

// A main window after "New" has read the simulated console.
void StartWithDemoRead(vtl::Application& app) {
    QVERIFY(app.Start());
    QTest::mouseClick(&app.splash(), Qt::LeftButton);
    QTest::mouseClick(app.choice().findChild<QLabel*>(QStringLiteral("lblWizard")), Qt::LeftButton);
    app.mainWindow()->stopTimer();
    QTRY_COMPARE(app.transfer().transferMode(), vtl::TransferMode::Reading);
    QVERIFY(TickUntilFinished(app, 2000));
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

    void unsavedEditsAskBeforeTheyAreLost_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("fileName"); // typed into the save dialog
        QTest::addColumn<bool>("closes");
        QTest::addRow("go back") << int(QMessageBox::Cancel) << QString() << false;
        QTest::addRow("discard") << int(QMessageBox::Discard) << QString() << true;
        QTest::addRow("save, .vtl added") << int(QMessageBox::Save) << "edited" << true;
        QTest::addRow("save, own ending") << int(QMessageBox::Save) << "edited.bak" << true;
    }

    void unsavedEditsAskBeforeTheyAreLost() {
        QFETCH(int, answer);
        QFETCH(QString, fileName);
        QFETCH(bool, closes);
        vtl::Application app(DemoOptions());
        StartWithDemoRead(app);
        // Nothing changed since the read: closing asks nothing.
        QVERIFY(app.MayDiscardEdits());

        app.state().console.channels(2) ^= 1;
        const QDir folder(tmp_.path());
        const QString expected =
            fileName.contains('.') ? fileName : fileName + QStringLiteral(".vtl");
        QFile::remove(folder.filePath(expected));
        ModalScript script;
        script.answer(static_cast<QMessageBox::StandardButton>(answer));
        // The save dialog, then "Successfully saved to file: …".
        if (!fileName.isEmpty()) script.choose(folder.filePath(fileName)).answer(QMessageBox::Ok);
        app.mainWindow()->close();
        QCOMPARE(app.mainWindow()->isVisible(), !closes);
        if (fileName.isEmpty()) return;

        // Saved, nothing is asked any more; opening the file shows the edit.
        const int edited = app.state().console.channels(2);
        QVERIFY(app.MayDiscardEdits());
        ModalScript open;
        open.choose(folder.filePath(expected));
        app.LoadConfigurationFile();
        QCOMPARE(app.transfer().transferMode(), vtl::TransferMode::FileLoaded);
        QCOMPARE(app.state().console.channels(2), edited);
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
        // A copy of the program, so that its log lands in a scratch folder of its own.
        QTemporaryDir home;
        const QString program = home.filePath(QStringLiteral("vtlconfig"));
        QVERIFY(QFile::copy(kProgramFolder + QStringLiteral("/vtlconfig"), program));
        QVERIFY(QDir(home.path()).mkdir(QStringLiteral("samples")));
        QVERIFY(QFile::copy(kProgramFolder + QStringLiteral("/samples/three-manuals.vtl"),
                            home.filePath(QStringLiteral("samples/three-manuals.vtl"))));
        // Logging on, so that the start lines can be counted.
        QVERIFY(WriteFile(home.path() +
                              QStringLiteral("/.config/Larchmont Consoles/VTLConfig/VTLConfig.ini"),
                          "[Tabulist]\nLog=1\n"));
        const QString log = home.filePath(QStringLiteral("VTLConfig.log"));
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
