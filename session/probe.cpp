#include "session/probe.h"

#include "link/midi_io.h"
#include "link/product.h"
#include "session/link_ports.h"
#include "sysex/messages.h"

#include <QEventLoop>
#include <QTimer>

#include <memory>

namespace vtl {
namespace {

// How long the probe listens for the TAG to come back from each output.
constexpr int kListenMilliseconds = 500;
const std::string kClientName = std::string(kProductName) + " probe";

// Selects the port with this exact name; false when it has gone.
bool SelectByName(MidiPort& port, const std::string& name) {
    for (int d = 0; d < port.DeviceCount(); ++d) {
        port.SelectDevice(d);
        if (port.DeviceName() == name) return true;
    }
    return false;
}

void Listen(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

Expected<ProbeResult>
ProbeConsole(MidiApi api, const std::function<void(int output, const std::string& name)>& trying) {
    // The names are taken before our own listening ports exist, so that those are not probed.
    auto ports = ListMidiPorts(api);
    if (!ports) return ports.error();
    ProbeResult result{std::move(*ports), {}};

    std::vector<std::unique_ptr<MidiInput>> inputs;
    for (std::size_t i = 0; i < result.ports.inputs.size(); ++i) {
        auto input = LinkPorts::RealInput(api, kClientName);
        input->SelectDevice(static_cast<int>(i));
        input->Open();
        SetRealtimeFilters(*input, true);
        input->StartReceiving();
        inputs.push_back(std::move(input));
    }

    for (std::size_t o = 0; o < result.ports.outputs.size(); ++o) {
        trying(static_cast<int>(o), result.ports.outputs[o]);
        const auto output = LinkPorts::RealOutput(api, kClientName);
        if (!SelectByName(*output, result.ports.outputs[o])) continue;
        output->Open();
        output->SendSysEx(TagMessage(1));
        Listen(kListenMilliseconds);
        output->Close();
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            auto& input = *inputs[i];
            while (input.PendingCount() > 0) {
                const Bytes message = input.OldestSysEx();
                input.DiscardOldest();
                const auto value = TagValue(message);
                if (Recognise(message) != MessageKind::Tag || !value) continue;
                result.answers.push_back({static_cast<int>(i), static_cast<int>(o), *value - 1});
            }
        }
    }
    return result;
}

} // namespace vtl
