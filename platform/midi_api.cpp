#include "platform/midi_api.h"

#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace vtl {
namespace {

constexpr std::array<std::pair<MidiApi, std::string_view>, 3> kNames{{
    {MidiApi::Automatic, "auto"},
    {MidiApi::Alsa, "alsa"},
    {MidiApi::Jack, "jack"},
}};

} // namespace

Expected<MidiApi> ParseMidiApi(std::string_view name) {
    for (const auto& [api, text] : kNames) {
        if (text == name) return api;
    }
    return Error{"Unknown MIDI system \"" + std::string(name) +
                 "\": use \"alsa\", \"jack\" or \"auto\"."};
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

MidiApi ResolveMidiApi(MidiApi requested) {
    std::error_code ignored;
    const bool sequencer = std::filesystem::exists("/dev/snd/seq", ignored);
    std::vector<RtMidi::Api> compiled;
    RtMidi::getCompiledApi(compiled);
    const bool alsa =
        std::find(compiled.begin(), compiled.end(), RtMidi::LINUX_ALSA) != compiled.end();
    return ChooseMidiApi(requested, sequencer, alsa);
}

} // namespace vtl
