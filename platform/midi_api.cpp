#include "platform/midi_api.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

namespace vtl {
namespace {

constexpr std::array<std::pair<MidiApi, std::string_view>, 4> kNames{{
    {MidiApi::Automatic, "auto"},
    {MidiApi::Alsa, "alsa"},
    {MidiApi::Jack, "jack"},
    {MidiApi::WindowsMm, "winmm"},
}};

bool Offered(MidiApi api) {
    const auto offered = OfferedMidiApis();
    return api == MidiApi::Automatic ||
           std::find(offered.begin(), offered.end(), api) != offered.end();
}

} // namespace

Expected<MidiApi> ParseMidiApi(std::string_view name) {
    for (const auto& [api, text] : kNames) {
        if (text == name && Offered(api)) return api;
    }
    // "alsa", "jack" or "auto"
    std::string choices;
    for (const MidiApi api : OfferedMidiApis())
        choices += "\"" + std::string(MidiApiName(api)) + "\", ";
    choices.replace(choices.size() - 2, 2, " or ");
    return Error{"Unknown MIDI system \"" + std::string(name) + "\": use " + choices + "\"auto\"."};
}

std::string_view MidiApiName(MidiApi api) {
    const auto* found = std::find_if(kNames.begin(), kNames.end(),
                                     [api](const auto& entry) { return entry.first == api; });
    return found->second;
}

MidiApi ChooseMidiApi(MidiApi requested, bool alsaSequencerExists, bool alsaCompiled) {
    if (requested != MidiApi::Automatic) return requested;
    return alsaSequencerExists && alsaCompiled ? MidiApi::Alsa : MidiApi::Jack;
}

} // namespace vtl
