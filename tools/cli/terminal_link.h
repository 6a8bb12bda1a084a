#pragma once
// The link session of one command-line transfer, its reports printed to standard error
// (terminal_presenter.h): the ports the options name (real ones through RtMidi, or the
// in-process simulated console with --demo), ticked until the transfer ends.

#include "link/midi_settings.h"
#include "link/tick.h"
#include "model/console_model.h"
#include "platform/midi_api.h"
#include "sysex/result.h"
#include "tools/cli/command.h"
#include "tools/cli/terminal_presenter.h"

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

class TerminalLink {
public:
    TerminalLink(const LinkOptions& options, CommandIo& io);
    ~TerminalLink();

    // Opens the trace and chooses the ports the options name; nothing is sent yet.
    Status Open();
    // Reads every manual of the console into the model; it stays as it was on a failure.
    Status Read(ConsoleModel& model);
    // Writes manuals 1 to manualCount of the model.
    Status Write(ConsoleModel& model);

private:
    enum class Goal { Read, Write };
    Status Run(Goal goal);

    LinkOptions options_;
    TerminalPresenter presenter_;
    ConsoleModel model_;
    MidiSettings settings_;
    std::unique_ptr<LinkSession> session_;
};

} // namespace vtl::cli
