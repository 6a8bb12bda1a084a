#include "model/program_image.h"

#include "model/catalogue.h"
#include "model/function_codes.h"

#include <algorithm>
#include <string>

namespace vtl {
namespace {

Error TooShort(std::size_t size, std::size_t missingOffset) {
    return Error{"image of " + std::to_string(size) + " bytes is too short: byte " +
                 std::to_string(missingOffset + 1) + " is missing (a full image has " +
                 std::to_string(kImageSize) + ")"};
}

void DecodeShoe(ShoeInfo& shoe, std::span<const std::uint8_t> image) {
    // The lowest channel with an even entry wins; with none the shoe is disabled and keeps
    // its channel and kind.
    for (int c = 0; c < kChannelCount; ++c) {
        const std::uint8_t b = image[image::kShoeTable + static_cast<std::size_t>(c / 2)];
        const int entry = c % 2 == 0 ? (b & 0x0f) : (b >> 4);
        if (entry % 2 != 0) {
            shoe.expressionOn = false;
            continue;
        }
        shoe.expressionOn = true;
        shoe.midiChannel = static_cast<std::uint8_t>(c);
        shoe.volumeControl = (entry & 0x08) == 0;
        return;
    }
}

void DecodePiston(PistonInfo& piston, std::uint8_t channelByte, std::uint8_t function) {
    int group = kUnassignedGroup;
    int channel = 0;
    int value = 0;
    const int lowChannel = (channelByte & 0x0f) + 1;
    switch (channelByte >> 4) {
    case 0:
        channel = lowChannel;
        if (const auto f = FunctionFromCode(function)) {
            group = f->group;
            value = f->type;
        }
        break;
    case 1:
        if (function < 128) {
            group = kProgramChangeGroup;
            channel = lowChannel;
            value = function + 1;
        }
        break;
    case 2:
        group = kTrevaGroup;
        channel = lowChannel;
        value = function - 36;
        break;
    default:
        break;
    }
    piston.functionGroup = static_cast<std::int16_t>(group);
    piston.midiChannel = static_cast<std::int16_t>(channel);
    piston.programNumber = static_cast<std::int16_t>(value);
    piston.functionType = static_cast<std::int16_t>(value);
}

} // namespace

Status DecodeProgramImage(ConsoleModel& model, std::span<const std::uint8_t> image) {
    const int m = model.currentManual;
    if (!ConsoleModel::IsManual(m)) {
        return Error{"cannot decode into manual " + std::to_string(m) + " (manuals are 1 to 3)"};
    }
    if (image.size() <= image::kChannelsHigh) {
        return TooShort(image.size(), std::max(image.size(), image::kChannelsLow));
    }

    const int channels = image[image::kChannelsLow] | (image[image::kChannelsHigh] << 8);
    model.Channels(m) = channels;

    DecodeShoe(model.Shoe(m), image);

    for (int p = 0; p < kPistonsPerManual; ++p) {
        const std::size_t at = image::kPistonTable + 2 * static_cast<std::size_t>(p);
        if (image.size() <= at + 1) return TooShort(image.size(), std::max(image.size(), at));
        DecodePiston(model.Piston(m, p), image[at], image[at + 1]);
    }
    return Ok();
}

} // namespace vtl
