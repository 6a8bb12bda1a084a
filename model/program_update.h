#pragma once
// Writing an image into an MCU program: the image travels in four PROGRAM_UPDATE messages
// of 64 bytes each, 7-bit packed.

#include "model/console_model.h"
#include "sysex/bytes.h"
#include "sysex/result.h"

#include <array>
#include <span>

namespace vtl {

inline constexpr std::size_t kUpdateBlockSize = 64;
inline constexpr int kUpdateBlockCount = 4;

// The four PROGRAM_UPDATE messages that write the image of model.currentManual into
// program programIndex of MCU device, in the order they are to be sent.
Expected<std::array<Bytes, kUpdateBlockCount>>
WriteProgramImage(const ConsoleModel& model, std::uint8_t device, std::uint32_t programIndex);

} // namespace vtl
