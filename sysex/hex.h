#pragma once
// Hex text: each byte as two lower-case digits followed by one blank ("f0 00 3d 62 ").
// The output queue, the traffic trace and the console files all use this form.

#include "sysex/bytes.h"
#include "sysex/result.h"

#include <span>
#include <string>
#include <string_view>

namespace vtl {

std::string ByteToHex(std::uint8_t byte);

// Every byte as two digits and one blank; the text ends with a blank.
std::string BytesToHex(std::span<const std::uint8_t> bytes);

// Reads hex text leniently: surrounding blanks are ignored and either case of digit is
// accepted. Pairs must be separated by exactly one blank; text that breaks that form
// (two blanks, a lone digit, a character that is not a hex digit) is an error naming the
// column, never guessed at.
Expected<Bytes> HexToBytes(std::string_view text);

} // namespace vtl
