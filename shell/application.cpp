#include "shell/application.h"

#include "editor/command_table.h"
#include "editor/console_view.h"
#include "editor/frm_main.h"
#include "link/midi_io.h"
#include "link/transfer_controller.h"
#include "model/config_file.h"
#include "session/link_session.h"
#include "shell/app_log.h"
#include "shell/app_paths.h"
#include "shell/backups.h"
#include "shell/frm_choice.h"
#include "shell/frm_midi_setup.h"
#include "shell/frm_splash.h"
#include "shell/frm_status.h"
#include "shell/main_commands.h"
#include "shell/message_box.h"
#include "shell/open_document.h"
#include "shell/settings.h"
#include "shell/single_instance.h"
#include "shell/status_presenter.h"
#include "shell/widget_placement.h"

#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMessageBox>
#include <QTimer>

#include <iostream>
#include <utility>

namespace vtl {
namespace {

// The main window's design size is also its smallest restored size.
constexpr int kMainMinWidth = 907;
constexpr int kMainMinHeight = 548;

QString FileFilter() {
    return QString::fromLatin1(kProductName) + QStringLiteral(" Config File (*.vtl)");
}

} // namespace

Application::Application(AppOptions options) : options_(std::move(options)) {
    // The start-up windows come and go; the process ends only through Exit or shutdown.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QString::fromLatin1(kProductName));
    QApplication::setOrganizationName(QString::fromLatin1(kOrganisationName));
    state_.programFolder = options_.programFolder;
    instance_ = std::make_unique<SingleInstance>(kWindowTitle);
    instance_->onActivate([this](const QString& file) {
        RaiseWindow();
        // A console file double-clicked while this copy runs opens here, as Load would.
        if (file.isEmpty() || !main_ || !main_->isVisible()) return;
        EndReadBack();
        if (MayDiscardEdits()) LoadFile(file);
    });
}

Application::~Application() = default;

bool Application::Start() {
    if (instance_->AnotherInstance(options_.openFile)) return false;
    // Filling the font database (fontconfig reads its whole configuration and font list) is
    // the largest single cost of a start. It runs on another core while the windows are made;
    // the database locks itself, so the splash's first text waits only for what is left of it.
    fontWarmUp_ = std::jthread([] { (void)QFontDatabase::families(); });

    splash_ = std::make_unique<frmSplash>(state_.programFolder + QStringLiteral("/tlsplash.jpg"));
    splash_->onUnload([this] {
        if (state_.choiceShown) return;
        state_.choiceShown = true;
        OpenPorts();
        if (options_.openFile.isEmpty() && !options_.quitAfterStart) {
            choice_->show();
        } else {
            OpenGivenFile();
        }
    });
    choice_ = std::make_unique<frmChoice>();
    choice_->onChoice([this](const QString& word) { Choose(word); });
    // Leaving from the start choice saves nothing: nothing has been changed yet.
    choice_->onExit([] { QCoreApplication::exit(0); });

    // The windows are made at once, while the fonts load and the splash's picture is read on
    // other threads (nothing in them measures text before it is shown, but the status window's
    // text box, made last); the link, which may wait on the MIDI system, once the splash is
    // up, or first when the splash is dismissed before.
    splash_->onFirstPaint([this] { OpenPorts(); });
    MakeWindows();
    splash_->Start();
    splash_->show();
    if (options_.quitAfterStart) QTimer::singleShot(0, splash_.get(), &QDialog::accept);
    return true;
}

void Application::MakeWindows() {
    ReadLogSwitch(state_, iniFile_);
    if (const auto damaged = SetAsideDamagedSettings(iniFile_)) startMessages_.push_back(*damaged);
    WriteLog(StartLogLine(QDateTime::currentDateTime()).toStdString());
    state_.catalogue = BuildCatalogue();
    state_.console = ConsoleModel{};
    if (const auto read = ReadSettings(state_, iniFile_); !read) {
        // The program works without it; only settings and backups cannot be kept.
        startMessages_.push_back(
            "The settings folder cannot be made, so no settings or backups are kept: " +
            read.error().message);
    }
    main_ = std::make_unique<frmMain>(*this, document_, state_.programFolder);
    commands_ = std::make_unique<CommandTable>(*main_, MainCommands(*this), state_.programFolder);
    QObject::connect(&document_, &ConsoleDocument::Changed, main_.get(),
                     [this] { commands_->Refresh(); });
    // Its hundreds of widgets are polished now, while the fonts load, rather than by the event
    // loop before the splash's first paint.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::PolishRequest);
    // Its text box lays out its text when made, so it waits for the fonts: it comes last.
    status_ = std::make_unique<frmStatus>([this] { StatusClosed(); });
    status_->OnDismissed([this] {
        if (session_) transfer().Dismissed();
    });
    status_->setCentreOn(main_.get());
    statusPresenter_ = std::make_unique<StatusPresenter>(
        *status_, [this](const std::string& text) { ShowMessage(text); },
        [this](const std::string& line) { WriteLog(line); });
}

void Application::OpenPorts() {
    if (session_) return;
    PortChoice choice{options_.demo, options_.api, {}};
    if (options_.demo) {
        choice.demoConsole = (state_.programFolder + "/samples/three-manuals.vtl").toStdString();
        // The simulated console is always there: no setup needed. The devices chosen for the
        // real console are kept for the settings file.
        realMidi_ =
            MidiChoice{state_.midi, state_.midiConfigured, state_.midiInName, state_.midiOutName};
        state_.midi = {1, 2};
    }
    TransferObserver& observer = *this;
    session_ = std::make_unique<LinkSession>(choice, state_.console, state_.midi, observer,
                                             [this] { return midiSetup_->ShowModal(); });
    if (!options_.demo) RefindPorts(state_, session_->input(), session_->output());
    midiSetup_ = std::make_unique<frmMIDISetup>(
        state_, session_->input(), session_->output(),
        [this](const std::string& line) { WriteLog(line); }, main_.get());
    midiSetup_->setWindows(main_.get(), status_.get());

    // What cannot be had is told; the program goes on without it. Told only now that the
    // windows and the link are there: a message box runs the event loop, and with it whatever
    // of the start is queued.
    for (const std::string& message : std::exchange(startMessages_, {}))
        ShowMessage(message);
    if (const auto& preloaded = session_->demoPreloaded(); !preloaded) {
        ShowMessage("The simulated console starts blank: " + preloaded.error().message);
    }
    if (!options_.tracePath.isEmpty()) {
        if (const auto traced = session_->StartTrace(options_.tracePath.toStdString()); !traced) {
            ShowMessage("No MIDI trace is written: " + traced.error().message);
        }
    }
}

TransferController& Application::transfer() {
    return session_->transfer();
}

McuChain* Application::demoChain() {
    return session_->simulatedChain();
}

void Application::Choose(const QString& word) {
    choice_->hide();
    if (word == QLatin1String("New")) {
        main_->DoWhenActivated([this] { ReadFromVtl(); });
    } else if (word == QLatin1String("Load")) {
        main_->DoWhenActivated([this] { LoadConfigurationFile(); });
    }
    ShowMain();
    main_->startTimer();
}

void Application::OpenGivenFile() {
    ShowMain();
    main_->startTimer();
    // Queued first, so that it also ends the message box of a file that fails to load.
    if (options_.quitAfterStart) QTimer::singleShot(0, main_.get(), [this] { QuitAfterStart(); });
    if (!options_.openFile.isEmpty()) LoadFile(options_.openFile);
}

void Application::QuitAfterStart() {
    const bool loaded =
        options_.openFile.isEmpty() || transfer().transferMode() == TransferMode::FileLoaded;
    std::cout << "Application folder: " << state_.programFolder.toStdString() << std::endl;
    Shutdown();
    // Replaces the status of the quit that Shutdown asked for: the event loop has not ended.
    QCoreApplication::exit(loaded && !startTroubled_ ? 0 : 1);
}

void Application::ShowMain() {
    if (!mainLoaded_) {
        mainLoaded_ = true;
        main_->resizeToDesign(); // the placement's default
        WidgetPlacement placement(*main_);
        LoadMainWindowPlacement(state_, iniFile_, placement, kMainMinWidth, kMainMinHeight);
    }
    main_->show();
    main_->raise();
    main_->activateWindow();
}

void Application::RaiseWindow() {
    QWidget* window = main_ && main_->isVisible()       ? static_cast<QWidget*>(main_.get())
                      : choice_ && choice_->isVisible() ? static_cast<QWidget*>(choice_.get())
                                                        : static_cast<QWidget*>(splash_.get());
    if (!window) return;
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
    window->activateWindow();
}

void Application::Tick() {
    // A dialog or message box opened from inside a tick runs its own event loop, in which the
    // timer goes on firing: those ticks wait until the outer one is done.
    if (inTick_) return;
    inTick_ = true;
    session_->Tick();
    // A finished write is read back once nothing of it waits to be sent.
    if (session_->Completed() && readBack_.TakeDue()) transfer().StartRead();
    inTick_ = false;
}

void Application::ReadFromVtl() {
    EndReadBack();
    if (!MayDiscardEdits()) return;
    transfer().StartRead();
}

void Application::WriteToVtl() {
    EndReadBack();
    transfer().StartWrite();
}

void Application::MidiSetup() {
    midiSetup_->ShowModal();
}

void Application::StatusClosed() {
    transfer().CloseInput();
    EndReadBack();
}

// The console shows again as written, whatever part of the read-back came in.
void Application::EndReadBack() {
    if (!readBack_.Abandon(state_.console)) return;
    document_.MarkRestored();
    main_->View().ShowManuals();
}

void Application::ShowReadBack() {
    const auto differences = readBack_.Finish(state_.console);
    document_.MarkRestored();
    main_->View().ShowManuals();
    if (differences.empty()) {
        status_->Append("\nVerified: the VTL holds what was written.");
        return;
    }
    status_->Append("\nNot verified: the VTL holds something else.");
    QStringList lines;
    for (const auto& line : differences)
        lines << QString::fromStdString(line);
    // A longer list would make the box taller than a screen: the rest is under its details.
    constexpr qsizetype kShownLines = 24;
    QString text = QStringLiteral("The VTL does not hold what was written:\n\n") +
                   lines.mid(0, kShownLines).join(QLatin1Char('\n'));
    if (lines.size() > kShownLines) {
        text +=
            QStringLiteral("\n(and %1 more under Show Details)").arg(lines.size() - kShownLines);
    }
    text += QStringLiteral("\n\nWrite it again, or load it from the VTL to see what it holds.");
    const QString details = lines.size() > kShownLines ? lines.join(QLatin1Char('\n')) : QString();
    // Shown once the receive path that got here has returned.
    QTimer::singleShot(0, main_.get(), [this, text, details] {
        QMessageBox box(QMessageBox::Warning, kWindowTitle, text, QMessageBox::Ok, main_.get());
        box.setDetailedText(details);
        box.exec();
    });
}

void Application::LoadConfigurationFile() {
    EndReadBack();
    if (!MayDiscardEdits()) return;
    const QString path =
        QFileDialog::getOpenFileName(main_.get(), QStringLiteral("Load Configuration From File"),
                                     ExistingFolder(state_.configFolder), FileFilter());
    if (path.isEmpty()) return;
    LoadFile(path);
}

void Application::LoadFile(const QString& path) {
    state_.configFolder = QFileInfo(path).absolutePath();
    const auto loaded = LoadConfigFile(state_.console, path.toStdString());
    if (!loaded) {
        // Nothing of the file was taken: the console shown stays; the user is told what is
        // wrong with which file and line.
        QMessageBox::warning(main_.get(), kWindowTitle,
                             QString::fromStdString(loaded.error().message));
        return;
    }
    main_->View().HideManuals();
    document_.MarkLoaded(path);
    main_->View().ShowManuals();
    transfer().FileLoaded();
}

void Application::SaveConfigurationFile() {
    SaveToFile();
}

bool Application::SaveToFile() {
    QString path =
        QFileDialog::getSaveFileName(main_.get(), QStringLiteral("Save Configuration To File"),
                                     ExistingFolder(state_.configFolder), FileFilter());
    if (path.isEmpty()) return false;
    state_.configFolder = QFileInfo(path).absolutePath();
    // A name without an ending gets ".vtl", so the Load dialog's filter shows it; a dot in a
    // folder's name (~/.config, My.Files) does not count.
    if (!QFileInfo(path).fileName().contains(QLatin1Char('.'))) path += QStringLiteral(".vtl");
    const auto saved = SaveConfigFile(state_.console, path.toStdString());
    if (!saved) {
        QMessageBox::warning(main_.get(), QStringLiteral("File Save Error!"),
                             QString::fromStdString(saved.error().message) + QStringLiteral(" : ") +
                                 path);
        return false;
    }
    document_.MarkSaved(path);
    QMessageBox::information(main_.get(), QString::fromLatin1(kProductName),
                             QStringLiteral("Successfully saved to file: ") +
                                 QFileInfo(path).fileName());
    return true;
}

bool Application::MayDiscardEdits() {
    if (!document_.HasUnsavedEdits()) return true;
    const auto answer = QMessageBox::question(
        main_.get(), QString::fromLatin1(kWindowTitle),
        QStringLiteral("The console has changes that are neither written to the MCUs nor saved "
                       "to a file.\n\nSave them to a file?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Discard) return true;
    return answer == QMessageBox::Save && SaveToFile();
}

void Application::ViewDocumentation() {
    OpenDocument(state_.programFolder + QStringLiteral("/Documentation/VTL Manual.htm"),
                 main_.get());
}

void Application::About() {
    splash_->Start();
    splash_->exec();
}

void Application::Shutdown() {
    if (session_) session_->Close(); // the link is made once the splash has painted
    if (realMidi_) {
        state_.midi = realMidi_->midi;
        state_.midiConfigured = realMidi_->configured;
        state_.midiInName = realMidi_->inName;
        state_.midiOutName = realMidi_->outName;
    }
    WidgetPlacement placement(*main_);
    WriteSettings(state_, iniFile_, placement);
    main_->stopTimer();
    QCoreApplication::quit();
}

void Application::ShowManuals() {
    if (readBack_.reading()) return ShowReadBack();
    // Every configuration read from the MCUs is kept, so the console's state before any
    // later write can be restored.
    if (const auto kept =
            KeepBackup(state_.console, state_.appDataFolder, QDateTime::currentDateTime());
        !kept) {
        status_->Append("\nNo backup kept: " + kept.error().message);
    }
    document_.MarkRead();
    main_->View().ShowManuals();
}

void Application::SetCommandsDataLoaded() {
    // At the end of a write the MCUs hold what is in memory.
    if (transfer().transferMode() == TransferMode::Writing) {
        if (state_.verifyAfterWrite) readBack_.Written(state_.console);
        document_.MarkWritten();
    }
    commands_->Refresh();
}

void Application::ShowConsoleKept() {
    // Before the first console the start prompt stays.
    if (state_.console.manualCount > 0) main_->View().ShowManuals();
}

void Application::ShowMessage(const std::string& text) {
    if (options_.quitAfterStart) {
        // Nobody is there to close a message box: the message is printed and fails the start.
        std::cerr << "vtlconfig: " << text << '\n';
        startTroubled_ = true;
        return;
    }
    QMessageBox::information(main_.get(), kWindowTitle, QString::fromStdString(text));
}

void Application::WriteLog(const std::string& line) {
    vtl::WriteLog(state_, QString::fromStdString(line));
}

void Application::Report(const TransferReport& report) {
    // The commands that need a console are enabled before the status window goes.
    if (std::holds_alternative<TransferConcluded>(report)) SetCommandsDataLoaded();
    statusPresenter_->Report(report);
    if (const auto* began = std::get_if<TransferBegan>(&report);
        began && began->mode == TransferMode::Reading) {
        main_->View().ShowReading();
    }
    if (std::holds_alternative<ConsoleRead>(report)) {
        SetCommandsDataLoaded();
        ShowManuals();
    }
    if (const auto* abandoned = std::get_if<TransferAbandoned>(&report);
        abandoned && abandoned->mode == TransferMode::Reading) {
        ShowConsoleKept();
    }
}

} // namespace vtl
