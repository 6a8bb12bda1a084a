// vtl-mcu-sim: a console's MCU chain on a virtual MIDI input and output port, so that the
// tool can be tried, and tested end to end, without a console. Everything the PC sends to
// the input passes the simulated chain; what comes out of it leaves on the output, and so
// does what the console sends when it is played from a script or standard input.

#include "model/file_path.h"
#include "platform/midi_api.h"
#include "platform/rtmidi_support.h"
#include "sim/chain_faults.h"
#include "sim/mcu_chain.h"
#include "tools/vtl_mcu_sim/script_player.h"
#include "tools/vtl_mcu_sim/stop_request.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vtl {
namespace {

constexpr const char* kProgram = "vtl-mcu-sim";
constexpr const char* kInputPort = "in";
constexpr const char* kOutputPort = "out";
constexpr int kUsageExit = 1;
constexpr int kMidiExit = 2;

struct Options {
    int manuals = 3;
    std::filesystem::path file;
    QString play;
    MidiApi api = MidiApi::Automatic;
    std::string name = "VTL MCU chain";
    std::optional<std::uint8_t> identityByte21;
    QStringList faults;
};

Expected<Options> ReadOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Simulates the MCU chain of an organ console on a virtual MIDI input and output port.");
    parser.addHelpOption();
    const QCommandLineOption manuals("manuals", "Number of MCUs on the chain, 0 to 4 (default 3).",
                                     "N", "3");
    const QCommandLineOption file("file", "Preload program 0 of each MCU from a console file.",
                                  "F.vtl");
    const QCommandLineOption api("api",
                                 "MIDI system: alsa or jack (default: alsa where the "
                                 "ALSA sequencer exists, else jack).",
                                 "alsa|jack");
    const QCommandLineOption name("name", "Client and port name (default \"VTL MCU chain\").",
                                  "NAME", "VTL MCU chain");
    const QCommandLineOption byte21("identity-byte21",
                                    "Byte 21 of every identity reply, in hex (default 12).", "HEX");
    const QCommandLineOption fault(
        "fault",
        "Make the chain misbehave (may be repeated; a tick is 100 ms): " +
            QString::fromLatin1(kChainFaultHelp.data(), kChainFaultHelp.size()) + ".",
        "FAULT");
    const QCommandLineOption play(
        "play",
        "Play the console from a script first, then from standard input: lines "
        "\"key M NOTE on|off [VELOCITY]\", \"piston M P\", \"shoe M VALUE\", \"wait MS\".",
        "FILE");
    parser.addOptions({manuals, file, api, name, byte21, fault, play});
    parser.process(app);

    Options options;
    bool ok = false;
    options.manuals = parser.value(manuals).toInt(&ok);
    if (!ok || options.manuals < 0 || options.manuals > McuChain::kMaxMcus) {
        return Error{"--manuals takes a number from 0 to 4"};
    }
    options.file = PathFromUtf8(parser.value(file).toStdString());
    options.name = parser.value(name).toStdString();
    options.faults = parser.values(fault);
    options.play = parser.value(play);

    if (parser.isSet(api)) {
        const auto chosen = ParseMidiApi(parser.value(api).toStdString());
        if (!chosen) return chosen.error();
        options.api = *chosen;
    }

    if (parser.isSet(byte21)) {
        QString text = parser.value(byte21);
        if (text.startsWith("0x", Qt::CaseInsensitive)) text.remove(0, 2);
        const uint value = text.toUInt(&ok, 16);
        if (!ok || value > 0xff) return Error{"--identity-byte21 takes a hex byte such as 12"};
        options.identityByte21 = static_cast<std::uint8_t>(value);
    }
    return options;
}

Status Prepare(McuChain& chain, const Options& options) {
    if (options.identityByte21) {
        for (int mcu = 1; mcu <= chain.McuCount(); ++mcu) {
            chain.SetIdentityByte21(mcu, *options.identityByte21);
        }
    }
    for (const QString& fault : options.faults) {
        if (auto applied = ApplyChainFault(chain, fault.toStdString()); !applied) return applied;
    }
    if (options.file.empty()) return Ok();
    return chain.PreloadConsoleFile(options.file);
}

// What the input callback and the clock share once ports are open.
struct Relay {
    McuChain& chain;
    RtMidiOut& out;
    std::mutex mutex;

    void Send(const std::vector<Bytes>& messages) {
        for (const auto& m : messages)
            out.sendMessage(&m);
    }
};

void OnMessage(double, std::vector<unsigned char>* message, void* userData) {
    auto& relay = *static_cast<Relay*>(userData);
    const std::lock_guard lock(relay.mutex);
    relay.Send(relay.chain.Send(*message));
}

void OnError(RtMidiError::Type, const std::string& text, void*) {
    std::cerr << kProgram << ": " << text << std::endl;
}

// The name under which the other side lists one of our ports, as RtMidi reports it.
std::string ListedName(RtMidi& lister, const std::string& name, const std::string& port) {
    const std::string client = name + " " + port;
    for (unsigned i = 0; i < lister.getPortCount(); ++i) {
        const std::string listed = lister.getPortName(i);
        if (listed.starts_with(client) && listed.find(":" + port) != std::string::npos) {
            return listed;
        }
    }
    return client + ":" + port;
}

int Run(McuChain& chain, const Options& options, StopRequest& stop) {
    try {
        // One client per port, named apart: JACK would rename a second client of the same name.
        const RtMidi::Api api = RtMidiApi(options.api);
        RtMidiOut out(api, options.name + " " + kOutputPort);
        out.openVirtualPort(kOutputPort);
        RtMidiIn in(api, options.name + " " + kInputPort);
        in.ignoreTypes(false, true, true);
        Relay relay{chain, out, {}};
        in.setCallback(&OnMessage, &relay);
        in.openVirtualPort(kInputPort);
        in.setErrorCallback(&OnError);
        out.setErrorCallback(&OnError);

        // Each side lists the other's port: the input lists outputs and the output inputs.
        std::cout << "ready: " << ListedName(out, options.name, kInputPort) << " / "
                  << ListedName(in, options.name, kOutputPort) << std::endl;

        const ScriptPlayer player(options.play.toStdU16String(), [&relay](const PlayStep& step) {
            const std::lock_guard lock(relay.mutex);
            auto played = relay.chain.Play(step);
            if (!played) return Status(played.error());
            relay.Send(*played);
            return Ok();
        });

        // Replies held back by a late MCU come out as the 100 ms ticks pass.
        while (!stop.WaitFor(std::chrono::milliseconds(100))) {
            const std::lock_guard lock(relay.mutex);
            relay.Send(chain.Tick());
        }
        return 0;
    } catch (const RtMidiError& e) {
        std::cerr << kProgram << ": " << e.getMessage() << std::endl;
        return kMidiExit;
    }
}

} // namespace
} // namespace vtl

int main(int argc, char* argv[]) {
    vtl::StopRequest stop; // before RtMidi starts its threads

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(vtl::kProgram);
    const auto options = vtl::ReadOptions(app);
    if (!options) {
        std::cerr << vtl::kProgram << ": " << options.error().message << std::endl;
        return vtl::kUsageExit;
    }

    std::vector<RtMidi::Api> compiled;
    RtMidi::getCompiledApi(compiled);
    const RtMidi::Api api = vtl::RtMidiApi(options->api);
    if (std::find(compiled.begin(), compiled.end(), api) == compiled.end()) {
        std::cerr << vtl::kProgram << ": RtMidi was built without "
                  << RtMidi::getApiDisplayName(api) << std::endl;
        return vtl::kMidiExit;
    }
    if (!vtl::HasVirtualPorts(api)) {
        std::cerr << vtl::kProgram << ": " << RtMidi::getApiDisplayName(api)
                  << " has no virtual ports to offer the simulated chain on; vtlconfig --demo "
                     "and vtlconfig-cli --demo simulate it in their own process\n";
        return vtl::kMidiExit;
    }

    vtl::McuChain chain(options->manuals);
    if (const auto prepared = vtl::Prepare(chain, *options); !prepared) {
        std::cerr << vtl::kProgram << ": " << prepared.error().message << std::endl;
        return vtl::kUsageExit;
    }
    return vtl::Run(chain, *options, stop);
}
