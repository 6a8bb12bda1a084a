#include "shell/application.h"

#include "editor/check_marks.h"
#include "editor/check_window.h"
#include "editor/command_table.h"
#include "editor/console_view.h"
#include "editor/frm_main.h"
#include "editor/live_log_pane.h"
#include "link/product.h"
#include "model/catalogue.h"
#include "session/link_session.h"
#include "shell/console_files.h"
#include "shell/frm_midi_setup.h"
#include "shell/frm_status.h"
#include "shell/link_controller.h"
#include "shell/live_console.h"
#include "shell/main_commands.h"
#include "shell/read_results.h"
#include "shell/single_instance.h"
#include "shell/start_flow.h"
#include "shell/status_presenter.h"

#include <QApplication>
#include <QDockWidget>
#include <QFontDatabase>

#include <utility>

namespace vtl {

Application::Application(AppOptions options) : options_(std::move(options)) {
    // The start-up windows come and go; the process ends only through Exit or shutdown.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QString::fromLatin1(kProductName));
    QApplication::setOrganizationName(QString::fromLatin1(kOrganisationName));
    state_.programFolder = options_.programFolder;
    instance_ = std::make_unique<SingleInstance>(kWindowTitle);
    instance_->OnActivate([this](const QString& file) {
        if (flow_) flow_->RaiseWindow();
        // A console file double-clicked while this copy runs opens here, as Load would.
        if (!file.isEmpty() && main_ && main_->isVisible()) files_->LoadAsked(file);
    });
}

Application::~Application() = default;

bool Application::Start() {
    if (instance_->AnotherInstance(options_.openFile)) return false;
    // Filling the font database (fontconfig reads its whole configuration and font list) is
    // the largest single cost of a start. It runs on another core while the windows are made;
    // the database locks itself, so the splash's first text waits only for what is left of it.
    fontWarmUp_ = std::jthread([] { (void)QFontDatabase::families(); });
    flow_ = std::make_unique<StartFlow>(options_, state_, settings_, document_, messages_);
    // The windows are made at once, while the fonts load and the splash's picture is read on
    // other threads (nothing in them measures text before it is shown, but the status window's
    // text box, made last); the link, which may wait on the MIDI system, once the splash is
    // up, or first when the splash is dismissed before.
    QObject::connect(flow_.get(), &StartFlow::LinkWanted, [this] { OpenPorts(); });
    MakeWindows();
    QObject::connect(flow_.get(), &StartFlow::ReadChosen, link_.get(), &LinkController::StartRead);
    QObject::connect(flow_.get(), &StartFlow::LoadChosen, files_.get(),
                     &ConsoleFiles::LoadConfigurationFile);
    QObject::connect(flow_.get(), &StartFlow::FileGiven, files_.get(), &ConsoleFiles::LoadFile);
    QObject::connect(flow_.get(), &StartFlow::MainShown, link_.get(), &LinkController::StartTimer);
    QObject::connect(flow_.get(), &StartFlow::EndWanted, [this] { Shutdown(); });
    flow_->Start(*main_);
    return true;
}

void Application::MakeWindows() {
    settings_.Read(messages_);
    state_.catalogue = BuildCatalogue();
    state_.console = ConsoleModel{};
    link_ = std::make_unique<LinkController>(state_, document_);
    main_ = std::make_unique<MainWindow>(document_, state_.programFolder);
    messages_.SetWindow(main_.get());
    MakeCheck();
    files_ = std::make_unique<ConsoleFiles>(state_, document_, *main_);
    main_->OnClose([this] {
        if (!files_->MayDiscardEdits()) return false;
        Shutdown();
        return true;
    });
    MakeLiveConsole();
    commands_ = std::make_unique<CommandTable>(*main_, MainCommands(*this), state_.programFolder);
    QObject::connect(&document_, &ConsoleDocument::Changed, main_.get(),
                     [this] { commands_->Refresh(); });
    // Its hundreds of widgets are polished now, while the fonts load, rather than by the event
    // loop before the splash's first paint.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::PolishRequest);
    // Its text box lays out its text when made, so it waits for the fonts: it comes last.
    status_ = std::make_unique<ProgressWindow>([this] { link_->CloseInput(); });
    status_->OnDismissed([this] { link_->Dismissed(); });
    status_->SetCentreOn(main_.get());
    statusPresenter_ = std::make_unique<StatusPresenter>(
        *status_, [this](const std::string& text) { messages_.Show(text); },
        [this](const std::string& line) { messages_.Log(line); });
    ConnectLink();
}

// The console check follows the document; its list brings the element chosen into focus.
void Application::MakeCheck() {
    check_ = new CheckMarks(document_, main_->View(), main_.get());
    checkWindow_ = new CheckWindow(main_.get());
    checkWindow_->ShowFindings(check_->Findings());
    QObject::connect(check_, &CheckMarks::Changed, checkWindow_,
                     [this] { checkWindow_->ShowFindings(check_->Findings()); });
    QObject::connect(checkWindow_, &CheckWindow::ElementChosen, &main_->View(),
                     &ConsoleView::Focus);
}

// What the link does shows in the windows.
void Application::ConnectLink() {
    LinkController* link = link_.get();
    link->SetDiscardQuestion([this] { return files_->MayDiscardEdits(); });
    QObject::connect(files_.get(), &ConsoleFiles::Replacing, link, &LinkController::EndReadBack);
    QObject::connect(files_.get(), &ConsoleFiles::Loaded, link, &LinkController::FileLoaded);
    QObject::connect(link, &LinkController::Reported, link,
                     [this](const TransferReport& report) { statusPresenter_->Report(report); });
    const auto refresh = [this] { commands_->Refresh(); };
    QObject::connect(link, &LinkController::TransferStarted, link, refresh);
    QObject::connect(link, &LinkController::TransferEnded, link, refresh);
    ConsoleView& view = main_->View();
    QObject::connect(link, &LinkController::ReadStarted, &view, &ConsoleView::ShowReading);
    QObject::connect(link, &LinkController::ConsoleReadIn, link,
                     [this] { KeepReadBackup(state_, *status_); });
    QObject::connect(link, &LinkController::ConsoleSettled, &view, &ConsoleView::ShowManuals);
    QObject::connect(link, &LinkController::Verified, link,
                     [this](const std::vector<std::string>& differences) {
                         ShowVerifyResult(*status_, *main_, differences);
                     });
}

// The live console's log sits under the console picture, shown while it is on.
void Application::MakeLiveConsole() {
    auto* dock = new QDockWidget(QStringLiteral("Live Console"), main_.get());
    dock->setObjectName(QStringLiteral("dockLiveConsole"));
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    auto* log = new LiveLogPane(dock);
    dock->setWidget(log);
    main_->addDockWidget(Qt::BottomDockWidgetArea, dock);
    dock->hide();
    live_ = std::make_unique<LiveConsole>(*link_, state_.console, main_->View(), *log);
    if (options_.demo) log->OfferDemo([this] { live_->PlayDemoPassage(); });
    // The window grows by the log rather than squeezing the console picture.
    QObject::connect(live_.get(), &LiveConsole::Switched, dock, [this, dock] {
        constexpr int kLogHeight = 220;
        if (live_->IsOn() != dock->isHidden()) return commands_->Refresh();
        const int grown = live_->IsOn() ? kLogHeight : -dock->height();
        dock->setVisible(live_->IsOn());
        main_->resize(main_->width(), main_->height() + grown);
        if (live_->IsOn()) main_->resizeDocks({dock}, {kLogHeight}, Qt::Vertical);
        commands_->Refresh();
    });
}

void Application::OpenPorts() {
    if (link_->IsOpen()) return;
    if (options_.demo) settings_.UseDemoMidi();
    link_->Open(options_, messages_, [this] { return midiSetup_->ShowModal(); });
    LinkSession& session = link_->Session();
    midiSetup_ = std::make_unique<MidiSetupDialog>(
        state_, session.Input(), session.Output(),
        [this](const std::string& line) { messages_.Log(line); }, main_.get());
    midiSetup_->SetWindows(main_.get(), status_.get());
    // What cannot be had is told; the program goes on without it. Told only now that the
    // windows and the link are there: a message box runs the event loop, and with it whatever
    // of the start is queued.
    messages_.ShowHeld();
}

void Application::Shutdown() {
    link_->Close();
    settings_.Write(*main_);
    QCoreApplication::quit();
}

} // namespace vtl
