#include "sysex/hex.h"

#include <cctype>

namespace vtl {
namespace {

constexpr char kDigits[] = "0123456789abcdef";

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Describe(char c) {
    if (std::isprint(static_cast<unsigned char>(c))) return std::string("'") + c + "'";
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto u = static_cast<unsigned char>(c);
    return std::string("byte 0x") + kHex[u >> 4] + kHex[u & 15];
}

Error At(std::size_t column, const std::string& what) {
    return Error{"column " + std::to_string(column) + ": " + what};
}

} // namespace

std::string ByteToHex(std::uint8_t byte) {
    return {kDigits[byte >> 4], kDigits[byte & 15]};
}

std::string BytesToHex(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (auto b : bytes) {
        text += ByteToHex(b);
        text += ' ';
    }
    return text;
}

Expected<Bytes> HexToBytes(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return Bytes{};
    const auto last = text.find_last_not_of(' ');

    Bytes bytes;
    bytes.reserve((last - first + 2) / 3);
    for (std::size_t i = first; i <= last;) {
        const std::size_t column = i + 1;
        if (text[i] == ' ') return At(column, "two blanks in a row");
        const int high = DigitValue(text[i]);
        if (high < 0) return At(column, Describe(text[i]) + " is not a hex digit");
        if (i + 1 > last || text[i + 1] == ' ') return At(column, "a lone hex digit");
        const int low = DigitValue(text[i + 1]);
        if (low < 0) return At(column + 1, Describe(text[i + 1]) + " is not a hex digit");
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
        i += 2;
        if (i <= last) {
            if (text[i] != ' ') return At(i + 1, "a blank is missing between two bytes");
            ++i;
        }
    }
    return bytes;
}

} // namespace vtl
