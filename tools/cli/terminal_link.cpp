#include "tools/cli/terminal_link.h"

#include "link/midi_io.h"
#include "link/tick.h"
#include "link/transfer_controller.h"
#include "session/link_session.h"
#include "sim/chain_faults.h"
#include "tools/cli/terminal.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QTimer>

#include <iostream>
#include <ostream>
#include <utility>

namespace vtl::cli {
namespace {

constexpr int kBarWidth = 20;
// Erases from the cursor to the end of the line.
constexpr char kEraseLine[] = "\x1b[K";

// The width of the terminal standard error is, or 0 when it is none (or a test's stream).
int TerminalColumns(const std::ostream& err) {
    return &err == &std::cerr ? StandardErrorColumns() : 0;
}

// The longest start of a UTF-8 text that fills at most this many columns.
std::string Clipped(const std::string& text, int columns) {
    int used = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xc0) != 0x80;
        if (startsCharacter && ++used > columns) return text.substr(0, i);
    }
    return text;
}

} // namespace

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
        const auto api = parseMidiApi(parser.value("api").toStdString());
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
    const int count = port.deviceCount();
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
        port.selectDevice(d);
        const QString name = QString::fromStdString(port.deviceName());
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
    : options_(options), io_(io), columns_(TerminalColumns(io.err)) {}

TerminalLink::~TerminalLink() = default;

Status TerminalLink::Open() {
    const PortChoice choice{options_.demo, options_.api, {}};
    session_ = std::make_unique<LinkSession>(choice, model_, settings_,
                                             LinkSession::Hosts{*this, *this, *this});
    for (const QString& fault : options_.demoFaults) {
        if (auto applied = ApplyChainFault(*session_->simulatedChain(), fault.toStdString());
            !applied) {
            return applied.error();
        }
    }
    if (!options_.tracePath.isEmpty()) {
        if (auto traced = session_->StartTrace(options_.tracePath.toStdString()); !traced) {
            return traced.error();
        }
    }
    const auto in = FindPort(session_->input(), options_.input, false);
    if (!in) return in.error();
    const auto out = FindPort(session_->output(), options_.output, true);
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
    TransferController& transfer = session_->transfer();
    goal == Goal::Read ? transfer.StartRead() : transfer.StartWrite();

    Status result = Ok();
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    // The simulated console answers at once, so its ticks need not wait for the clock.
    timer.setInterval(session_->simulated() ? 0 : options_.tickMilliseconds);
    LinkState lastState = transfer.linkState();
    long lastSignOfLife = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        session_->Tick();
        const long now = transfer.tickCount();
        if (transfer.linkState() != lastState) {
            lastState = transfer.linkState();
            lastSignOfLife = now;
        }
        if (!failure_.empty()) {
            result = Error{failure_};
        } else if (transfer.linkState() == LinkState::Idle) {
            result = Error{"the transfer was stopped"};
        } else if (session_->Completed()) {
            result = Ok();
        } else if (now - lastSignOfLife >
                   options_.timeoutSeconds * 1000 / options_.tickMilliseconds) {
            const std::string waiting = transfer.Waiting();
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
    session_->output().close();
    if (!partLine_.empty()) Print("\n");
    // The progress line stays where the transfer left it.
    if (progressLineShown_) io_.err << '\n' << std::flush;
    return result;
}

void TerminalLink::Print(const std::string& text) {
    std::string lines;
    for (char c : text) {
        if (c == '\r') continue;
        partLine_ += c;
        if (c == '\n') lines += std::exchange(partLine_, {});
    }
    if (!lines.empty()) {
        WipeProgressLine();
        io_.err << lines;
    }
    DrawProgressLine();
    io_.err << std::flush;
}

void TerminalLink::DrawProgressLine() {
    if (columns_ == 0 || !progress_.active()) return;
    io_.err << '\r' << ProgressLine() << kEraseLine;
    progressLineShown_ = true;
}

void TerminalLink::WipeProgressLine() {
    if (!progressLineShown_) return;
    io_.err << '\r' << kEraseLine;
    progressLineShown_ = false;
}

// "[#########...........]  45 %  Manual 2 of 3 — about 12 s left", then the text of a line
// still growing (the dots of a repeated request), as much as the terminal's width takes.
std::string TerminalLink::ProgressLine() const {
    const int filled = progress_.total == 0 ? 0 : progress_.done * kBarWidth / progress_.total;
    const std::string percent = std::to_string(progress_.percent());
    std::string line = "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') +
                       "] " + std::string(3 - percent.size(), ' ') + percent + " %  " +
                       ProgressSummary(progress_);
    if (!partLine_.empty()) line += "  " + partLine_;
    return Clipped(line, columns_ - 1);
}

void TerminalLink::setProgress(const TransferProgress& progress) {
    const int before = progress_.manualsDone;
    progress_ = progress;
    if (columns_ > 0) {
        DrawProgressLine();
        io_.err << std::flush;
        return;
    }
    const char* const verb = progress.mode == TransferMode::Writing ? " written" : " read";
    for (int m = before + 1; m <= progress.manualsDone; ++m) {
        io_.err << "manual " << m << " of " << progress.manuals << verb << '\n';
    }
}

void TerminalLink::setCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Print(std::string(partLine_.empty() ? "" : "\n") + "[" + caption + "]\n");
}

void TerminalLink::setText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    Print(std::string(partLine_.empty() ? "" : "\n") + text);
}

void TerminalLink::append(const std::string& text) {
    text_ += text;
    Print(text);
}

void TerminalLink::unload() {
    visible_ = false;
    text_.clear();
}

void TerminalLink::ShowMessage(const std::string& text) {
    if (failure_.empty()) failure_ = text;
}

void TerminalLink::ReportConversionError(const std::string& text) {
    Print(std::string(partLine_.empty() ? "" : "\n") + "warning: " + text + "\n");
}

} // namespace vtl::cli
