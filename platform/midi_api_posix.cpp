#include "platform/midi_api.h"

#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>
#include <vector>

namespace vtl {
namespace {

constexpr std::array kOffered{MidiApi::Alsa, MidiApi::Jack};

} // namespace

std::span<const MidiApi> OfferedMidiApis() {
    return kOffered;
}

std::string MidiApiHelp() {
    return "alsa or jack (default: alsa where it exists)";
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
