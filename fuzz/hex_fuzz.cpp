// Hex text as console files and traces hold it: any text either decodes to exactly the bytes
// it spells or fails naming a column inside it, and any bytes survive a trip through text.

#include "fuzz_check.h"
#include "sysex/hex.h"

#include <string>

using vtl::fuzz::Require;

namespace {

// The text as the writer would have written it: no blanks around, lower-case digits.
std::string Canonical(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    std::string out(text.substr(first, text.find_last_not_of(' ') - first + 1));
    for (char& c : out)
        if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
    return out + ' ';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vtl::fuzz::AsText(data, size);
    if (const auto bytes = vtl::HexToBytes(text)) {
        // Accepted text is the canonical form give or take case and outer blanks: nothing
        // else is guessed at.
        Require(vtl::BytesToHex(*bytes) == Canonical(text), "accepted text is not hex text");
    } else {
        const std::string& message = bytes.error().message;
        Require(message.starts_with("column "), "a hex error names no column");
        Require(std::stoul(message.substr(7)) - 1 < size, "a hex error names a column outside");
    }
    const vtl::Bytes raw(data, data + size);
    const auto again = vtl::HexToBytes(vtl::BytesToHex(raw));
    Require(again && *again == raw, "bytes written as hex text read back differently");
    return 0;
}
