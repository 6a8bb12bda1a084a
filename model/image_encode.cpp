#include "model/program_image.h"

#include "model/catalogue.h"
#include "model/function_codes.h"

#include <algorithm>
#include <string>

namespace vtl {
namespace {

constexpr std::uint8_t kVolumeEntry = 0x4;
constexpr std::uint8_t kExpressionEntry = 0xc;

struct PistonBytes {
    std::uint8_t channel;
    std::uint8_t function;
};

Error PistonError(int manual, int index, const std::string& what) {
    return Error{"Manual " + std::to_string(manual) + ", piston " + std::to_string(index + 1) +
                 ": " + what};
}

Expected<PistonBytes> EncodePiston(const PistonInfo& piston, int manual, int index) {
    const int group = piston.functionGroup;
    if (group < kCouplerGroup || group > kTrevaGroup) return PistonBytes{0xff, 0xff};

    if (piston.midiChannel < 1 || piston.midiChannel > kChannelCount) {
        return PistonError(manual, index,
                           "MIDI channel " + std::to_string(piston.midiChannel) +
                               " is outside 1 to 16");
    }
    const int channel = piston.midiChannel - 1;
    int kind = 0;
    int function = 0;
    if (group == kProgramChangeGroup) {
        if (piston.programNumber < 1 || piston.programNumber > 128) {
            return PistonError(manual, index,
                               "program number " + std::to_string(piston.programNumber) +
                                   " is outside 1 to 128");
        }
        kind = 0x10;
        function = piston.programNumber - 1;
    } else if (group == kTrevaGroup) {
        kind = 0x20;
        function = piston.functionType + 36;
    } else {
        function = FunctionCode(group, piston.functionType);
    }
    if (function < 0 || function > 255) {
        return PistonError(manual, index,
                           "function type " + std::to_string(piston.functionType) +
                               " has no code in its group");
    }
    return PistonBytes{static_cast<std::uint8_t>(kind | channel),
                       static_cast<std::uint8_t>(function)};
}

} // namespace

Expected<ProgramImage> EncodeProgramImage(const ConsoleModel& model) {
    const int m = model.currentManual;
    if (!ConsoleModel::IsManual(m)) {
        return Error{"cannot encode manual " + std::to_string(m) + " (manuals are 1 to 3)"};
    }

    ProgramImage out{};
    std::fill(out.begin(), out.begin() + kImageSize - 1, 0xff);
    out[image::kFormat] = model.identityByte21 == kIdentityForFormat13 ? kFormat13 : kFormat12;
    std::fill_n(out.begin() + image::kFixed24, 16, 0x24);

    const ShoeInfo& shoe = model.Shoe(m);
    if (shoe.expressionOn) {
        if (shoe.midiChannel >= kChannelCount) {
            return Error{"Manual " + std::to_string(m) + ", expression shoe: MIDI channel " +
                         std::to_string(shoe.midiChannel + 1) + " is outside 1 to 16"};
        }
        const std::uint8_t entry = shoe.volumeControl ? kVolumeEntry : kExpressionEntry;
        const int k = shoe.midiChannel;
        out[image::kShoeTable + static_cast<std::size_t>(k / 2)] =
            k % 2 != 0 ? static_cast<std::uint8_t>((entry << 4) | 0x0f)
                       : static_cast<std::uint8_t>(0xf0 | entry);
    }

    out[image::kPistonHead] = 0x60;
    out[image::kPistonHead + 1] = 0x00;
    out[image::kPistonTail] = 0x60;
    out[image::kPistonTail + 1] = 0x01;

    for (int p = 0; p < kPistonsPerManual; ++p) {
        const auto bytes = EncodePiston(model.Piston(m, p), m, p);
        if (!bytes) return bytes.error();
        const std::size_t at = image::kPistonTable + 2 * static_cast<std::size_t>(p);
        out[at] = bytes->channel;
        out[at + 1] = bytes->function;
    }

    // Bits above channel 16 are ignored.
    const auto channels = static_cast<std::uint32_t>(model.Channels(m));
    out[image::kChannelsLow] = static_cast<std::uint8_t>(channels & 0xff);
    out[image::kChannelsHigh] = static_cast<std::uint8_t>((channels >> 8) & 0xff);
    return out;
}

} // namespace vtl
