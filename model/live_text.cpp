#include "model/live_text.h"

#include "sysex/hex.h"

#include <array>
#include <cstdio>

namespace vtl::words {
namespace {

constexpr std::array<std::string_view, 12> kNoteNames{"C",  "C#", "D",  "D#", "E",  "F",
                                                      "F#", "G",  "G#", "A",  "A#", "B"};

std::string Channels(const std::vector<int>& channels) {
    if (channels.empty()) return {};
    std::string text = channels.size() == 1 ? ", channel " : ", channels ";
    for (std::size_t i = 0; i < channels.size(); ++i)
        text += (i == 0 ? "" : ", ") + std::to_string(channels[i]);
    return text;
}

} // namespace

std::string NoteName(int note) {
    return std::string(kNoteNames[static_cast<std::size_t>(note % 12)]) +
           std::to_string(note / 12 - 1);
}

std::string_view KindName(MidiKind kind) {
    switch (kind) {
    case MidiKind::NoteOn:
        return "note-on";
    case MidiKind::NoteOff:
        return "note-off";
    case MidiKind::Controller:
        return "controller";
    case MidiKind::ProgramChange:
        return "program-change";
    case MidiKind::SysEx:
        return "sysex";
    case MidiKind::Other:
        break;
    }
    return "other";
}

std::string_view ProblemName(LiveProblem problem) {
    switch (problem) {
    case LiveProblem::NotInConfiguration:
        return "not-in-configuration";
    case LiveProblem::Ambiguous:
        return "ambiguous";
    case LiveProblem::PartialChannels:
        return "partial-channels";
    case LiveProblem::StuckNote:
        break;
    }
    return "stuck-note";
}

std::string ElementName(const LiveElement& element) {
    const std::string manual = "Manual " + std::to_string(element.manual);
    switch (element.kind) {
    case LiveElement::Kind::Keyboard:
        return manual + ", keyboard";
    case LiveElement::Kind::Piston:
        return manual + ", piston " + std::to_string(element.piston);
    case LiveElement::Kind::Shoe:
        break;
    }
    return manual + ", shoe";
}

std::string MessageText(const LiveEvent& event) {
    const MidiMessage& message = event.message;
    switch (message.kind) {
    case MidiKind::NoteOn:
    case MidiKind::NoteOff:
        return NoteName(message.note) + (message.kind == MidiKind::NoteOn ? " on" : " off") +
               Channels(event.channels);
    case MidiKind::Controller:
        return "controller " + std::to_string(message.controller) + ", value " +
               std::to_string(message.value) + Channels(event.channels);
    case MidiKind::ProgramChange:
        return "program " + std::to_string(message.program) + Channels(event.channels);
    case MidiKind::SysEx:
        return "SysEx, " + std::to_string(event.bytes.size()) + " bytes";
    case MidiKind::Other:
        break;
    }
    return "other message" + Channels(event.channels);
}

std::string LiveEventText(const LiveEvent& event) {
    std::string text = MessageText(event);
    if (event.elements.empty()) {
        if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = text[0] - 'a' + 'A';
        return text;
    }
    std::string names;
    for (const LiveElement& element : event.elements)
        names += (names.empty() ? "" : " or ") + ElementName(element);
    return names + ": " + text;
}

std::string LiveEventLine(const LiveEvent& event) {
    std::array<char, 32> time{};
    std::snprintf(time.data(), time.size(), "%9.1f ms", event.timeMs);
    std::string hex = BytesToHex(event.bytes);
    if (!hex.empty()) hex.pop_back();
    std::string line = std::string(time.data()) + "  " + hex + "  " + LiveEventText(event);
    for (std::size_t i = 0; i < event.problems.size(); ++i)
        line += std::string(i == 0 ? "  [" : ", ") + std::string(ProblemName(event.problems[i]));
    if (!event.problems.empty()) line += "]";
    return line;
}

std::string OutsideKeyboardNote(int note, bool below) {
    return NoteName(note) + (below ? " lies below the keyboard: shown at its lowest key"
                                   : " lies above the keyboard: shown at its highest key");
}

std::string StuckNoteNote(int note) {
    return NoteName(note) + " held for more than 30 s";
}

} // namespace vtl::words
