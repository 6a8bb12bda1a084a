#pragma once

#include <cstdint>

namespace vtl {

// The expression shoe of one manual.
struct ShoeInfo {
    std::uint8_t midiChannel = 0; // 0-based, unlike a piston's channel
    bool volumeControl = false;   // true: controller 7 (volume); false: controller 11
    bool expressionOn = false;    // false: the shoe is disabled
};

} // namespace vtl
