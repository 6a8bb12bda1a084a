#pragma once
// 7-bit transport of program data: groups of one high-bits byte followed by up to seven
// data bytes, the group's first data byte owning bit 6 of the high-bits byte.

#include "sysex/bytes.h"

#include <span>
#include <string>

namespace vtl {

// Receives the report of a received byte that cannot be 7-bit data. The window shows it
// in a message box; the command-line tool prints it.
class ConversionReporter {
public:
    virtual ~ConversionReporter() = default;
    virtual void ReportConversionError(const std::string& text) = 0;
};

// Packs bytes for 7-bit transport: each group of up to seven bytes is preceded by a byte
// holding their high bits, the group's first byte in bit 6. 64 bytes pack into 74.
Bytes PackSevenBit(std::span<const std::uint8_t> data);

// Unpacks the data of one PROGRAM_RESPONSE. A byte above 127 is skipped, reported as
// "Error in conversion at pos <n>: <input as hex text>", and the conversion goes on.
Bytes UnpackSevenBit(std::span<const std::uint8_t> packed, ConversionReporter& reporter);

} // namespace vtl
