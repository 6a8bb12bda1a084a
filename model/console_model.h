#pragma once
// What the tool knows of one organ console: up to three manuals, each with its division's
// MIDI channels, twenty pistons and one expression shoe.

#include "model/piston_info.h"
#include "model/shoe_info.h"

#include <array>
#include <cstdint>

namespace vtl {

inline constexpr int kMaxManuals = 3;
inline constexpr int kPistonsPerManual = 20;
inline constexpr int kChannelCount = 16;
// The group of a piston that was never decoded or edited; it behaves as unassigned.
inline constexpr std::int16_t kNeverSetGroup = 9;

struct ConsoleModel {
    ConsoleModel();

    // Number of manuals: 0 until a console is read or loaded. A bad count from the chain
    // is stored as received; every loop over manuals stops at kMaxManuals as well.
    std::int16_t manualCount = 0;
    // The manual being decoded, encoded, read or written; also its MCU's device byte.
    std::int16_t currentManual = 0;
    // Byte 21 of the last identity reply; it chooses the image's format byte.
    std::uint8_t identityByte21 = 0;

    // Per manual the channel set of its division: bit n set = sends on channel n + 1.
    std::array<std::int32_t, kMaxManuals> divisionChannels{};
    std::array<PistonInfo, kMaxManuals * kPistonsPerManual> pistons;
    std::array<ShoeInfo, kMaxManuals> shoes{};

    // Element access by 1-based manual and 0-based piston number.
    PistonInfo& Piston(int manual, int index) { return pistons[PistonSlot(manual, index)]; }
    const PistonInfo& Piston(int manual, int index) const {
        return pistons[PistonSlot(manual, index)];
    }
    ShoeInfo& Shoe(int manual) { return shoes[ManualSlot(manual)]; }
    const ShoeInfo& Shoe(int manual) const { return shoes[ManualSlot(manual)]; }
    std::int32_t& Channels(int manual) { return divisionChannels[ManualSlot(manual)]; }
    std::int32_t Channels(int manual) const { return divisionChannels[ManualSlot(manual)]; }

    static bool IsManual(int manual) { return manual >= 1 && manual <= kMaxManuals; }
    static std::size_t ManualSlot(int manual);
    static std::size_t PistonSlot(int manual, int index);
};

} // namespace vtl
