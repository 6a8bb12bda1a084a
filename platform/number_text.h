#pragma once
// Numbers read from settings text, converted as the platform's own conversion does: decimal,
// rounded half to even.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vtl {

// The decimal number at the start of a text: blanks, a sign right before the digits, digits
// with an optional fraction, rounded half to even. Magnitudes beyond 10^15 are cut to 10^15
// (beyond every range the program takes).
struct LeadingNumber {
    bool found = false; // at least one digit
    std::int64_t rounded = 0;
    std::size_t end = 0; // where the number ends in the text
};
LeadingNumber ReadLeadingNumber(std::string_view text);

// The text as a whole number, rounded half to even ("2.5" gives 2, "-3.5" gives -4): blanks
// around it, a sign right before the digits and a decimal fraction are accepted; anything
// else, an empty text, or a number outside 32 bits gives the fallback.
std::int32_t CLngDefault(std::string_view text, std::int32_t fallback = 0);

} // namespace vtl
