#pragma once
// The link session of one command-line transfer, with the status window printed to standard
// error line by line: the ports the options name (real ones through RtMidi, or the in-process
// simulated console with --demo), ticked until the transfer ends. On a terminal the progress
// is one line kept under the texts and redrawn in place; elsewhere each finished manual gets
// a plain line.

#include "link/link_host.h"
#include "link/midi_settings.h"
#include "link/tick.h"
#include "link/transfer_progress.h"
#include "model/console_model.h"
#include "platform/midi_api.h"
#include "sysex/result.h"
#include "tools/cli/command.h"

#include <QString>

#include <memory>

class QCommandLineParser;

namespace vtl {
class LinkSession;
class MidiPort;
} // namespace vtl

namespace vtl::cli {

struct LinkOptions {
    MidiApi api = MidiApi::Automatic;
    bool demo = false;
    QString input; // a device number or part of a port name; empty: the first port
    QString output;
    QString tracePath;
    int timeoutSeconds = 30;
    int tickMilliseconds = kTickMilliseconds; // the transfer's pace on MIDI ports
    QStringList demoFaults;                   // how the simulated console misbehaves
};

// --in, --out, --api, --demo, --demo-fault, --trace, --timeout, --tick-ms.
void AddLinkOptions(QCommandLineParser& parser);
Expected<LinkOptions> ReadLinkOptions(const QCommandLineParser& parser);

// Finds a port by number or by a part of its name that matches exactly one port. Outputs
// also take -1, the program's own virtual port.
Expected<int> FindPort(MidiPort& port, const QString& choice, bool output);

class TerminalLink : private StatusSink, private ConsoleDisplay, private LinkHost {
public:
    TerminalLink(const LinkOptions& options, CommandIo& io);
    ~TerminalLink() override;

    // Opens the trace and chooses the ports the options name; nothing is sent yet.
    Status Open();
    // Reads every manual of the console into the model; it stays as it was on a failure.
    Status Read(ConsoleModel& model);
    // Writes manuals 1 to manualCount of the model.
    Status Write(ConsoleModel& model);

private:
    enum class Goal { Read, Write };
    Status Run(Goal goal);

    // StatusSink: the window's texts go to standard error as their lines are complete.
    void setCaption(const std::string& caption) override;
    void setText(const std::string& text) override;
    void append(const std::string& text) override;
    void centre() override {}
    void show() override { visible_ = true; }
    void hide() override { visible_ = false; }
    void unload() override;
    bool isVisible() const override { return visible_; }
    void setProgress(const TransferProgress& progress) override;
    // ConsoleDisplay: nothing to show.
    void ShowManuals() override {}
    void SetCommandsDataLoaded() override {}
    void ShowReading() override {}
    void ShowConsoleKept() override {}
    // LinkHost.
    bool ChooseMidiDevices() override { return false; }
    void ShowMessage(const std::string& text) override;
    void WriteLog(const std::string&) override {}
    void ReportConversionError(const std::string& text) override;

    // Status text: complete lines go out, the rest waits for its line break.
    void Print(const std::string& text);
    // The terminal's progress line, drawn in place under the texts, or wiped.
    void DrawProgressLine();
    void WipeProgressLine();
    std::string ProgressLine() const;

    LinkOptions options_;
    CommandIo& io_;
    ConsoleModel model_;
    MidiSettings settings_;
    std::unique_ptr<LinkSession> session_;

    std::string caption_;
    std::string text_;
    bool visible_ = false;
    std::string partLine_; // text after the last line break, not printed yet
    std::string failure_;
    TransferProgress progress_;
    // Standard error is a terminal this wide; 0 when it is not a terminal.
    int columns_ = 0;
    bool progressLineShown_ = false;
};

} // namespace vtl::cli
