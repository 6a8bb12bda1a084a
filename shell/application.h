#pragma once
// The application object: makes the program's parts (the settings, the link, the windows, the
// file handling and the way through the start) and connects them; each part does its own job.

#include "editor/console_document.h"
#include "shell/app_options.h"
#include "shell/app_settings.h"
#include "shell/app_state.h"
#include "shell/user_messages.h"

#include <memory>
#include <thread>

namespace vtl {

class CheckMarks;
class CheckWindow;
class CommandTable;
class ConsoleFiles;
class LinkController;
class LiveConsole;
class SingleInstance;
class StartFlow;
class StatusPresenter;
class MainWindow;
class MidiSetupDialog;
class ProgressWindow;

class Application {
public:
    explicit Application(AppOptions options);
    ~Application();

    // False when another copy runs: it has been asked to raise its window, and this one
    // should end without doing anything else.
    bool Start();
    // Closes the link, writes the settings and ends the event loop.
    void Shutdown();

    // The parts, for the commands and tests.
    AppState& State() { return state_; }
    ConsoleDocument& Document() { return document_; }
    LinkController& Link() { return *link_; }
    LiveConsole& Live() { return *live_; }
    ConsoleFiles& Files() { return *files_; }
    StartFlow& Flow() { return *flow_; }
    MainWindow* Window() { return main_.get(); }
    ProgressWindow& Status() { return *status_; }
    MidiSetupDialog& MidiSetup() { return *midiSetup_; }
    CheckMarks& Check() { return *check_; }
    CheckWindow& CheckList() { return *checkWindow_; }

private:
    void MakeWindows();
    void MakeCheck();
    void OpenPorts();
    void ConnectLink();
    void MakeLiveConsole();

    AppOptions options_;
    AppState state_;
    UserMessages messages_{state_, options_.quitAfterStart};
    AppSettings settings_{state_};
    std::unique_ptr<SingleInstance> instance_;
    // Destroyed after the windows that show it.
    ConsoleDocument document_{state_.console, state_.catalogue};
    // Destroyed after the windows that hold its ports.
    std::unique_ptr<LinkController> link_;
    std::unique_ptr<MainWindow> main_;
    // The console check's marks and list, both owned by the main window.
    CheckMarks* check_ = nullptr;
    CheckWindow* checkWindow_ = nullptr;
    std::unique_ptr<CommandTable> commands_;
    std::unique_ptr<ConsoleFiles> files_;
    std::unique_ptr<ProgressWindow> status_;
    std::unique_ptr<StatusPresenter> statusPresenter_;
    std::unique_ptr<MidiSetupDialog> midiSetup_;
    std::unique_ptr<StartFlow> flow_;
    std::unique_ptr<LiveConsole> live_;
    // Fills the font database beside the start-up; joined first when the application ends.
    std::jthread fontWarmUp_;
};

} // namespace vtl
