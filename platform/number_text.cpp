#include "platform/number_text.h"

#include <algorithm>
#include <limits>

namespace vtl {
namespace {

constexpr std::int64_t kNumberCap = 1'000'000'000'000'000;

bool IsSpaceOrTab(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

LeadingNumber ReadLeadingNumber(std::string_view text) {
    LeadingNumber number;
    std::size_t i = 0;
    while (i < text.size() && IsSpaceOrTab(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    std::int64_t whole = 0;
    bool digits = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        whole = std::min(whole * 10 + (text[i] - '0'), kNumberCap);
        digits = true;
    }
    bool roundUp = false;
    if (i < text.size() && text[i] == '.' &&
        (digits || (i + 1 < text.size() && IsDigit(text[i + 1])))) {
        const std::size_t first = ++i;
        bool beyondHalf = false;
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            if (i > first && text[i] != '0') beyondHalf = true;
        }
        digits = true;
        if (i > first) {
            const char lead = text[first];
            roundUp = lead > '5' || (lead == '5' && (beyondHalf || whole % 2 != 0));
        }
    }
    if (!digits) return number;
    if (roundUp) whole = std::min(whole + 1, kNumberCap);
    number.found = true;
    number.rounded = negative ? -whole : whole;
    number.end = i;
    return number;
}

std::int32_t CLngDefault(std::string_view text, std::int32_t fallback) {
    const LeadingNumber number = ReadLeadingNumber(text);
    if (!number.found) return fallback;
    if (!std::all_of(text.begin() + static_cast<std::ptrdiff_t>(number.end), text.end(),
                     IsSpaceOrTab))
        return fallback;
    if (number.rounded < std::numeric_limits<std::int32_t>::min() ||
        number.rounded > std::numeric_limits<std::int32_t>::max()) {
        return fallback;
    }
    return static_cast<std::int32_t>(number.rounded);
}

} // namespace vtl
