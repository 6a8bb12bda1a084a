#pragma once
// Writing an image into an MCU program: the image travels in four PROGRAM_UPDATE messages
// of 64 bytes each, 7-bit packed.

#include "link/bytes.h"
#include "link/result.h"
#include "model/console_model.h"

#include <array>
#include <span>

namespace vtl {

inline constexpr std::size_t kUpdateBlockSize = 64;
inline constexpr int kUpdateBlockCount = 4;

// Packs bytes for 7-bit transport: each group of up to seven bytes is preceded by a byte
// holding their high bits, the group's first byte in bit 6. 64 bytes pack into 74.
Bytes PackSevenBit(std::span<const std::uint8_t> data);

// The four PROGRAM_UPDATE messages that write the image of model.currentManual into
// program programIndex of MCU device, in the order they are to be sent.
Expected<std::array<Bytes, kUpdateBlockCount>>
WriteProgramImage(const ConsoleModel& model, std::uint8_t device, std::uint32_t programIndex);

} // namespace vtl
