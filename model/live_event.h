#pragma once
// What the console sent, as the live console shows it: one MIDI message in its parts, and one
// event made of one or more of them with the console elements that could have sent it.

#include "sysex/bytes.h"

#include <compare>
#include <cstdint>
#include <vector>

namespace vtl {

enum class MidiKind { NoteOn, NoteOff, Controller, ProgramChange, SysEx, Other };

// One whole message. Fields that its kind does not carry stay 0.
struct MidiMessage {
    Bytes bytes;
    MidiKind kind = MidiKind::Other;
    int channel = 0; // 1 to 16; 0 for a message without a channel
    int note = 0;
    int velocity = 0;
    int controller = 0;
    int value = 0;
    int program = 0; // 1 to 128, as a user counts
};

// A part of the console: a manual's keyboard or shoe, or one of its pistons.
struct LiveElement {
    enum class Kind { Keyboard, Piston, Shoe };
    int manual = 0; // 1 to 3
    Kind kind = Kind::Keyboard;
    int piston = 0; // 1 to 20 along the rail; 0 for a keyboard or a shoe

    auto operator<=>(const LiveElement&) const = default;
};

enum class LiveProblem {
    NotInConfiguration, // no element could have sent it
    Ambiguous,          // more than one element could have
    PartialChannels,    // a key arrived on only some of its division's channels
    StuckNote,          // a key held more than 30 s, or still held when monitoring stopped
};

struct LiveEvent {
    double timeMs = 0;
    Bytes bytes;               // every message of the event, in arrival order
    MidiMessage message;       // the first message; its channel stands for all in `channels`
    std::vector<int> channels; // the channels a key arrived on; one entry for other kinds
    std::vector<LiveElement> elements;
    std::vector<LiveProblem> problems;
};

// A message as it is, attributed to nothing: what is shown when no configuration is known.
inline LiveEvent Unattributed(double timeMs, const MidiMessage& message) {
    LiveEvent event{timeMs, message.bytes, message, {}, {}, {}};
    if (message.channel != 0) event.channels.push_back(message.channel);
    return event;
}

} // namespace vtl
