#pragma once

namespace vtl {

// The MIDI devices chosen in the setup dialog, as stored in the settings file.
struct MidiSettings {
    int midiInSetting = 0;  // input device number + 1; 0 = none
    int midiOutSetting = 0; // output device number + 2 (1 = default output); 0 = none
};

} // namespace vtl
