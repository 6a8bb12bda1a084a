#include "tools/cli/terminal_link.h"

#include "link/midi_io.h"
#include "link/tick.h"
#include "link/transfer_controller.h"
#include "session/link_session.h"
#include "session/transfer_text.h"
#include "sim/chain_faults.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QTimer>

namespace vtl::cli {

void AddLinkOptions(QCommandLineParser& parser) {
    parser.addOption({"in", "MIDI input: a device number or part of the port name.", "port"});
    parser.addOption({"out",
                      "MIDI output: a device number (-1: own virtual port) or part of "
                      "the port name.",
                      "port"});
    parser.addOption({"api", "MIDI system: alsa or jack (default: alsa where it exists).", "api"});
    parser.addOption({"demo", "Talk to a simulated three-manual console in this process."});
    parser.addOption({"demo-fault",
                      "Make the simulated console misbehave (may be repeated): " +
                          QString::fromLatin1(kChainFaultHelp.data(), kChainFaultHelp.size()) + ".",
                      "fault"});
    parser.addOption({"trace", "Write every MIDI message sent and received to this file.", "file"});
    parser.addOption({"timeout", "Give up after this many seconds without progress (default 30).",
                      "seconds", "30"});
    parser.addOption({"tick-ms",
                      "Milliseconds per step of the transfer on MIDI ports (default 100, the pace "
                      "the MCUs need; a simulated chain keeps up with less).",
                      "ms", QString::number(kTickMilliseconds)});
}

Expected<LinkOptions> ReadLinkOptions(const QCommandLineParser& parser) {
    LinkOptions options;
    if (parser.isSet("api")) {
        const auto api = ParseMidiApi(parser.value("api").toStdString());
        if (!api) return api.error();
        options.api = *api;
    }
    options.demo = parser.isSet("demo");
    options.demoFaults = parser.values("demo-fault");
    if (!options.demo && !options.demoFaults.isEmpty()) return Error{"--demo-fault needs --demo"};
    options.input = parser.value("in");
    options.output = parser.value("out");
    options.tracePath = parser.value("trace");
    bool ok = false;
    options.timeoutSeconds = parser.value("timeout").toInt(&ok);
    if (!ok || options.timeoutSeconds < 1) {
        return Error{"--timeout takes a whole number of seconds above 0"};
    }
    options.tickMilliseconds = parser.value("tick-ms").toInt(&ok);
    if (!ok || options.tickMilliseconds < 1) {
        return Error{"--tick-ms takes a whole number of milliseconds above 0"};
    }
    return options;
}

Expected<int> FindPort(MidiPort& port, const QString& choice, bool output) {
    const char* kind = output ? "output" : "input";
    const int count = port.DeviceCount();
    const int lowest = output ? MidiOutput::kDefaultDevice : 0;
    if (choice.isEmpty()) {
        if (count == 0) {
            return Error{std::string("no MIDI ") + kind +
                         " port found (connect the console, or "
                         "try --demo)"};
        }
        return 0;
    }
    bool isNumber = false;
    const int number = choice.toInt(&isNumber);
    if (isNumber) {
        if (number < lowest || number >= count) {
            return Error{std::string("there is no MIDI ") + kind + " " + choice.toStdString() +
                         " (see vtlconfig-cli ports)"};
        }
        return number;
    }
    std::vector<int> matches;
    std::string names;
    for (int d = 0; d < count; ++d) {
        port.SelectDevice(d);
        const QString name = QString::fromStdString(port.DeviceName());
        if (name.contains(choice, Qt::CaseInsensitive)) {
            matches.push_back(d);
            names += (names.empty() ? "" : ", ") + name.toStdString();
        }
    }
    if (matches.size() != 1) {
        return Error{"\"" + choice.toStdString() + "\" matches " +
                     (matches.empty()
                          ? std::string("no MIDI ") + kind + " port"
                          : std::to_string(matches.size()) + " " + kind + " ports: " + names) +
                     " (see vtlconfig-cli ports)"};
    }
    return matches.front();
}

TerminalLink::TerminalLink(const LinkOptions& options, CommandIo& io)
    : options_(options), presenter_(io.err) {}

TerminalLink::~TerminalLink() = default;

Status TerminalLink::Open() {
    const PortChoice choice{options_.demo, options_.api, {}};
    // Nobody is there to choose devices: the options chose them.
    session_ =
        std::make_unique<LinkSession>(choice, model_, settings_, presenter_, [] { return false; });
    for (const QString& fault : options_.demoFaults) {
        if (auto applied = ApplyChainFault(*session_->SimulatedChain(), fault.toStdString());
            !applied) {
            return applied.error();
        }
    }
    if (!options_.tracePath.isEmpty()) {
        if (auto traced = session_->StartTrace(options_.tracePath.toStdString()); !traced) {
            return traced.error();
        }
    }
    const auto in = FindPort(session_->Input(), options_.input, false);
    if (!in) return in.error();
    const auto out = FindPort(session_->Output(), options_.output, true);
    if (!out) return out.error();
    settings_.midiInSetting = *in + 1;
    settings_.midiOutSetting = *out + 2;
    return Ok();
}

Status TerminalLink::Read(ConsoleModel& model) {
    const auto result = Run(Goal::Read);
    if (result) model = model_;
    return result;
}

Status TerminalLink::Write(ConsoleModel& model) {
    model_ = model;
    return Run(Goal::Write);
}

Status TerminalLink::Run(Goal goal) {
    TransferController& transfer = session_->Transfer();
    goal == Goal::Read ? transfer.StartRead() : transfer.StartWrite();

    Status result = Ok();
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    // The simulated console answers at once, so its ticks need not wait for the clock.
    timer.setInterval(session_->Simulated() ? 0 : options_.tickMilliseconds);
    LinkState lastState = transfer.State();
    long lastSignOfLife = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        session_->Tick();
        const long now = transfer.TickCount();
        if (transfer.State() != lastState) {
            lastState = transfer.State();
            lastSignOfLife = now;
        }
        if (!presenter_.Failure().empty()) {
            result = Error{presenter_.Failure()};
        } else if (transfer.State() == LinkState::Idle) {
            result = Error{"the transfer was stopped"};
        } else if (session_->Completed()) {
            result = Ok();
        } else if (now - lastSignOfLife >
                   options_.timeoutSeconds * 1000 / options_.tickMilliseconds) {
            const std::string waiting = WaitText(transfer.Diagnosis());
            result = Error{"gave up after " + std::to_string(options_.timeoutSeconds) +
                           " s: " + (waiting.empty() ? "no answer from the console" : waiting) +
                           " See also: vtlconfig-cli probe."};
        } else {
            return;
        }
        loop.quit();
    });
    timer.start();
    loop.exec();
    transfer.CloseInput();
    session_->Output().Close();
    presenter_.Finish();
    return result;
}

} // namespace vtl::cli
