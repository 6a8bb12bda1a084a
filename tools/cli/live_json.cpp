#include "tools/cli/live_json.h"

#include "model/live_text.h"
#include "sysex/hex.h"

#include <array>
#include <cstdio>

namespace vtl::cli {
namespace {

std::string Field(const char* key, int value) {
    return std::string(", \"") + key + "\": " + std::to_string(value);
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

} // namespace

std::string LiveEventJson(const LiveEvent& event) {
    const MidiMessage& message = event.message;
    std::array<char, 32> time{};
    std::snprintf(time.data(), time.size(), "%.1f", event.timeMs);
    std::string bytes = BytesToHex(event.bytes);
    if (!bytes.empty()) bytes.pop_back();
    std::string json = std::string("{\"time_ms\": ") + time.data() +
                       ", \"bytes\": " + Quoted(bytes) +
                       ", \"kind\": " + Quoted(words::KindName(message.kind));
    if (event.channels.size() == 1) json += Field("channel", event.channels.front());
    if (event.channels.size() > 1) {
        json += ", \"channels\": [";
        for (std::size_t i = 0; i < event.channels.size(); ++i)
            json += (i == 0 ? "" : ", ") + std::to_string(event.channels[i]);
        json += "]";
    }
    switch (message.kind) {
    case MidiKind::NoteOn:
    case MidiKind::NoteOff:
        json += Field("note", message.note) + Field("velocity", message.velocity);
        break;
    case MidiKind::Controller:
        json += Field("controller", message.controller) + Field("value", message.value);
        break;
    case MidiKind::ProgramChange:
        json += Field("program", message.program);
        break;
    case MidiKind::SysEx:
    case MidiKind::Other:
        break;
    }
    json += ", \"elements\": [";
    for (std::size_t i = 0; i < event.elements.size(); ++i) {
        const LiveElement& element = event.elements[i];
        const char* kind = element.kind == LiveElement::Kind::Keyboard ? "keyboard"
                           : element.kind == LiveElement::Kind::Piston ? "piston"
                                                                       : "shoe";
        json += std::string(i == 0 ? "" : ", ") + "{\"manual\": " + std::to_string(element.manual) +
                ", \"element\": " + Quoted(kind);
        if (element.kind == LiveElement::Kind::Piston) json += Field("piston", element.piston);
        json += "}";
    }
    json += "], \"problems\": [";
    for (std::size_t i = 0; i < event.problems.size(); ++i)
        json += (i == 0 ? "" : ", ") + Quoted(words::ProblemName(event.problems[i]));
    return json + "]}";
}

} // namespace vtl::cli
