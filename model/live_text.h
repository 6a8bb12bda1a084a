#pragma once
// The live console in words: what an element sent, as the window's log, the screen reader
// and the command line's monitor say it.

#include "model/live_event.h"

#include <string>
#include <string_view>

namespace vtl::words {

// "C4" for note 60 (middle C), "F#2"; octaves counted from -1 as MIDI notes run.
std::string NoteName(int note);
// The monitor's names: "note-on", "note-off", "controller", "program-change", "sysex",
// "other".
std::string_view KindName(MidiKind kind);
// "not-in-configuration", "ambiguous", "partial-channels", "stuck-note".
std::string_view ProblemName(LiveProblem problem);
// "Manual 2, keyboard", "Manual 1, piston 5", "Manual 3, shoe".
std::string ElementName(const LiveElement& element);
// The message after its elements: "C4 on, channels 5, 6", "controller 7, value 64, channel 3",
// "program 12, channel 10", "SysEx, 24 bytes".
std::string MessageText(const LiveEvent& event);
// "Manual 2, keyboard: C4 on, channels 5, 6"; elements that could all have sent it are joined
// with " or "; without an element the message alone: "C4 on, channel 9".
std::string LiveEventText(const LiveEvent& event);
// The log's line: time, the bytes and the words, problems in brackets:
// "   1520.4 ms  91 3c 64  Manual 2, keyboard: C4 on, channel 2".
std::string LiveEventLine(const LiveEvent& event);

// The keyboard's marks: "C1 lies below the keyboard: shown at its lowest key", "C4 held for
// more than 30 s".
std::string OutsideKeyboardNote(int note, bool below);
std::string StuckNoteNote(int note);

} // namespace vtl::words
