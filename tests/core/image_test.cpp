// The 256-byte program data image: every decoding and encoding rule, short images, and
// values that encoding must refuse rather than wrap. Positions in comments are 1-based
// as in the MCU documentation; offsets in code are 0-based.

#include "core_test_support.h"

#include "model/program_image.h"

#include <algorithm>

namespace vtl {
namespace {

using test::Fields;
using test::Hex;
using test::Piston;
using test::Shoe;

Bytes WithBytes(std::size_t offset = 0, const char* hex = "") {
    Bytes image(kImageSize, 0xff);
    const Bytes bytes = Hex(hex);
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<long>(offset));
    return image;
}

// Decodes into manual 2 of a model whose manual 2 holds recognisable earlier values; other
// manuals and the counters must stay as they were.
ConsoleModel Earlier() {
    ConsoleModel model;
    model.currentManual = 2;
    model.Channels(2) = 0x7777;
    model.Shoe(2) = Shoe(false, true, 9);
    for (int p = 0; p < kPistonsPerManual; ++p)
        model.Piston(2, p) = Piston(3, 7, 7, 7);
    return model;
}

ConsoleModel DecodeManual2(std::span<const std::uint8_t> image, Status* status = nullptr) {
    ConsoleModel model = Earlier();
    const auto decoded = DecodeProgramImage(model, image);
    if (status != nullptr)
        *status = decoded;
    else
        EXPECT_TRUE(decoded.has_value()) << decoded.error().message;
    EXPECT_EQ(std::tuple(model.currentManual, model.manualCount, model.Piston(1, 0).functionGroup),
              std::tuple(2, 0, kNeverSetGroup));
    return model;
}

ProgramImage EncodeManual2(const ConsoleModel& source) {
    ConsoleModel model = source;
    model.currentManual = 2;
    const auto image = EncodeProgramImage(model);
    EXPECT_TRUE(image.has_value()) << image.error().message;
    return image ? *image : ProgramImage{};
}

// Which way a table row holds: decoding the bytes gives the entry, encoding the entry
// gives the bytes, or both.
enum Way { kBoth, kDecodes, kEncodes };

std::int32_t Fields(std::int32_t channels) {
    return channels;
}

// Checks one row for the bytes at offset `at`; `field` is where the entry sits in manual 2.
template <class Entry, class Field>
void ExpectRow(std::size_t at, const char* bytes, const Entry& entry, Way way, Field field) {
    SCOPED_TRACE(std::string(bytes) + " at byte " + std::to_string(at + 1));
    if (way != kEncodes) {
        ConsoleModel decoded = DecodeManual2(WithBytes(at, bytes));
        EXPECT_EQ(Fields(field(decoded)), Fields(entry));
    }
    if (way != kDecodes) {
        ConsoleModel model;
        field(model) = entry;
        const auto image = EncodeManual2(model);
        EXPECT_EQ(BytesToHex(std::span(image).subspan(at, Hex(bytes).size())),
                  bytes + std::string(" "));
    }
}

TEST(Image, ChannelSetIsBytes28And29) {
    const struct {
        const char* bytes;
        std::int32_t channels;
        Way way;
    } cases[] = {
        {"f3 fc", 0xfcf3, kBoth}, {"00 00", 0, kBoth},     {"ff ff", 65535, kBoth},
        {"01 00", 1, kBoth},      {"00 80", 32768, kBoth}, {"01 ff", 0x1ff01, kEncodes},
    };
    for (const auto& c : cases)
        ExpectRow(27, c.bytes, c.channels, c.way,
                  [](ConsoleModel& m) -> std::int32_t& { return m.Channels(2); });
}

// The lowest channel with an even entry wins; with none the shoe is disabled and keeps its
// earlier channel and kind (channel 9, volume, in DecodeManual2).
TEST(Image, ShoeTableHasOneEntryPerChannel) {
    const struct {
        const char* table; // positions 3 to 10
        ShoeInfo shoe;
        Way way;
    } cases[] = {
        {"ff ff ff ff ff ff ff ff", Shoe(false, true, 9), kBoth},
        {"f4 ff ff ff ff ff ff ff", Shoe(true, true, 0), kBoth},
        {"4f ff ff ff ff ff ff ff", Shoe(true, true, 1), kBoth},
        {"ff cf ff ff ff ff ff ff", Shoe(true, false, 3), kBoth},
        {"ff ff ff ff ff ff ff cf", Shoe(true, false, 15), kBoth},
        {"77 bb 77 bb 77 bb 77 bb", Shoe(false, true, 9), kDecodes},
        {"94 ff ff ff ff ff ff ff", Shoe(true, true, 0), kDecodes},
        {"ff ff ff 4c ff ff ff 04", Shoe(true, false, 6), kDecodes},
        {"00 00 00 00 00 00 00 00", Shoe(true, true, 0), kDecodes},
    };
    for (const auto& c : cases)
        ExpectRow(2, c.table, c.shoe, c.way,
                  [](ConsoleModel& m) -> ShoeInfo& { return m.Shoe(2); });
}

// A channel byte (kind in the high nibble, channel - 1 in the low) and a function byte.
TEST(Image, PistonEntryOfEveryKind) {
    const struct {
        const char* bytes;
        PistonInfo piston; // group, type, channel, program
        Way way;
    } cases[] = {
        {"00 10", Piston(0, 2, 1, 2), kBoth},
        {"02 57", Piston(1, 0, 3, 0), kBoth},
        {"05 a0", Piston(2, 0, 6, 0), kBoth},
        {"00 5a", Piston(2, 1, 1, 1), kBoth},
        {"0f 9e", Piston(3, 29, 16, 29), kBoth},
        {"00 5e", Piston(4, 0, 1, 0), kBoth},
        {"00 5f", Piston(5, 0, 1, 0), kBoth},
        {"1f 7f", Piston(6, 128, 16, 128), kBoth},
        {"19 00", Piston(6, 1, 10, 1), kBoth},
        {"20 24", Piston(7, 0, 1, 0), kBoth},
        {"23 00", Piston(7, -36, 4, -36), kBoth},
        {"2f ff", Piston(7, 219, 16, 219), kBoth},
        {"ff ff", Piston(8, 0, 0, 0), kBoth},
        // Unassigned; an unknown function code of kind 0 keeps its channel.
        {"03 00", Piston(8, 0, 4, 0), kDecodes},
        {"00 9f", Piston(8, 0, 1, 0), kDecodes},
        {"10 80", Piston(8, 0, 0, 0), kDecodes},
        {"60 00", Piston(8, 0, 0, 0), kDecodes},
        // A group 6 image carries the program, not the type; a type outside its list is
        // encoded by its group's rule (so a tremulant 3 reads back as cancel 1); group 9
        // and groups outside 0 to 9 are unassigned.
        {"19 00", Piston(6, 2, 10, 1), kEncodes},
        {"00 5a", Piston(1, 3, 1), kEncodes},
        {"00 00", Piston(0, 6, 1), kEncodes},
        {"ff ff", Piston(9, 0, 0), kEncodes},
        {"ff ff", Piston(8, 3, 5, 5), kEncodes},
        {"ff ff", Piston(10, 0, 1), kEncodes},
    };
    for (const auto& c : cases) {
        for (int p : {0, 19}) {
            ExpectRow(210 + 2 * static_cast<std::size_t>(p), c.bytes, c.piston, c.way,
                      [p](ConsoleModel& m) -> PistonInfo& { return m.Piston(2, p); });
        }
    }
}

// A short image fails at the first missing position; what was decoded before stays
// decoded, the rest keeps its earlier values.
TEST(Image, ShortImageFailsAtTheFirstMissingByte) {
    const ConsoleModel earlier = Earlier();
    ConsoleModel source = earlier;
    source.Channels(2) = 0x0ff0;
    source.Shoe(2) = Shoe(true, false, 4);
    for (int p = 0; p < kPistonsPerManual; ++p)
        source.Piston(2, p) = Piston(3, p, 2, p);
    const ProgramImage full = EncodeManual2(source);

    const struct {
        std::size_t size;
        int missing; // 1-based position named by the error; 0 = no error
        bool headerDecoded;
        int pistonsDecoded;
    } cases[] = {
        {0, 28, false, 0},   {10, 28, false, 0},  {28, 29, false, 0},   {29, 211, true, 0},
        {211, 212, true, 0}, {212, 213, true, 1}, {249, 250, true, 19}, {250, 0, true, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("size " + std::to_string(c.size));
        Status status = Ok();
        const ConsoleModel model = DecodeManual2(std::span(full).first(c.size), &status);
        ASSERT_EQ(status.has_value(), c.missing == 0);
        if (!status) {
            EXPECT_TRUE(test::Contains(status.error().message,
                                       "byte " + std::to_string(c.missing) + " is missing"));
        }
        ConsoleModel expected = c.headerDecoded ? source : earlier;
        for (int p = 0; p < kPistonsPerManual; ++p)
            expected.Piston(2, p) = (p < c.pistonsDecoded ? source : earlier).Piston(2, p);
        test::ExpectSameManual(expected, model, 2);
    }
}

// Never-set pistons, a disabled shoe and no channels give the fixed frame and FF elsewhere;
// the format byte answers the identity reply.
TEST(Image, EmptyManualEncodesToTheFixedFrame) {
    Bytes expected(kFileImageSize, 0xff);
    std::fill(expected.begin() + 10, expected.begin() + 26, 0x24); // 11 to 26
    expected[27] = expected[28] = 0x00;                            // 28, 29
    expected[208] = 0x60;                                          // 209, 210
    expected[209] = 0x00;
    expected[250] = 0x60; // 251, 252
    expected[251] = 0x01;
    std::fill(expected.begin() + 255, expected.end(), 0x00); // 256 to 260

    const struct {
        std::uint8_t identity, format;
    } cases[] = {{0x12, 0x13}, {0x13, 0x12}, {0x00, 0x12}, {0xff, 0x12}};
    for (const auto& c : cases) {
        ConsoleModel model;
        model.identityByte21 = c.identity;
        expected[0] = c.format;
        EXPECT_EQ(BytesToHex(EncodeManual2(model)), BytesToHex(expected)) << int{c.identity};
    }
}

// A value that cannot be a byte is refused with the manual and piston or shoe named; a
// manual outside 1 to 3 is neither decoded nor encoded.
TEST(Image, UnencodableValuesAreRefused) {
    for (int m : {0, 4, -1}) {
        ConsoleModel model;
        model.currentManual = static_cast<std::int16_t>(m);
        EXPECT_FALSE(DecodeProgramImage(model, WithBytes()).has_value()) << m;
        EXPECT_FALSE(EncodeProgramImage(model).has_value()) << m;
    }
    const PistonInfo pistons[] = {
        Piston(0, 0, 0),    Piston(3, 0, 17),     Piston(7, 0, -1),  Piston(6, 0, 1, 0),
        Piston(6, 0, 0, 1), Piston(6, 0, 1, 129), Piston(7, 220, 1), Piston(7, -37, 1),
        Piston(3, 127, 1),  Piston(1, -88, 1),    Piston(2, 167, 1),
    };
    for (std::size_t i = 0; i <= std::size(pistons); ++i) {
        const bool shoe = i == std::size(pistons);
        ConsoleModel model;
        model.currentManual = 2;
        if (shoe)
            model.Shoe(2) = Shoe(true, true, 16);
        else
            model.Piston(2, 4) = pistons[i];
        const auto image = EncodeProgramImage(model);
        ASSERT_FALSE(image.has_value()) << i;
        EXPECT_TRUE(test::Contains(image.error().message,
                                   shoe ? "Manual 2, expression shoe" : "Manual 2, piston 5"));
    }
}

} // namespace
} // namespace vtl
