// monitor: listens on the console's MIDI input, a line per event on standard output, the
// elements named by the configuration of a file or of the MCUs themselves.

#include "tools/cli/monitor_command.h"

#include "link/midi_io.h"
#include "link/midi_stream.h"
#include "link/tick.h"
#include "model/live_attribution.h"
#include "model/live_text.h"
#include "session/link_session.h"
#include "tools/cli/live_json.h"
#include "tools/cli/terminal_link.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <csignal>
#include <map>
#include <optional>
#include <ostream>

namespace vtl::cli {
namespace {

// Ctrl+C ends the monitoring with its summary. A signal handler can reach nothing but a flag of
// static storage, so this is one.
volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) {
    stopRequested = 1;
}

// Counts the events per element for the summary, and the stuck keys.
class Tally {
public:
    void Count(const LiveEvent& event) {
        bool stuck = false;
        for (const LiveProblem problem : event.problems)
            stuck = stuck || problem == LiveProblem::StuckNote;
        if (stuck) {
            for (const LiveElement& element : event.elements)
                stuck_.push_back(words::ElementName(element) + " " +
                                 words::NoteName(event.message.note));
            return;
        }
        ++events_;
        if (event.elements.empty()) ++unattributed_;
        for (const LiveElement& element : event.elements)
            ++perElement_[element];
    }

    void Print(std::ostream& out, bool attributed) const {
        out << "Summary: " << events_ << (events_ == 1 ? " event" : " events") << '\n';
        if (!attributed) return;
        for (const auto& [element, count] : perElement_)
            out << "  " << words::ElementName(element) << ": " << count << '\n';
        if (unattributed_ > 0) out << "  no element: " << unattributed_ << '\n';
        out << "Stuck notes:";
        for (std::size_t i = 0; i < stuck_.size(); ++i)
            out << (i == 0 ? " " : ", ") << stuck_[i];
        out << (stuck_.empty() ? " none\n" : "\n");
    }

private:
    int events_ = 0;
    int unattributed_ = 0;
    std::map<LiveElement, int> perElement_;
    std::vector<std::string> stuck_;
};

} // namespace

int RunMonitor(const Command& command, const QStringList& args, CommandIo& io) {
    QCommandLineParser parser;
    parser.addOption({"in", "MIDI input: a device number or part of the port name.", "port"});
    parser.addOption(
        {"out", "MIDI output for --read: a device number or part of the name.", "port"});
    parser.addOption({"api", "MIDI system: alsa or jack (default: alsa where it exists).", "api"});
    parser.addOption({"file", "Name the elements by this console file.", "file"});
    parser.addOption({"read", "Name the elements by the configuration read from the MCUs."});
    parser.addOption({"json", "One JSON object per line."});
    parser.addOption({"duration", "Stop after this many seconds.", "seconds"});
    if (!ParseArguments(parser, command, args, 0, io)) return kExitFailure;
    LinkOptions link;
    if (parser.isSet("api")) {
        const auto api = ParseMidiApi(parser.value("api").toStdString());
        if (!api) return Fail(api.error(), io);
        link.api = *api;
    }
    link.input = parser.value("in");
    link.output = parser.value("out");
    if (parser.isSet("file") && parser.isSet("read"))
        return UsageError(command, "--file and --read exclude each other", io);
    if (parser.isSet("read") && !parser.isSet("out"))
        return UsageError(command, "--read needs the MIDI output (--out P)", io);
    double durationMs = -1;
    if (parser.isSet("duration")) {
        bool ok = false;
        durationMs = parser.value("duration").toDouble(&ok) * 1000;
        if (!ok || durationMs <= 0) return UsageError(command, "--duration takes seconds", io);
    }

    std::optional<ConsoleModel> console;
    if (parser.isSet("file")) {
        auto loaded = LoadConsole(parser.value("file"));
        if (!loaded) return Fail(loaded.error(), io);
        console = std::move(*loaded);
    } else if (parser.isSet("read")) {
        TerminalLink reader(link, io);
        ConsoleModel read;
        if (auto opened = reader.Open(); !opened) return Fail(opened.error(), io);
        if (auto done = reader.Read(read); !done) return Fail(done.error(), io);
        console = read;
    } else {
        io.err << "No configuration given (--file or --read): messages are decoded, not "
                  "attributed.\n";
    }

    // A session of its own that only listens: it never sends.
    ConsoleModel unused;
    MidiSettings settings;
    TerminalPresenter presenter(io.err);
    LinkSession session(PortChoice{false, link.api, {}}, unused, settings, presenter,
                        [] { return false; });
    const auto in = FindPort(session.Input(), link.input, false);
    if (!in) return Fail(in.error(), io);
    settings.midiInSetting = *in + 1;

    std::optional<LiveAttribution> attribution;
    if (console) attribution.emplace(*console);
    Tally tally;
    const bool json = parser.isSet("json");
    const auto print = [&](const std::vector<LiveEvent>& events) {
        for (const LiveEvent& event : events) {
            io.out << (json ? LiveEventJson(event) : words::LiveEventLine(event)) << std::endl;
            tally.Count(event);
        }
    };
    QElapsedTimer clock;
    const auto now = [&clock] { return static_cast<double>(clock.nsecsElapsed()) / 1e6; };
    session.OnReceived([&](std::span<const std::uint8_t> message) {
        if (message.empty() || message.front() >= 0xF8) return; // realtime: the interface's
        const MidiMessage decoded = DecodeMessage(message);
        print(attribution ? attribution->Feed(now(), decoded)
                          : std::vector{Unattributed(now(), decoded)});
    });
    session.Listen(true);
    if (session.Input().State() != MidiInput::OpenState::Receiving)
        return Fail(Error{"cannot open the MIDI input " + session.Input().DeviceName()}, io);
    clock.start();
    io.err << "Listening on " << session.Input().DeviceName() << " (Ctrl+C ends)" << std::endl;

    stopRequested = 0;
    const auto previous = std::signal(SIGINT, &RequestStop);
    QEventLoop loop;
    QTimer timer;
    timer.setInterval(kTickMilliseconds);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        session.Tick();
        if (attribution) print(attribution->Advance(now()));
        if (stopRequested != 0 || (durationMs > 0 && now() >= durationMs)) loop.quit();
    });
    timer.start();
    loop.exec();
    std::signal(SIGINT, previous);
    session.Listen(false);
    if (attribution) print(attribution->Finish(now()));
    tally.Print(io.err, attribution.has_value());
    return kExitOk;
}

} // namespace vtl::cli
