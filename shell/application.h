#pragma once
// The application object: owns the process-wide state, the MIDI ports, the MCU link and the
// windows, and runs the start-up flow (single instance, splash, choice, main window) and
// the shutdown.

#include "editor/console_document.h"
#include "editor/main_actions.h"
#include "link/transfer_report.h"
#include "platform/ini_file.h"
#include "platform/midi_api.h"
#include "shell/app_state.h"
#include "shell/read_back.h"

#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vtl {

class CommandTable;
class LinkSession;
class McuChain;
class SingleInstance;
class StatusPresenter;
class TransferController;
class frmChoice;
class frmMain;
class frmMIDISetup;
class frmSplash;
class frmStatus;

struct AppOptions {
    bool demo = false; // a simulated three-manual console instead of MIDI ports
    MidiApi api = MidiApi::Automatic;
    QString tracePath;     // every MIDI message sent and received, when set
    QString programFolder; // where the splash, bitmaps, cursor and manual are (ResourceFolder)
    QString openFile;      // a console file loaded at start in place of the start choice
    // Past the splash at once, and quit once the main window is up (with openFile loaded):
    // messages go to standard error, and the exit status is 1 after one, or when the file
    // could not be loaded.
    bool quitAfterStart = false;
};

class Application : public MainActions, private TransferObserver {
public:
    explicit Application(AppOptions options);
    ~Application() override;

    // False when another copy runs: it has been asked to raise its window, and this one
    // should end without doing anything else.
    bool Start();

    // Accessors for tests and the commands.
    AppState& state() { return state_; }
    ConsoleDocument& Document() { return document_; }
    frmSplash& splash() { return *splash_; }
    frmChoice& choice() { return *choice_; }
    frmMain* mainWindow() { return main_.get(); }
    frmStatus& status() { return *status_; }
    TransferController& transfer();
    // The demo's simulated console; none on real ports.
    McuChain* demoChain();

    // The commands.
    void LoadConfigurationFile();
    void SaveConfigurationFile();
    void ReadFromVtl();
    void WriteToVtl();
    void MidiSetup();
    void ViewDocumentation();
    void About();

    // MainActions.
    bool MayDiscardEdits() override;
    void Shutdown() override;
    void Tick() override;

private:
    void MakeWindows();
    void OpenPorts();
    void Choose(const QString& word);
    // The main window straight after the splash, with the file given on the command line.
    void OpenGivenFile();
    void LoadFile(const QString& path);
    void QuitAfterStart();
    // Writes the console to a file the user names; false when nothing was saved.
    bool SaveToFile();
    void ShowMain();
    void RaiseWindow();
    // Verify after write.
    void StatusClosed();
    void EndReadBack();
    void ShowReadBack();

    // TransferObserver: the status presenter words the reports; a console read from the MCUs
    // is shown here.
    void Report(const TransferReport& report) override;
    void ShowManuals();
    void SetCommandsDataLoaded();
    void ShowConsoleKept();
    void ShowMessage(const std::string& text);
    void WriteLog(const std::string& line);

    AppOptions options_;
    AppState state_;
    cInifile iniFile_;
    std::unique_ptr<SingleInstance> instance_;

    // Destroyed after the windows that show it.
    ConsoleDocument document_{state_.console, state_.catalogue};
    // Destroyed after the windows that hold its ports.
    std::unique_ptr<LinkSession> session_;
    std::unique_ptr<frmMain> main_;
    std::unique_ptr<CommandTable> commands_;
    std::unique_ptr<frmStatus> status_;
    std::unique_ptr<StatusPresenter> statusPresenter_;
    std::unique_ptr<frmMIDISetup> midiSetup_;
    std::unique_ptr<frmSplash> splash_;
    std::unique_ptr<frmChoice> choice_;
    ReadBack readBack_;
    bool mainLoaded_ = false;
    bool inTick_ = false;
    // In demo mode, the MIDI choice read from the settings, written back unchanged.
    struct MidiChoice {
        MidiSettings midi;
        bool configured;
        QString inName;
        QString outName;
    };
    std::optional<MidiChoice> realMidi_;
    bool startTroubled_ = false;             // with quitAfterStart: a message was given
    std::vector<std::string> startMessages_; // what the windows' making could not have
    // Fills the font database beside the start-up; joined first when the application ends.
    std::jthread fontWarmUp_;
};

} // namespace vtl
