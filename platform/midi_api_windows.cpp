#include "platform/midi_api.h"

#include <array>

namespace vtl {
namespace {

constexpr std::array kOffered{MidiApi::WindowsMm};

} // namespace

std::span<const MidiApi> OfferedMidiApis() {
    return kOffered;
}

std::string MidiApiHelp() {
    return "winmm, Windows' own, which has no virtual ports (the default)";
}

MidiApi ResolveMidiApi(MidiApi requested) {
    return requested == MidiApi::Automatic ? MidiApi::WindowsMm : requested;
}

} // namespace vtl
