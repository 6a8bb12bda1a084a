// The application's start-up flow, its transfers in demo mode, About, and the hand-over from
// a second copy to the first, on the offscreen platform with a full-HD screen.

#include "editor/frm_main.h"
#include "editor/keyboard_picture.h"
#include "editor/live_log_pane.h"
#include "link/midi_io.h"
#include "link/transfer_controller.h"
#include "model/config_file.h"
#include "shell/app_paths.h"
#include "shell/application.h"
#include "shell/frm_choice.h"
#include "shell/frm_splash.h"
#include "shell/frm_status.h"
#include "shell/live_console.h"
#include "shell/single_instance.h"
#include "sim/console_play.h"
#include "tests/gui/app_test_support.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocalSocket>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

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
    template <class W> ModalScript& Then(std::function<void(W*)> act) {
        // A window that is still up after the act was not ready for it: tried again.
        steps_.push_back([act](QWidget* window) {
            auto* typed = qobject_cast<W*>(window);
            if (typed) act(typed);
            return typed && !typed->isVisible();
        });
        return *this;
    }
    ModalScript& Answer(QMessageBox::StandardButton button) {
        return Then<QMessageBox>([button](QMessageBox* box) { box->button(button)->click(); });
    }
    // Types the file name into the file dialog and accepts it.
    ModalScript& Choose(const QString& path) {
        return Then<QFileDialog>([path](QFileDialog* dialog) {
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

// Every menu item and toolbar button of the window in order, with what a user sees of it
// and whether it can be used.
QStringList Commands(QMainWindow& window) {
    QStringList seen;
    const auto describe = [](const QAction* a) {
        if (a->isSeparator()) return QStringLiteral("--");
        QString text = a->text().isEmpty() ? a->objectName() : a->text();
        if (!a->shortcut().isEmpty()) text += " " + a->shortcut().toString();
        if (!a->objectName().isEmpty()) text += " #" + a->objectName();
        if (!a->toolTip().isEmpty() && a->text().isEmpty()) text += " \"" + a->toolTip() + '"';
        // A button's status tip is its tooltip; a menu item has none unless it is described.
        if (a->statusTip() != (a->text().isEmpty() ? a->toolTip() : QString()) ||
            !a->whatsThis().isEmpty())
            text += " (" + a->statusTip() + " | " + a->whatsThis() + ")";
        if (a->isCheckable()) text += a->isChecked() ? " [x]" : " [ ]";
        return text + (a->isEnabled() ? "" : " off");
    };
    for (const QAction* menu : window.menuBar()->actions()) {
        seen << menu->text();
        for (const QAction* item : menu->menu()->actions())
            seen << "  " + describe(item);
    }
    for (const QAction* button : window.findChild<QToolBar*>("tbrMain")->actions())
        seen << "| " + describe(button);
    return seen;
}

// Calls back as a watched window is about to show.
class ShowWatch : public QObject {
public:
    explicit ShowWatch(std::function<void(QWidget&)> shown) : shown_(std::move(shown)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QWidget*>(watched);
        if (window && event->type() == QEvent::Show) shown_(*window);
        return false;
    }

private:
    std::function<void(QWidget&)> shown_;
};

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

    void SplashChoiceMainAndDemoRead() {
        vtl::Application app(vtl::test::DemoOptions());
        QVERIFY(app.Start());
        QDir(app.State().appDataFolder + QStringLiteral("/Backups")).removeRecursively();
        QVERIFY(app.Flow().Splash().isVisible());
        QVERIFY(!app.Flow().Choice().isVisible());

        QTest::mouseClick(&app.Flow().Splash(), Qt::LeftButton);
        QVERIFY(!app.Flow().Splash().isVisible());
        QVERIFY(app.Flow().Choice().isVisible());
        QVERIFY(app.State().choiceShown);

        auto* wizard = app.Flow().Choice().findChild<QWidget*>(QStringLiteral("lblWizard"));
        QVERIFY(wizard);
        QTest::mouseClick(wizard, Qt::LeftButton);
        QVERIFY(!app.Flow().Choice().isVisible());
        QVERIFY(app.Window()->isVisible());
        QCOMPARE(app.Window()->windowTitle(), QStringLiteral("Larchmont VTLConfig"));
        auto* write = app.Window()->findChild<QAction*>(QStringLiteral("write"));
        QVERIFY(!write->isEnabled());

        // "New" starts a read at the first activation.
        app.Link().StopTimer();
        QTRY_COMPARE(app.Link().Transfer().Mode(), vtl::TransferMode::Reading);
        QVERIFY(vtl::test::Settle(app));
        QCOMPARE(app.State().console.manualCount, 3);
        QVERIFY(write->isEnabled());
        QVERIFY(app.Window()->findChild<QWidget*>(QStringLiteral("fraManual2"))->isVisible());

        // The configuration read was kept as a backup.
        const QDir backups(app.State().appDataFolder + QStringLiteral("/Backups"));
        QCOMPARE(backups.entryList({QStringLiteral("*.vtl")}, QDir::Files).size(), 1);

        // A write back goes out whole and finishes.
        app.Link().StartWrite();
        QVERIFY(vtl::test::Settle(app));
        QCOMPARE(app.Link().Transfer().Mode(), vtl::TransferMode::Writing);
    }

    // The menus and the toolbar, before a console is there and after the first read.
    void MenusAndToolbar() {
        vtl::Application app(vtl::test::DemoOptions());
        QVERIFY(app.Start());
        const QString print = "Print the console sheet: one page per manual";
        const QString pdf = "Save the console sheet as a PDF file: one page per manual";
        const QString organ =
            "Write GrandOrgue's MIDI settings for an organ, so that it plays from this console";
        const QString verify =
            "After each write, read the VTL back and compare it with what was written";
        const QString check = "List the settings the organ cannot tell apart or never hears";
        const QString live =
            "Show each key, piston and shoe the console sends in the picture and in a log";
        const auto expected = [&](const QString& off) {
            return QStringList{
                "&File",
                "  &Open Program Data File Ctrl+O",
                "  &Save Program Data File Ctrl+S" + off,
                "  &Load Program Data from VTL Ctrl+L",
                "  &Write Program Data to VTL Ctrl+W" + off,
                "  --",
                "  &Print\u2026 Ctrl+P #mnuPrint (" + print + " | " + print + ")" + off,
                "  Export as P&DF\u2026 #mnuExportPdf (" + pdf + " | " + pdf + ")" + off,
                "  Export for &GrandOrgue\u2026 #mnuExportGrandOrgue (" + organ + " | " + organ +
                    ")" + off,
                "  --",
                "  E&xit",
                "&Edit",
                "  &Copy Ctrl+C off",
                "  &Paste Ctrl+V off",
                "&View",
                "  Console &Check F7 #mnuConsoleCheck (" + check + " | " + check + ")",
                "&Options",
                "  &MIDI I/O Setup Ctrl+M",
                "  --",
                "  &Verify after Write #mnuVerifyAfterWrite (" + verify + " | " + verify + ") [ ]",
                "  &Live Console Ctrl+K #mnuLiveConsole (" + live + " | " + live + ") [ ]",
                "&Help",
                "  &View VTLConfig Documentation",
                "  &About Larchmont VTLConfig",
                "| load #load \"Open VTL Configuration File\"",
                "| save #save \"Save VTL Configuration File\"" + off,
                "| --",
                "| loado #loado \"Load Program Data From VTL\"",
                "| write #write \"Write Program Data To VTL\"" + off,
                "| --",
                "| copy #copy off",
                "| paste #paste off",
                "| --",
                "| midi #midi \"Setup MIDI Input and Output\"",
                "| --",
                "| live #live \"Live Console: See What the Console Sends\"",
            };
        };
        QCOMPARE(Commands(*app.Window()), expected(" off"));
        QTest::mouseClick(&app.Flow().Splash(), Qt::LeftButton);
        QTest::mouseClick(app.Flow().Choice().findChild<QWidget*>(QStringLiteral("lblWizard")),
                          Qt::LeftButton);
        app.Link().StopTimer();
        QTRY_COMPARE(app.Link().Transfer().Mode(), vtl::TransferMode::Reading);
        QVERIFY(vtl::test::Settle(app));
        QCOMPARE(Commands(*app.Window()), expected(""));
    }

    // The splash and the start choice are placed before they show, so that the window system,
    // and with it a screen reader or an automation tool, learns of each at its place.
    void FramelessWindowsArePlacedBeforeTheyShow() {
        vtl::Application app(vtl::test::DemoOptions());
        QList<QPoint> places; // where each one's native window was as it was shown
        ShowWatch watch([&](QWidget& window) {
            if (dynamic_cast<vtl::SplashWindow*>(&window) ||
                dynamic_cast<vtl::StartChoice*>(&window))
                places << window.windowHandle()->position();
        });
        qApp->installEventFilter(&watch);
        QVERIFY(app.Start());
        QTest::mouseClick(&app.Flow().Splash(), Qt::LeftButton);
        QVERIFY(app.Flow().Choice().isVisible());
        const QPoint centred = app.Flow().Choice().pos();
        QCOMPARE(places, (QList<QPoint>{centred, centred}));
        QCOMPARE(app.Flow().Splash().pos(), centred);
    }

    // A damaged settings file is told once the windows are up, over the main window, and the
    // start goes on to a read.
    void DamagedSettingsAreToldOverTheMainWindow() {
        QVERIFY(WriteFile(SettingsFile(), QByteArray("[MIDI]\nInput=1\n\0", 17)));
        QString told;
        QWidget* over = nullptr;
        ModalScript script;
        script.Then<QMessageBox>([&](QMessageBox* box) {
            told = box->text();
            over = box->parentWidget();
            box->button(QMessageBox::Ok)->click();
        });
        vtl::Application app(vtl::test::DemoOptions());
        QVERIFY(app.Start());
        QTRY_VERIFY(!told.isEmpty());
        QVERIFY2(told.startsWith(QStringLiteral("The settings file cannot be used: ")),
                 qPrintable(told));
        QCOMPARE(over, app.Window());
        QTest::mouseClick(&app.Flow().Splash(), Qt::LeftButton);
        QTest::mouseClick(app.Flow().Choice().findChild<QWidget*>(QStringLiteral("lblWizard")),
                          Qt::LeftButton);
        app.Link().StopTimer();
        QTRY_COMPARE(app.Link().Transfer().Mode(), vtl::TransferMode::Reading);
        QVERIFY(vtl::test::Settle(app));
        QCOMPARE(app.State().console.manualCount, 3);
        QVERIFY(QFile::remove(SettingsFile() + QStringLiteral(".damaged")));
    }

    void ClosingTheChoiceIsExit_data() {
        QTest::addColumn<QString>("how");
        for (const char* how : {"Exit", "Escape", "window manager's close"})
            QTest::newRow(how) << how;
    }

    // The program ends, writes no settings and frees its socket for the next start.
    void ClosingTheChoiceIsExit() {
        QFETCH(QString, how);
        QFile::remove(SettingsFile());
        {
            vtl::Application app(vtl::test::DemoOptions());
            QVERIFY(app.Start());
            QTest::mouseClick(&app.Flow().Splash(), Qt::LeftButton);
            QWidget& choice = app.Flow().Choice();
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
            QVERIFY(!app.Window()->isVisible());
        }
        QVERIFY(!QFile::exists(SettingsFile()));
        vtl::SingleInstance next(kTitle);
        QVERIFY(!next.AnotherInstance());
    }

    // Tab reaches both choices, Enter and Space take them; they read as buttons with their
    // captions; the rounded outline lies inside the window, so all four corners are round.
    void ChoiceByKeyboard() {
        vtl::StartChoice choice;
        QStringList words;
        choice.OnChoice([&](const QString& word) { words << word; });
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
    void LoadChoice() {
        QVERIFY(WriteFile(SettingsFile(), "[VTLConfig]\nMaximised=0\nLeft=120\nTop=80\n"
                                          "Width=1000\nHeight=700\n[Preferences]\nPath=" +
                                              tmp_.filePath(QStringLiteral("gone")).toUtf8() +
                                              "\n"));
        vtl::Application app(vtl::test::DemoOptions());
        QVERIFY(app.Start());
        QTest::mouseClick(&app.Flow().Splash(), Qt::LeftButton);
        QString startFolder = QStringLiteral("not shown");
        QString proposed;
        ModalScript script;
        script.Then<QFileDialog>([&](QFileDialog* dialog) {
            startFolder = dialog->directory().absolutePath();
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            proposed = name->text();
            name->setText(kProgramFolder + QStringLiteral("/samples/three-manuals.vtl"));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QTest::mouseClick(app.Flow().Choice().findChild<QWidget*>(QStringLiteral("lblLoad")),
                          Qt::LeftButton);
        QTRY_COMPARE(app.Link().Transfer().Mode(), vtl::TransferMode::FileLoaded);
        QCOMPARE(startFolder, vtl::DocumentsFolder());
        QCOMPARE(proposed, QString());
        QCOMPARE(app.State().console.manualCount, 3);
        // The stored place is the frame's, the size the client area's.
        QCOMPARE(QRect(app.Window()->pos(), app.Window()->size()), QRect(120, 80, 1000, 700));

        app.Window()->move(140, 90);
        QCOMPARE(RunToTheEnd([&] { app.Window()->close(); }), 0);
        const QByteArray settings = ReadFile(SettingsFile());
        QVERIFY2(settings.contains("Left=140\nTop=90\nWidth=1000\nHeight=700\n") &&
                     settings.contains("Path=" + kProgramFolder.toUtf8() + "/samples\n"),
                 settings.constData());
    }

    // A second start while the first shows only its splash, or its choice, raises that window.
    void SecondStartRaisesTheStartWindow() {
        vtl::Application app(vtl::test::DemoOptions());
        QVERIFY(app.Start());
        QWidget other;
        other.show();
        for (QWidget* window : {static_cast<QWidget*>(&app.Flow().Splash()),
                                static_cast<QWidget*>(&app.Flow().Choice())}) {
            if (window == &app.Flow().Choice())
                QTest::mouseClick(&app.Flow().Splash(), Qt::LeftButton);
            other.activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &other);
            vtl::SingleInstance second(kTitle);
            QVERIFY(second.AnotherInstance());
            QTRY_COMPARE(QApplication::activeWindow(), window);
        }
    }

    // A console file double-clicked while the main window is up opens there, as Load would.
    void SecondStartWithAFileOpensIt() {
        vtl::Application app(vtl::test::DemoOptions());
        vtl::test::StartWithDemoRead(app);
        vtl::SingleInstance second(kTitle);
        QVERIFY(second.AnotherInstance(kProgramFolder + "/samples/three-manuals.vtl"));
        QTRY_COMPARE(app.Link().Transfer().Mode(), vtl::TransferMode::FileLoaded);
        QCOMPARE(app.Window()->windowFilePath(), kProgramFolder + "/samples/three-manuals.vtl");
    }

    void UnsavedEditsAskBeforeTheyAreLost_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("fileName"); // typed into the save dialog
        QTest::addColumn<bool>("closes");
        QTest::addRow("go back") << int(QMessageBox::Cancel) << QString() << false;
        QTest::addRow("discard") << int(QMessageBox::Discard) << QString() << true;
        QTest::addRow("save, .vtl added") << int(QMessageBox::Save) << "edited" << true;
        QTest::addRow("save, own ending") << int(QMessageBox::Save) << "edited.bak" << true;
        QTest::addRow("save, dotted folder") << int(QMessageBox::Save) << "my.files/edited" << true;
    }

    void UnsavedEditsAskBeforeTheyAreLost() {
        QFETCH(int, answer);
        QFETCH(QString, fileName);
        QFETCH(bool, closes);
        vtl::Application app(vtl::test::DemoOptions());
        vtl::test::StartWithDemoRead(app);
        // Nothing changed since the read: closing asks nothing.
        QVERIFY(app.Files().MayDiscardEdits());

        app.State().console.Channels(2) ^= 1;
        const QDir folder(tmp_.path());
        folder.mkpath(QFileInfo(fileName).path());
        const QString expected =
            QFileInfo(fileName).fileName().contains('.') ? fileName : fileName + ".vtl";
        QFile::remove(folder.filePath(expected));
        ModalScript script;
        script.Answer(static_cast<QMessageBox::StandardButton>(answer));
        // The save dialog, then "Successfully saved to file: …".
        if (!fileName.isEmpty()) script.Choose(folder.filePath(fileName)).Answer(QMessageBox::Ok);
        app.Window()->close();
        QCOMPARE(app.Window()->isVisible(), !closes);
        if (fileName.isEmpty()) return;

        // Saved, nothing is asked any more; opening the file shows the edit.
        const int edited = app.State().console.Channels(2);
        QVERIFY(app.Files().MayDiscardEdits());
        ModalScript open;
        open.Choose(folder.filePath(expected));
        app.Files().LoadConfigurationFile();
        QCOMPARE(app.Link().Transfer().Mode(), vtl::TransferMode::FileLoaded);
        QCOMPARE(app.State().console.Channels(2), edited);
    }

    // With warnings, Write asks first and lists them: Cancel writes nothing, "Write anyway"
    // writes; without warnings it writes at once.
    void WriteAsksFirstWhenTheCheckWarns() {
        vtl::Application app(vtl::test::DemoOptions());
        vtl::test::StartWithDemoRead(app);
        auto* write = app.Window()->findChild<QAction*>(QStringLiteral("write"));
        QSignalSpy writes(&app.Link(), &vtl::LinkController::TransferStarted);
        const std::int32_t own = app.State().console.Channels(3);
        app.Document().SetChannels({2}, app.State().console.Channels(1));
        const auto answer = [](ModalScript& script, QString& asked, const QString& button) {
            script.Then<QMessageBox>([&asked, button](QMessageBox* box) {
                asked = box->text();
                for (QAbstractButton* b : box->buttons())
                    if (b->text() == button) b->click();
            });
        };
        const QString played = ", so the organ cannot tell which keyboard played.";
        const QString warned = "The console check warns:\n\n\u2022 Manuals 1 and 3 both send their "
                               "notes on channel 1" +
                               played +
                               "\n\u2022 Manuals 1 and 3 both send their notes on channel 4" +
                               played + "\n\nWrite the console to the MCUs all the same?";
        for (const QString& button : {QStringLiteral("Cancel"), QStringLiteral("Write anyway")}) {
            ModalScript script;
            QString asked;
            answer(script, asked, button);
            write->trigger();
            QCOMPARE(asked, warned);
        }
        QCOMPARE(writes.count(), 1);
        QVERIFY(vtl::test::Settle(app));
        app.Document().SetChannels({2}, own);
        ModalScript none;
        QString asked;
        answer(none, asked, QStringLiteral("Cancel"));
        write->trigger();
        QCOMPARE(asked, QString());
        QCOMPARE(writes.count(), 2);
        QVERIFY(vtl::test::Settle(app));
    }

    // The live console shows what the simulated console plays, in the picture and in the log;
    // a read pauses it and takes no notice of it: the console read is the same to the byte.
    void LiveConsoleShowsWhatTheConsolePlays() {
        vtl::Application app(vtl::test::DemoOptions());
        vtl::test::StartWithDemoRead(app);
        const QString before = tmp_.filePath(QStringLiteral("before.vtl"));
        QVERIFY(vtl::SaveConfigFile(app.State().console, before.toStdString()));
        vtl::LiveConsole& live = app.Live();
        QMainWindow& window = *app.Window();
        auto& log = *window.findChild<vtl::LiveLogPane*>(QStringLiteral("fraLiveLog"));
        const auto tickUntil = [&](auto holds) {
            return vtl::test::TickUntil(app, [&] {
                live.Tick();
                return holds();
            });
        };
        const auto logged = [&](const QString& part) {
            return log.ShownLines().filter(part).size() == 1;
        };
        const auto said = [&](const char* name) {
            return window.findChild<QWidget*>(QLatin1String(name))->accessibleDescription();
        };
        const auto play = [&](const char* line) {
            QVERIFY(app.Link().Session().Play(*vtl::ParsePlayStep(line)));
        };

        window.findChild<QAction*>(QStringLiteral("mnuLiveConsole"))->trigger();
        QVERIFY(live.IsOn());
        QVERIFY(window.findChild<QWidget*>(QStringLiteral("dockLiveConsole"))->isVisible());
        QVERIFY(tickUntil([&] { return logged(QStringLiteral("Listening on VTL chain")); }));
        play("key 1 60 on");
        play("key 1 20 on");
        play("piston 2 15");
        play("shoe 2 100");
        QVERIFY(tickUntil([&] { return logged(QStringLiteral("Manual 2, shoe")); }));
        auto& keyboard = *window.findChild<vtl::KeyboardPicture*>(QStringLiteral("picKeyboard0"));
        QVERIFY(keyboard.Pressed(60) && keyboard.Pressed(36) && !keyboard.Pressed(61));
        QVERIFY(said("picKeyboard0").contains("last sent G#0 on, channels 1, 4"));
        QVERIFY(said("picKeyboard0").contains("warning: G#0 lies below the keyboard"));
        QVERIFY(said("cmdPiston34").contains("active; last sent program 12, channel 16"));
        QVERIFY(said("btnAddShoe1").contains("level 100 of 127"));
        QVERIFY(logged("  90 3c 64 93 3c 64  Manual 1, keyboard: C4 on, channels 1, 4"));
        QVERIFY(logged("  cf 0b  Manual 2, piston 15: program 12, channel 16"));
        window.findChild<QComboBox*>(QStringLiteral("cboLiveManual"))->setCurrentIndex(2);
        QCOMPARE(log.ShownLines().filter(QStringLiteral("Manual 1")).size(), 0);
        QVERIFY(logged(QStringLiteral("Manual 2, piston 15")));
        window.findChild<QComboBox*>(QStringLiteral("cboLiveManual"))->setCurrentIndex(0);

        // A read pauses it; nothing of the read is shown, and the console read is the same.
        const int lines = log.Count();
        app.Link().StartRead();
        QVERIFY(vtl::test::Settle(app));
        QVERIFY(tickUntil([&] { return logged(QStringLiteral("Resumed.")); }));
        // The keys still held when it paused are told as stuck.
        QCOMPARE(log.ShownLines().mid(lines).filter(QStringLiteral("[stuck-note]")).size(), 2);
        QCOMPARE(log.ShownLines().mid(lines + 2),
                 QStringList({QStringLiteral("           Paused while the MCUs are read or "
                                             "written."),
                              QStringLiteral("           Resumed.")}));
        QVERIFY(!keyboard.Pressed(60));
        const QString after = tmp_.filePath(QStringLiteral("after.vtl"));
        QVERIFY(vtl::SaveConfigFile(app.State().console, after.toStdString()));
        QCOMPARE(ReadFile(after), ReadFile(before));

        // The demo passage ends with the shoe swept back to 0.
        window.findChild<QPushButton*>(QStringLiteral("cmdLiveDemo"))->click();
        QVERIFY(tickUntil([&] {
            QTest::qWait(5);
            return log.ShownLines().last().endsWith("Manual 1, shoe: controller 11, value 0, "
                                                    "channel 1");
        }));
        QCOMPARE(log.ShownLines().filter(QStringLiteral("Manual 2, keyboard: G4 off")).size(), 1);
        live.SetOn(false);
        QVERIFY(said("btnAddShoe1").indexOf(QStringLiteral("level")) < 0);
        QVERIFY(!window.findChild<QWidget*>(QStringLiteral("dockLiveConsole"))->isVisible());

        // Switched on during a read, it waits for the read's end.
        app.Link().StartRead();
        live.SetOn(true);
        QVERIFY(tickUntil([&] { return logged(QStringLiteral("Waiting for the transfer")); }));
        QVERIFY(vtl::test::Settle(app));
        QVERIFY(tickUntil([&] { return log.ShownLines().last().endsWith("Resumed."); }));
    }

    // A piston's tooltip names its group as the console has it now: after a read, after an
    // edit, and after a read that brings the console back.
    void PistonToolTipFollowsTheConsole() {
        vtl::Application app(vtl::test::DemoOptions());
        vtl::test::StartWithDemoRead(app);
        QWidget& piston = *app.Window()->findChild<QWidget*>(QStringLiteral("cmdPiston24"));
        QCOMPARE(piston.toolTip(), QStringLiteral("Ahlborn General"));
        QTimer::singleShot(0, &piston, [] {
            QWidget& editor = *QApplication::activeModalWidget();
            auto* groups = editor.findChild<QComboBox*>(QStringLiteral("cboFunction"));
            groups->setCurrentIndex(groups->findText(QStringLiteral("Unassigned")));
            editor.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        QTest::mouseClick(&piston, Qt::LeftButton);
        QCOMPARE(piston.toolTip(), QStringLiteral("Unassigned"));
        ModalScript script;
        script.Answer(QMessageBox::Discard);
        app.Link().StartRead();
        QVERIFY(vtl::test::Settle(app));
        QCOMPARE(piston.toolTip(), QStringLiteral("Ahlborn General"));
    }

    // A file that fails to load is named with its bad line and nothing of it is taken: the
    // console shown, with its edit, stays as it was.
    void FailedLoadKeepsTheConsole() {
        vtl::Application app(vtl::test::DemoOptions());
        vtl::test::StartWithDemoRead(app);
        app.State().console.Channels(1) ^= 1;
        const auto text = [](vtl::ConsoleModel console) {
            const auto formatted = vtl::FormatConfigFile(console);
            return formatted ? QString::fromStdString(*formatted) : QString();
        };
        const auto before = text(app.State().console);
        const QString path = tmp_.filePath(QStringLiteral("cut.vtl"));
        QVERIFY(
            WriteFile(path, ReadFile(kProgramFolder + "/samples/three-manuals.vtl").left(1000)));
        QString told;
        ModalScript script;
        script.Answer(QMessageBox::Discard).Choose(path).Then<QMessageBox>([&](QMessageBox* box) {
            told = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        app.Files().LoadConfigurationFile();
        QCOMPARE(told, path + ":2: image of 73 bytes is too short: byte 211 is missing (a full "
                              "image has 256)");
        QCOMPARE(app.State().console.manualCount, 3);
        QCOMPARE(text(app.State().console), before);
        QVERIFY(app.Window()->findChild<QWidget*>(QStringLiteral("fraManual2"))->isVisible());
        QCOMPARE(app.Link().Transfer().Mode(), vtl::TransferMode::Reading);
    }

    void AboutNeverShowsTheChoiceAgain() {
        vtl::Application app(vtl::test::DemoOptions());
        QVERIFY(app.Start());
        QTest::mouseClick(&app.Flow().Splash(), Qt::LeftButton);
        app.Flow().Choice().hide(); // as after a choice
        for (int i = 0; i < 3; ++i) {
            QTimer::singleShot(0, &app.Flow().Splash(),
                               [&] { QTest::keyClick(&app.Flow().Splash(), Qt::Key_Space); });
            app.Flow().About();
            QVERIFY(!app.Flow().Splash().isVisible());
            QVERIFY(!app.Flow().Choice().isVisible());
        }
    }

    void DemoKeepsTheRealMidiChoiceInTheSettings() {
        const QString path = vtl::AppDataFolder() + QStringLiteral("/VTLConfig.ini");
        QVERIFY(WriteFile(path, "[MIDI I/O]\nInput=3\nOutput=4\nConfigured=True\n"));
        {
            vtl::Application app(vtl::test::DemoOptions());
            QVERIFY(app.Start());
            QTRY_COMPARE(app.State().midi.midiInSetting, 1); // the simulated console
            app.Shutdown();
        }
        const QByteArray text = ReadFile(path);
        QVERIFY2(text.contains("Input=3") && text.contains("Output=4"), text.constData());
    }

    void SecondCopyHandsOverToTheFirst() {
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
        env.insert(QStringLiteral("PATH"), QDir::toNativeSeparators(kProgramFolder) +
                                               QDir::listSeparator() + env.value("PATH"));
        env.insert(QStringLiteral("QT_PLUGIN_PATH"), kProgramFolder);
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
        QTRY_VERIFY_WITH_TIMEOUT(SocketAnswers(names.ServerName()), 20000);

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
            startLines() == linesBefore + 2 && SocketAnswers(names.ServerName()), 20000);
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
