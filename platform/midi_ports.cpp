#include "platform/midi_ports.h"

#include "link/product.h"
#include "platform/rtmidi_support.h"

#include <algorithm>

namespace vtl {
namespace {

const std::string kClientName = std::string(kProductName) + " Ports";

struct Reports {
    std::vector<std::string> warnings;
    std::vector<std::string> errors;
};

void Collect(RtMidiError::Type type, const std::string& message, void* reports) {
    auto& into = *static_cast<Reports*>(reports);
    if (type == RtMidiError::DEBUG_WARNING) return;
    auto& list = RtMidiErrorCode(type) == 0 ? into.warnings : into.errors;
    if (std::find(list.begin(), list.end(), message) == list.end()) list.push_back(message);
}

std::vector<std::string> PortNames(RtMidi& midi, Reports& reports) {
    midi.setErrorCallback(&Collect, &reports);
    std::vector<std::string> names;
    const unsigned count = midi.getPortCount();
    for (unsigned number = 0; number < count; ++number)
        names.push_back(midi.getPortName(number));
    return names;
}

} // namespace

Expected<MidiPortNames> ListMidiPorts(MidiApi api) {
    Reports reports;
    MidiPortNames names;
    try {
        const RtMidi::Api chosen = RtMidiApi(api);
        names.virtualOutput = HasVirtualPorts(chosen);
        RtMidiIn input(chosen, kClientName);
        names.inputs = PortNames(input, reports);
        RtMidiOut output(chosen, kClientName);
        names.outputs = PortNames(output, reports);
    } catch (const RtMidiError& error) {
        reports.errors.push_back(error.getMessage());
    }
    if (!reports.errors.empty()) return Error{reports.errors.front()};
    names.warnings = std::move(reports.warnings);
    return names;
}

} // namespace vtl
