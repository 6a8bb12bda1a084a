#pragma once

#include <cstdint>

namespace vtl {

// What one thumb piston sends. Plain stored values: the editors choose them from fixed
// lists, and encoding refuses what the MCU image cannot carry.
struct PistonInfo {
    std::int16_t programNumber = 0; // group 6: MIDI program 1 to 128; else equals functionType
    std::int16_t midiChannel = 0;   // 1 to 16; 0 for an unassigned piston
    std::int16_t functionType = 0;  // index into the function list of the group
    std::int16_t functionGroup = 0; // 0 to 8 as in the catalogue; 9 = never set
};

} // namespace vtl
