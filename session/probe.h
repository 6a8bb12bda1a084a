#pragma once
// Finds the console without any settings: sends a TAG on every MIDI output in turn and
// listens on every input for it to come back, counted up by the MCUs it passed.

#include "platform/midi_api.h"
#include "platform/midi_ports.h"
#include "sysex/result.h"

#include <functional>
#include <string>
#include <vector>

namespace vtl {

// One input/output pair the TAG came back on, and the number of MCUs it passed.
struct ProbeAnswer {
    int input;
    int output;
    int manuals;
};

struct ProbeResult {
    MidiPortNames ports; // as listed before the probe's own ports existed
    std::vector<ProbeAnswer> answers;
};

// trying is told of each output before its TAG leaves. An error when the MIDI system cannot
// be reached at all.
Expected<ProbeResult>
ProbeConsole(MidiApi api, const std::function<void(int output, const std::string& name)>& trying);

} // namespace vtl
