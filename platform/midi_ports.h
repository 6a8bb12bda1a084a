#pragma once
// The MIDI ports a system offers right now, by name, for the device lists of the setup dialog
// and the command line's `ports` command.

#include "platform/midi_api.h"
#include "sysex/result.h"

#include <string>
#include <vector>

namespace vtl {

struct MidiPortNames {
    std::vector<std::string> inputs;   // input device 0, 1, ...
    std::vector<std::string> outputs;  // output device 0, 1, ... (device -1 is not listed)
    std::vector<std::string> warnings; // e.g. that no JACK server is running
    bool virtualOutput = true;         // the system can make output device -1 (WinMM cannot)
};

// An error when the MIDI system cannot be reached at all.
Expected<MidiPortNames> ListMidiPorts(MidiApi api);

} // namespace vtl
