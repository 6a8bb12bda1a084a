// 7-bit transport of program data: packing for PROGRAM_UPDATE, unpacking of
// PROGRAM_RESPONSE data, and the report of a byte that cannot be 7-bit data.

#include "core_test_support.h"

#include "link/seven_bit.h"
#include "model/program_update.h"

#include <random>
#include <vector>

namespace vtl {
namespace {

using test::Hex;

class RecordingReporter : public ConversionReporter {
public:
    void ReportConversionError(const std::string& text) override { reports.push_back(text); }
    std::vector<std::string> reports;
};

Bytes Repeat(std::uint8_t byte, std::size_t count) {
    return Bytes(count, byte);
}

TEST(SevenBit, UnpacksGroupsWithTheirHighBits) {
    const struct {
        const char* packed;
        const char* bytes;
    } cases[] = {
        {"7f 7f 7f 7f 7f 7f 7f 7f", "ff ff ff ff ff ff ff"},
        {"40 00", "80"},
        {"1f 13 01 14 06 25 14 06", "13 01 94 86 a5 94 86"},
        {"00 01 02 03 04 05 06 07 40 08", "01 02 03 04 05 06 07 88"},
        {"00 7f", "7f"},
        {"7f", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        RecordingReporter reporter;
        EXPECT_EQ(UnpackSevenBit(Hex(c.packed), reporter), Hex(c.bytes)) << c.packed;
        EXPECT_TRUE(reporter.reports.empty());
    }
}

TEST(SevenBit, PacksGroupsOfSevenBehindTheirHighBits) {
    Bytes sixtyFourFf;
    for (int g = 0; g < 9; ++g) {
        const auto group = Repeat(0x7f, 8);
        sixtyFourFf.insert(sixtyFourFf.end(), group.begin(), group.end());
    }
    sixtyFourFf.push_back(0x40);
    sixtyFourFf.push_back(0x7f);

    const struct {
        Bytes data;
        Bytes packed;
    } cases[] = {
        {Repeat(0xff, 64), sixtyFourFf},
        {Hex("13 01 94 86 a5 94 86"), Hex("1f 13 01 14 06 25 14 06")},
        {Hex("01 02 03 04 05 06 07 88"), Hex("00 01 02 03 04 05 06 07 40 08")},
        {Hex("80"), Hex("40 00")},
        {{}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PackSevenBit(c.data), c.packed) << BytesToHex(c.data);
    EXPECT_EQ(PackSevenBit(Repeat(0x00, 64)).size(), 74u);
}

TEST(SevenBit, PackingThenUnpackingGivesTheDataBack) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (std::size_t size = 0; size <= 300; ++size) {
        Bytes data(size);
        for (auto& b : data)
            b = static_cast<std::uint8_t>(byte(rng));
        const Bytes packed = PackSevenBit(data);
        EXPECT_EQ(packed.size(), size + (size + 6) / 7);
        for (auto b : packed)
            ASSERT_LT(b, 0x80) << "size " << size;
        RecordingReporter reporter;
        EXPECT_EQ(UnpackSevenBit(packed, reporter), data) << "size " << size;
        EXPECT_TRUE(reporter.reports.empty());
    }
}

// A byte above 127 is reported with its 1-based position and the whole input, skipped
// without advancing the group position, and the conversion goes on.
TEST(SevenBit, ByteAbove127IsReportedAndSkipped) {
    const struct {
        const char* packed;
        const char* bytes;
        std::vector<std::string> reports;
    } cases[] = {
        {"40 80 00", "80", {"Error in conversion at pos 2: 40 80 00 "}},
        {"ff 7f 7f 7f 7f 7f 7f 7f 7f",
         "ff ff ff ff ff ff ff",
         {"Error in conversion at pos 1: ff 7f 7f 7f 7f 7f 7f 7f 7f "}},
        {"00 90 01 f7 02",
         "01 02",
         {"Error in conversion at pos 2: 00 90 01 f7 02 ",
          "Error in conversion at pos 4: 00 90 01 f7 02 "}},
    };
    for (const auto& c : cases) {
        RecordingReporter reporter;
        EXPECT_EQ(UnpackSevenBit(Hex(c.packed), reporter), Hex(c.bytes)) << c.packed;
        EXPECT_EQ(reporter.reports, c.reports);
    }
}

} // namespace
} // namespace vtl
