#pragma once
// Which MIDI system the ports talk to. On Linux: ALSA, which reaches hardware and the
// sequencer's patchbay, or JACK, where there is no ALSA sequencer (containers, CI) and in
// JACK studio setups. On Windows: Windows Multimedia (WinMM), which has no virtual ports.

#include "sysex/result.h"

#include <span>
#include <string>
#include <string_view>

namespace vtl {

enum class MidiApi { Automatic, Alsa, Jack, WindowsMm };

// The systems this platform offers, besides the automatic choice.
std::span<const MidiApi> OfferedMidiApis();
// For help texts: the offered systems' names and which one "auto" takes.
std::string MidiApiHelp();

// "auto" or the name of an offered system ("alsa", "jack"; "winmm"); anything else is an
// error that names the choices.
Expected<MidiApi> ParseMidiApi(std::string_view name);
std::string_view MidiApiName(MidiApi api);

// Automatic means ALSA when its sequencer exists and RtMidi was built with ALSA, else JACK;
// an explicit choice stays as it is.
MidiApi ChooseMidiApi(MidiApi requested, bool alsaSequencerExists, bool alsaCompiled);
// The choice made on this machine: on Linux looks for /dev/snd/seq and asks RtMidi; on
// Windows there is one system.
MidiApi ResolveMidiApi(MidiApi requested);

} // namespace vtl
