#pragma once
// Which MIDI system the ports talk to. ALSA reaches hardware and the sequencer's patchbay;
// JACK runs where there is no ALSA sequencer (containers, CI) and in JACK studio setups.

#include "sysex/result.h"

#include <string_view>

namespace vtl {

enum class MidiApi { Automatic, Alsa, Jack };

// "auto", "alsa" or "jack"; anything else is an error that names the choices.
Expected<MidiApi> ParseMidiApi(std::string_view name);
std::string_view MidiApiName(MidiApi api);

// Automatic means ALSA when its sequencer exists and RtMidi was built with ALSA, else JACK;
// an explicit choice stays as it is.
MidiApi ChooseMidiApi(MidiApi requested, bool alsaSequencerExists, bool alsaCompiled);
// The same choice made on this machine: looks for /dev/snd/seq and asks RtMidi.
MidiApi ResolveMidiApi(MidiApi requested);

} // namespace vtl
