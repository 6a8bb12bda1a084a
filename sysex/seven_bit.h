#pragma once
// 7-bit transport of program data: groups of one high-bits byte followed by up to seven
// data bytes, the group's first data byte owning bit 6 of the high-bits byte.

#include "sysex/bytes.h"

#include <span>
#include <string>
#include <vector>

namespace vtl {

// The bytes of one received message that cannot be 7-bit data: the input as hex text, made
// once however many there are, and the 1-based position of each.
struct ConversionFaults {
    std::string inputHex;
    std::vector<std::size_t> positions;
};

// One line per faulty byte: "Error in conversion at pos <n>: <input as hex text>".
std::vector<std::string> ConversionErrorLines(const ConversionFaults& faults);

// Receives, once per message that has any, the bytes that cannot be 7-bit data. The window
// shows their lines in one message box; the command-line tool prints them.
class ConversionReporter {
public:
    virtual ~ConversionReporter() = default;
    virtual void ReportConversionErrors(const ConversionFaults& faults) = 0;
};

// Packs bytes for 7-bit transport: each group of up to seven bytes is preceded by a byte
// holding their high bits, the group's first byte in bit 6. 64 bytes pack into 74.
Bytes PackSevenBit(std::span<const std::uint8_t> data);

// Unpacks the data of one PROGRAM_RESPONSE. A byte above 127 is skipped and the conversion
// goes on; the bytes skipped are reported together once the message is through.
Bytes UnpackSevenBit(std::span<const std::uint8_t> packed, ConversionReporter& reporter);

} // namespace vtl
