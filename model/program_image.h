#pragma once
// The 256-byte program data image an MCU keeps for each program, and its conversion to
// and from the console model. Offsets below are 0-based; byte n of the MCU documentation
// is offset n - 1.

#include "model/console_model.h"
#include "sysex/result.h"

#include <array>
#include <cstdint>
#include <span>

namespace vtl {

inline constexpr std::size_t kImageSize = 256;
// A console file stores the image followed by four 00 bytes.
inline constexpr std::size_t kFileImageSize = 260;

using ProgramImage = std::array<std::uint8_t, kFileImageSize>;

namespace image {
inline constexpr std::size_t kFormat = 0;        // 12, or 13 for MCUs whose identity says 12
inline constexpr std::size_t kShoeTable = 2;     // 8 bytes, one nibble per MIDI channel
inline constexpr std::size_t kFixed24 = 10;      // 16 bytes written as 24
inline constexpr std::size_t kChannelsLow = 27;  // division channels 1 to 8
inline constexpr std::size_t kChannelsHigh = 28; // division channels 9 to 16
inline constexpr std::size_t kPistonHead = 208;  // 60 00
inline constexpr std::size_t kPistonTable = 210; // channel byte, function byte per piston
inline constexpr std::size_t kPistonTail = 250;  // 60 01
} // namespace image

// Decodes an image into the entries of manual model.currentManual. An image too short for
// a field fails at that field: fields before it keep their new values, later ones their
// old values. Bytes the model does not represent are not looked at.
Status DecodeProgramImage(ConsoleModel& model, std::span<const std::uint8_t> image);

// The format byte an image starts with: 13 for MCUs whose identity byte 21 is 0x12, else 12.
inline constexpr std::uint8_t kIdentityForFormat13 = 0x12;
inline constexpr std::uint8_t kFormat12 = 0x12;
inline constexpr std::uint8_t kFormat13 = 0x13;

// Encodes manual model.currentManual. Values the image cannot carry (a channel outside
// 1 to 16, a program outside 1 to 128, a type whose code would not fit a byte, a shoe
// channel above 15) are refused with an error naming the manual and the piston; a wrapped
// byte is never written.
Expected<ProgramImage> EncodeProgramImage(const ConsoleModel& model);

} // namespace vtl
