// 7-bit transport of program data: packing for PROGRAM_UPDATE, unpacking of
// PROGRAM_RESPONSE data, and the report of a byte that cannot be 7-bit data.

#include "core_test_support.h"

#include "sysex/seven_bit.h"

#include <random>
#include <vector>

namespace vtl {
namespace {

using test::Hex;
using test::RecordingReporter;

// Each row both ways: packing the data gives the packed form, unpacking that gives the data;
// then random data of every size up to 300 bytes.
TEST(SevenBit, GroupsOfSevenFollowTheirHighBits) {
    Bytes sixtyFourFf(74, 0x7f); // nine whole groups, then one byte with its high bit
    sixtyFourFf[72] = 0x40;
    std::vector<std::pair<Bytes, Bytes>> cases = {
        {Hex("1f 13 01 14 06 25 14 06"), Hex("13 01 94 86 a5 94 86")},
        {Hex("00 01 02 03 04 05 06 07 40 08"), Hex("01 02 03 04 05 06 07 88")},
        {Hex("40 00"), Hex("80")},
        {sixtyFourFf, Bytes(64, 0xff)},
    };
    std::mt19937 rng(7);
    for (std::size_t size = 0; size <= 300; ++size) {
        Bytes data(size);
        for (auto& b : data)
            b = static_cast<std::uint8_t>(rng());
        const Bytes packed = PackSevenBit(data);
        EXPECT_EQ(packed.size(), size + (size + 6) / 7);
        cases.emplace_back(packed, data);
    }
    for (const auto& [packed, data] : cases) {
        EXPECT_EQ(PackSevenBit(data), packed) << BytesToHex(data);
        RecordingReporter reporter;
        EXPECT_EQ(UnpackSevenBit(packed, reporter), data) << BytesToHex(packed);
        EXPECT_TRUE(reporter.reports.empty()) << BytesToHex(packed);
    }
    RecordingReporter reporter; // a lone high-bits byte carries no data
    EXPECT_EQ(UnpackSevenBit(Hex("7f"), reporter), Bytes{});
}

// A byte above 127 is reported with its 1-based position and the whole input, skipped
// without advancing the group position, and the conversion goes on; the bytes of one message
// come in one report.
TEST(SevenBit, ByteAbove127IsReportedAndSkipped) {
    const struct {
        const char* packed;
        const char* bytes;
        std::vector<std::string> reports;
    } cases[] = {
        {"ff 7f 7f 7f 7f 7f 7f 7f 7f",
         "ff ff ff ff ff ff ff",
         {"Error in conversion at pos 1: ff 7f 7f 7f 7f 7f 7f 7f 7f "}},
        {"00 90 01 f7 02",
         "01 02",
         {"Error in conversion at pos 2: 00 90 01 f7 02 ",
          "Error in conversion at pos 4: 00 90 01 f7 02 "}},
        {"f0 90 ff",
         "",
         {"Error in conversion at pos 1: f0 90 ff ", "Error in conversion at pos 2: f0 90 ff ",
          "Error in conversion at pos 3: f0 90 ff "}},
        {"00 01 02", "01 02", {}},
    };
    for (const auto& c : cases) {
        RecordingReporter reporter;
        EXPECT_EQ(UnpackSevenBit(Hex(c.packed), reporter), Hex(c.bytes)) << c.packed;
        EXPECT_EQ(reporter.reports, c.reports);
        EXPECT_EQ(reporter.messages, c.reports.empty() ? 0 : 1) << c.packed;
    }
}

} // namespace
} // namespace vtl
