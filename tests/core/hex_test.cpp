// Hex text: the form of the message catalogue, the output queue and the console files.

#include "core_test_support.h"

#include "sysex/hex.h"

#include <numeric>
#include <string_view>

namespace vtl {
namespace {

using namespace std::string_view_literals;

TEST(Hex, WrittenLowerCaseWithABlankAndReadLeniently) {
    EXPECT_EQ(BytesToHex(Bytes{0xf0, 0x00, 0x3d, 0x7f, 0x80, 0xab, 0xff}), "f0 00 3d 7f 80 ab ff ");
    Bytes all(256);
    std::iota(all.begin(), all.end(), 0);
    const std::string allText = BytesToHex(all);
    const struct {
        std::string_view text;
        Bytes bytes;
    } cases[] = {
        {allText, all},
        {"F0 00 3D 62", {0xf0, 0x00, 0x3d, 0x62}},
        {"   aB cD   ", {0xab, 0xcd}},
        {"", {}},
        {"    ", {}},
    };
    for (const auto& c : cases) {
        const auto bytes = HexToBytes(c.text);
        ASSERT_TRUE(bytes.has_value()) << '"' << c.text << "\": " << bytes.error().message;
        EXPECT_EQ(*bytes, c.bytes) << '"' << c.text << '"';
    }
}

// Text that breaks the pair format ends with an error at the offending column; it is never
// skipped, guessed at or looped over.
TEST(Hex, BrokenPairFormatIsAnErrorNamingTheColumn) {
    const struct {
        std::string_view text;
        int column;
    } cases[] = {
        {"f0  00", 4},      // two blanks
        {"f0 0", 4},        // a lone digit at the end
        {"f 00", 1},        // a lone digit before a blank
        {"g0 00", 1},       // not a hex digit
        {"f000", 3},        // a missing blank
        {"f0\t00", 3},      // a tab is not a blank
        {"f0 \0a"sv, 4},    // a NUL
        {"f0 \xc3\xa9", 4}, // a non-ASCII character
    };
    for (const auto& c : cases) {
        const auto bytes = HexToBytes(c.text);
        ASSERT_FALSE(bytes.has_value()) << '"' << c.text << '"';
        EXPECT_TRUE(test::Contains(bytes.error().message, "column " + std::to_string(c.column)));
    }
}

} // namespace
} // namespace vtl
