// The application's start-up flow, its transfers in demo mode, About, and the hand-over from
// a second copy to the first, on the offscreen platform with a full-HD screen.

#include "editor/frm_main.h"
#include "link/transfer_controller.h"
#include "shell/app_paths.h"
#include "shell/application.h"
#include "shell/frm_choice.h"
#include "shell/frm_splash.h"
#include "shell/frm_status.h"
#include "shell/saved_console.h"
#include "shell/single_instance.h"
#include "tests/gui/app_test_support.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
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

#include <algorithm>

namespace {

const QString kProgramFolder = QStringLiteral(VTL_PROGRAM_FOLDER);
const QString kTitle = QStringLiteral("Larchmont VTLConfig");

QString SettingsFile() {
    return vtl::AppDataFolder() + QStringLiteral("/VTLConfig.ini");
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

bool WriteFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(text) == text.size();
}

// Runs the event loop as main() does, after act; what the program ends with, or -1 when it
// has not ended within 20 s.
int RunToTheEnd(const std::function<void()>& act) {
    QTimer start;
    start.setSingleShot(true);
    QObject::connect(&start, &QTimer::timeout, act);
    start.start(0);
    QTimer stop;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
    stop.start(20000);
    return QApplication::exec();
}

// Whether a copy listens on the single-instance channel (a Unix-domain socket, or on Windows
// a named pipe), asked without sending it anything.
bool SocketAnswers(const QString& name) {
    QLocalSocket probe;
    probe.connectToServer(name);
    return probe.waitForConnected(1000);
}

} // namespace

class AppFlowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        vtl::test::UseScratchHome(tmp_.path());
        QStandardPaths::setTestModeEnabled(true);
    }

    void splashChoiceMainAndDemoRead() {
        vtl::Application app(vtl::test::DemoOptions());
        QVERIFY(app.Start());
        QDir(app.state().appDataFolder + QStringLiteral("/Backups")).removeRecursively();
        QVERIFY(app.splash().isVisible());
        QVERIFY(!app.choice().isVisible());

        QTest::mouseClick(&app.splash(), Qt::LeftButton);
        QVERIFY(!app.splash().isVisible());
        QVERIFY(app.choice().isVisible());
        QVERIFY(app.state().choiceShown);

        auto* wizard = app.choice().findChild<QWidget*>(QStringLiteral("lblWizard"));
        QVERIFY(wizard);
        QTest::mouseClick(wizard, Qt::LeftButton);
        QVERIFY(!app.choice().isVisible());
        QVERIFY(app.mainWindow()->isVisible());
        QCOMPARE(app.mainWindow()->windowTitle(), QStringLiteral("Larchmont VTLConfig"));
        QVERIFY(!app.mainWindow()->commandEnabled(vtl::frmMain::kWrite));

        // "New" starts a read at the first activation.
        app.mainWindow()->stopTimer();
        QTRY_COMPARE(app.transfer().transferMode(), vtl::TransferMode::Reading);
        QVERIFY(vtl::test::Settle(app));
        QCOMPARE(app.state().console.manualCount, 3);
        QVERIFY(app.mainWindow()->commandEnabled(vtl::frmMain::kWrite));
        QVERIFY(app.mainWindow()->findChild<QWidget*>(QStringLiteral("fraManual2"))->isVisible());

        // The configuration read was kept as a backup.
        const QDir backups(app.state().appDataFolder + QStringLiteral("/Backups"));
        QCOMPARE(backups.entryList({QStringLiteral("*.vtl")}, QDir::Files).size(), 1);

        // A write back goes out whole and finishes.
        app.WriteToVtl();
        QVERIFY(vtl::test::Settle(app));
        QCOMPARE(app.transfer().transferMode(), vtl::TransferMode::Writing);
    }

    // A damaged settings file is told once the windows are up, over the main window, and the
    // start goes on to a read.
    void damagedSettingsAreToldOverTheMainWindow() {
        QVERIFY(WriteFile(SettingsFile(), QByteArray("[MIDI]\nInput=1\n\0", 17)));
        QString told;
        QWidget* over = nullptr;
        ModalScript script;
        script.then<QMessageBox>([&](QMessageBox* box) {
            told = box->text();
            over = box->parentWidget();
            box->button(QMessageBox::Ok)->click();
        });
        vtl::Application app(vtl::test::DemoOptions());
        QVERIFY(app.Start());
        QTRY_VERIFY(!told.isEmpty());
        QVERIFY2(told.startsWith(QStringLiteral("The settings file cannot be used: ")),
                 qPrintable(told));
        QCOMPARE(over, app.mainWindow());
        QTest::mouseClick(&app.splash(), Qt::LeftButton);
        QTest::mouseClick(app.choice().findChild<QWidget*>(QStringLiteral("lblWizard")),
                          Qt::LeftButton);
        app.mainWindow()->stopTimer();
        QTRY_COMPARE(app.transfer().transferMode(), vtl::TransferMode::Reading);
        QVERIFY(vtl::test::Settle(app));
        QCOMPARE(app.state().console.manualCount, 3);
        QVERIFY(QFile::remove(SettingsFile() + QStringLiteral(".damaged")));
    }

    void closingTheChoiceIsExit_data() {
        QTest::addColumn<QString>("how");
        for (const char* how : {"Exit", "Escape", "window manager's close"})
            QTest::newRow(how) << how;
    }

    // The program ends, writes no settings and frees its socket for the next start.
    void closingTheChoiceIsExit() {
        QFETCH(QString, how);
        QFile::remove(SettingsFile());
        {
            vtl::Application app(vtl::test::DemoOptions());
            QVERIFY(app.Start());
            QTest::mouseClick(&app.splash(), Qt::LeftButton);
            QWidget& choice = app.choice();
            QVERIFY(QTest::qWaitForWindowActive(&choice));
            const int ended = RunToTheEnd([&] {
                if (how == QLatin1String("Exit"))
                    choice.findChild<QPushButton*>(QStringLiteral("cmdExit"))->click();
                else if (how == QLatin1String("Escape"))
                    QTest::keyClick(choice.focusWidget(), Qt::Key_Escape);
                else
                    choice.close();
            });
            QCOMPARE(ended, 0);
            QVERIFY(!app.mainWindow()->isVisible());
        }
        QVERIFY(!QFile::exists(SettingsFile()));
        vtl::SingleInstance next(kTitle);
        QVERIFY(!next.AnotherInstance());
    }

    // Tab reaches both choices, Enter and Space take them; they read as buttons with their
    // captions; the rounded outline lies inside the window, so all four corners are round.
    void choiceByKeyboard() {
        vtl::frmChoice choice;
        QStringList words;
        choice.onChoice([&](const QString& word) { words << word; });
        choice.show();
        QVERIFY(QTest::qWaitForWindowActive(&choice));
        const auto press = [](Qt::Key key) {
            QTest::keyClick(QApplication::focusWidget(), key);
            return QApplication::focusWidget()->objectName();
        };
        QCOMPARE(press(Qt::Key_Return), "lblWizard");
        QCOMPARE(press(Qt::Key_Tab), "lblLoad");
        QCOMPARE(press(Qt::Key_Space), "lblLoad");
        QCOMPARE(press(Qt::Key_Tab), "cmdExit");
        QCOMPARE(words, QStringList({"New", "Load"}));
        for (const auto& [name, caption] :
             {std::pair{"lblWizard", "Configure a Velutone from scratch"},
              std::pair{"lblLoad", "Load a previously saved VTL configuration"}}) {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(
                choice.findChild<QWidget*>(QLatin1String(name)));
            QCOMPARE(accessible->role(), QAccessible::Button);
            QCOMPARE(accessible->text(QAccessible::Name), QLatin1String(caption));
        }
        QVERIFY(choice.rect().contains(choice.mask().boundingRect()));
        for (const QPoint corner : {QPoint(1, 5), QPoint(498, 5), QPoint(1, 249), QPoint(498, 249)})
            QVERIFY(!choice.mask().contains(corner));
    }

    // "Load" opens the file dialog in a folder that exists, proposing no name, and shows the
    // file in the main window at its stored place. No MIDI port was opened when the main
    // window closes: the program still ends normally and writes its settings.
    void loadChoice() {
        QVERIFY(WriteFile(SettingsFile(), "[VTLConfig]\nMaximised=0\nLeft=120\nTop=80\n"
                                          "Width=1000\nHeight=700\n[Preferences]\nPath=" +
                                              tmp_.filePath(QStringLiteral("gone")).toUtf8() +
                                              "\n"));
        vtl::Application app(vtl::test::DemoOptions());
        QVERIFY(app.Start());
        QTest::mouseClick(&app.splash(), Qt::LeftButton);
        QString startFolder = QStringLiteral("not shown");
        QString proposed;
        ModalScript script;
        script.then<QFileDialog>([&](QFileDialog* dialog) {
            startFolder = dialog->directory().absolutePath();
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            proposed = name->text();
            name->setText(kProgramFolder + QStringLiteral("/samples/three-manuals.vtl"));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QTest::mouseClick(app.choice().findChild<QWidget*>(QStringLiteral("lblLoad")),
                          Qt::LeftButton);
        QTRY_COMPARE(app.transfer().transferMode(), vtl::TransferMode::FileLoaded);
        QCOMPARE(startFolder, vtl::DocumentsFolder());
        QCOMPARE(proposed, QString());
        QCOMPARE(app.state().console.manualCount, 3);
        // The stored place is the frame's, the size the client area's.
        QCOMPARE(QRect(app.mainWindow()->pos(), app.mainWindow()->size()),
                 QRect(120, 80, 1000, 700));

        app.mainWindow()->move(140, 90);
        QCOMPARE(RunToTheEnd([&] { app.mainWindow()->close(); }), 0);
        const QByteArray settings = ReadFile(SettingsFile());
        QVERIFY2(settings.contains("Left=140\nTop=90\nWidth=1000\nHeight=700\n") &&
                     settings.contains("Path=" + kProgramFolder.toUtf8() + "/samples\n"),
                 settings.constData());
    }

    // A second start while the first shows only its splash, or its choice, raises that window.
    void secondStartRaisesTheStartWindow() {
        vtl::Application app(vtl::test::DemoOptions());
        QVERIFY(app.Start());
        QWidget other;
        other.show();
        for (QWidget* window :
             {static_cast<QWidget*>(&app.splash()), static_cast<QWidget*>(&app.choice())}) {
            if (window == &app.choice()) QTest::mouseClick(&app.splash(), Qt::LeftButton);
            other.activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &other);
            vtl::SingleInstance second(kTitle);
            QVERIFY(second.AnotherInstance());
            QTRY_COMPARE(QApplication::activeWindow(), window);
        }
    }

    // A console file double-clicked while the main window is up opens there, as Load would.
    void secondStartWithAFileOpensIt() {
        vtl::Application app(vtl::test::DemoOptions());
        vtl::test::StartWithDemoRead(app);
        vtl::SingleInstance second(kTitle);
        QVERIFY(second.AnotherInstance(kProgramFolder + "/samples/three-manuals.vtl"));
        QTRY_COMPARE(app.transfer().transferMode(), vtl::TransferMode::FileLoaded);
        QCOMPARE(app.mainWindow()->windowFilePath(), kProgramFolder + "/samples/three-manuals.vtl");
    }

    void unsavedEditsAskBeforeTheyAreLost_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("fileName"); // typed into the save dialog
        QTest::addColumn<bool>("closes");
        QTest::addRow("go back") << int(QMessageBox::Cancel) << QString() << false;
        QTest::addRow("discard") << int(QMessageBox::Discard) << QString() << true;
        QTest::addRow("save, .vtl added") << int(QMessageBox::Save) << "edited" << true;
        QTest::addRow("save, own ending") << int(QMessageBox::Save) << "edited.bak" << true;
        QTest::addRow("save, dotted folder") << int(QMessageBox::Save) << "my.files/edited" << true;
    }

    void unsavedEditsAskBeforeTheyAreLost() {
        QFETCH(int, answer);
        QFETCH(QString, fileName);
        QFETCH(bool, closes);
        vtl::Application app(vtl::test::DemoOptions());
        vtl::test::StartWithDemoRead(app);
        // Nothing changed since the read: closing asks nothing.
        QVERIFY(app.MayDiscardEdits());

        app.state().console.channels(2) ^= 1;
        const QDir folder(tmp_.path());
        folder.mkpath(QFileInfo(fileName).path());
        const QString expected =
            QFileInfo(fileName).fileName().contains('.') ? fileName : fileName + ".vtl";
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

    // A file that fails to load is named with its bad line and nothing of it is taken: the
    // console shown, with its edit, stays as it was.
    void failedLoadKeepsTheConsole() {
        vtl::Application app(vtl::test::DemoOptions());
        vtl::test::StartWithDemoRead(app);
        app.state().console.channels(1) ^= 1;
        vtl::SavedConsole before;
        before.Mark(app.state().console);
        const QString path = tmp_.filePath(QStringLiteral("cut.vtl"));
        QVERIFY(
            WriteFile(path, ReadFile(kProgramFolder + "/samples/three-manuals.vtl").left(1000)));
        QString told;
        ModalScript script;
        script.answer(QMessageBox::Discard).choose(path).then<QMessageBox>([&](QMessageBox* box) {
            told = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        app.LoadConfigurationFile();
        QCOMPARE(told, path + ":2: image of 73 bytes is too short: byte 211 is missing (a full "
                              "image has 256)");
        QCOMPARE(app.state().console.manualCount, 3);
        QVERIFY(!before.Differs(app.state().console));
        QVERIFY(app.mainWindow()->findChild<QWidget*>(QStringLiteral("fraManual2"))->isVisible());
        QCOMPARE(app.transfer().transferMode(), vtl::TransferMode::Reading);
    }

    void aboutNeverShowsTheChoiceAgain() {
        vtl::Application app(vtl::test::DemoOptions());
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
            vtl::Application app(vtl::test::DemoOptions());
            QVERIFY(app.Start());
            QTRY_COMPARE(app.state().midi.midiInSetting, 1); // the simulated console
            app.Shutdown();
        }
        const QByteArray text = ReadFile(path);
        QVERIFY2(text.contains("Input=3") && text.contains("Output=4"), text.constData());
    }

    void secondCopyHandsOverToTheFirst() {
        // A copy of the program, so that its log lands in a scratch folder of its own; on
        // Windows it finds its DLLs and plug-ins in the program folder.
        QTemporaryDir home;
        const QString suffix = QFileInfo(QCoreApplication::applicationFilePath()).suffix();
        const QString name = QStringLiteral("vtlconfig") + (suffix.isEmpty() ? "" : "." + suffix);
        const QString program = home.filePath(name);
        QVERIFY(QFile::copy(kProgramFolder + QLatin1Char('/') + name, program));
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
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/.config"));
        env.insert(QStringLiteral("APPDATA"), home.path() + QStringLiteral("/.config"));
        env.insert(QStringLiteral("TMPDIR"), home.path());
        const QString folder = QFileInfo(kProgramFolder).absoluteFilePath(); // with its drive
        env.insert(QStringLiteral("PATH"), QDir::toNativeSeparators(folder) +
                                               QDir::listSeparator() + env.value("PATH"));
        env.insert(QStringLiteral("QT_PLUGIN_PATH"), folder);
        const QStringList arguments = {QStringLiteral("--demo"), QStringLiteral("-platform"),
                                       QStringLiteral("offscreen")};

        QProcess first;
        first.setProcessEnvironment(env);
        first.start(program, arguments);
        QVERIFY(first.waitForStarted());
        // The first copy is ready once its socket answers.
        qputenv("TMPDIR", home.path().toUtf8());
        qputenv("APPDATA", (home.path() + QStringLiteral("/.config")).toUtf8());
        const vtl::SingleInstance names(kTitle);
        QTRY_VERIFY_WITH_TIMEOUT(SocketAnswers(names.serverName()), 20000);

        QProcess second;
        second.setProcessEnvironment(env);
        second.start(program, arguments);
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);
        QCOMPARE(startLines(), linesBefore + 1);

        // Killed outright, the first copy leaves its socket behind: the next start takes it.
        first.kill();
        first.waitForFinished();
        QProcess third;
        third.setProcessEnvironment(env);
        third.start(program, arguments);
        QTRY_VERIFY_WITH_TIMEOUT(
            startLines() == linesBefore + 2 && SocketAnswers(names.serverName()), 20000);
        QCOMPARE(third.state(), QProcess::Running);
        third.kill();
        third.waitForFinished();
        vtl::test::UseScratchHome(tmp_.path());
    }

private:
    QTemporaryDir tmp_;
};

int main(int argc, char** argv) {
    vtl::PrepareProcess();
    // A full-HD screen, on which the main window fits at its design size and a stored
    // placement is restored.
    // Named relative to the current folder: the platform's options are separated by colons, so
    // a drive letter would end the name.
    QTemporaryDir folder(QStringLiteral("screens-XXXXXX"));
    const QString screens = QDir::current().relativeFilePath(folder.filePath("screens.json"));
    if (!WriteFile(screens, R"({"screens": [{"name": "hd", "x": 0, "y": 0, "width": 1920,
                                           "height": 1080, "logicalDpi": 96, "dpr": 1}]})"))
        return 1;
    // An argument rather than QT_QPA_PLATFORM, which Wine does not pass on; after the others,
    // so that it is the one that counts.
    QByteArray platform = "offscreen:configfile=" + screens.toUtf8();
    std::vector<char*> arguments(argv, argv + argc);
    arguments.insert(arguments.end(), {const_cast<char*>("-platform"), platform.data()});
    int count = int(arguments.size());
    QApplication app(count, arguments.data());
    AppFlowTest test;
    return QTest::qExec(&test, count, arguments.data());
}
#include "app_flow_test.moc"
