// The SysEx messages: their exact bytes, their recognition (short and truncated input
// included), and the four PROGRAM_UPDATE messages that write one image.

#include "core_test_support.h"

#include "model/program_image.h"
#include "model/program_update.h"
#include "sysex/messages.h"
#include "sysex/seven_bit.h"

namespace vtl {
namespace {

using test::Hex;

TEST(Messages, LayoutsAreByteExact) {
    const struct {
        const char* name;
        Bytes message;
        const char* bytes;
    } cases[] = {
        {"tag", TagMessage(1), "f0 00 3d 62 7f 04 02 01 f7"},
        {"request index 0", ProgramRequestMessage(2, 0),
         "f0 00 3d 62 02 04 01 03 00 00 00 00 02 f7"},
        {"request index 1", ProgramRequestMessage(1, 1),
         "f0 00 3d 62 01 04 01 03 00 02 00 00 02 f7"},
        {"request index 127", ProgramRequestMessage(3, 127),
         "f0 00 3d 62 03 04 01 03 00 7e 01 00 02 f7"},
        {"update", ProgramUpdateMessage(1, 128, Hex("01 02")),
         "f0 00 3d 62 01 04 01 08 00 00 00 01 00 02 01 02 f7"},
        {"reboot one", McuRebootMessage(2), "f0 00 3d 62 02 04 01 20 f7"},
        {"reboot all", McuRebootMessage(kAllDevices), "f0 00 3d 62 7f 04 01 20 f7"},
        {"identity request", IdentityRequestMessage(3), "f0 7e 03 06 01 f7"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BytesToHex(c.message), BytesToHex(Hex(c.bytes))) << c.name;
}

TEST(Messages, AddressesAreThreeSevenBitGroupsLowestFirst) {
    const struct {
        std::uint32_t value;
        std::array<std::uint8_t, 3> groups;
    } cases[] = {
        {0, {0x00, 0x00, 0x00}},        {127, {0x7f, 0x00, 0x00}},
        {128, {0x00, 0x01, 0x00}},      {256, {0x00, 0x02, 0x00}},
        {448, {0x40, 0x03, 0x00}},      {16384, {0x00, 0x00, 0x01}},
        {1u << 21, {0x00, 0x00, 0x00}}, {(1u << 21) - 1, {0x7f, 0x7f, 0x7f}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SevenBitGroups21(c.value), c.groups) << c.value;
}

TEST(Messages, RecognitionNeverReadsPastTheEnd) {
    const struct {
        const char* bytes;
        MessageKind kind;
    } cases[] = {
        {"f0 00 3d 62 7f 04 02 04 f7", MessageKind::Tag},
        {"f0 00 3d 62 7f 04 02", MessageKind::Tag},
        {"f0 00 3d 62 02 04 01 03 00 00 00 00 02 f7", MessageKind::ProgramRequest},
        {"f0 00 3d 62 02 04 01 03", MessageKind::ProgramRequest},
        {"f0 00 3d 62 01 04 01 04 00 00 00 00 7f f7", MessageKind::ProgramResponse},
        {"f0 00 3d 62 01 04 01 08 00 00 00 00 00 00 f7", MessageKind::ProgramUpdate},
        {"f0 00 3d 62 7f 04 01 20 f7", MessageKind::McuReboot},
        {"f0 7e 00 06 01 f7", MessageKind::IdentityRequest},
        {"f0 7e 7f 06 01 f7", MessageKind::IdentityRequest},
        {"f0 7e 02 06 01", MessageKind::IdentityRequest},
        {"f0 7e 01 06 02 00 3d 62 00 00 00 00 00 00 00 00 00 00 00 00 12 00 f7",
         MessageKind::IdentityReply},
        {"f0 7e 55 06 02 f7", MessageKind::IdentityReply},
        // Not a TAG: the head needs the device byte 7F.
        {"f0 00 3d 62 01 04 02 01 f7", MessageKind::Unrecognised},
        {"f0 00 3d 62 01 04 01 05 f7", MessageKind::Unrecognised},
        {"f0 00 3d 63 01 04 01 03 f7", MessageKind::Unrecognised},
        {"f0 7f 00 06 01 f7", MessageKind::Unrecognised},
        {"f0 7e 00 06 03 f7", MessageKind::Unrecognised},
        {"f0 7e 00 07 01 f7", MessageKind::Unrecognised},
        {"90 40 7f", MessageKind::Unrecognised},
        // Truncated.
        {"", MessageKind::Unrecognised},
        {"f0", MessageKind::Unrecognised},
        {"f0 00 3d", MessageKind::Unrecognised},
        {"f0 00 3d 62", MessageKind::Unrecognised},
        {"f0 00 3d 62 7f 04", MessageKind::Unrecognised},
        {"f0 00 3d 62 01 04 01", MessageKind::Unrecognised},
        {"f0 7e 00 06", MessageKind::Unrecognised},
    };
    for (const auto& c : cases) {
        const Bytes message = Hex(c.bytes);
        // A copy of exactly the message's size, so that a read past the end is caught by
        // the address sanitizer.
        const std::vector<std::uint8_t> exact(message.begin(), message.end());
        EXPECT_EQ(Recognise(exact), c.kind) << c.bytes;
    }
}

TEST(Messages, FieldsOfShortMessagesAreEmpty) {
    EXPECT_EQ(TagValue(Hex("f0 00 3d 62 7f 04 02 03 f7")), std::optional<std::uint8_t>(3));
    EXPECT_EQ(TagValue(Hex("f0 00 3d 62 7f 04 02")), std::nullopt);

    const Bytes reply = Hex("f0 7e 01 06 02 00 3d 62 01 02 03 04 05 06 07 08 09 0a 0b 0c 12 0d f7");
    EXPECT_EQ(IdentityByte21(reply), std::optional<std::uint8_t>(0x12));
    EXPECT_EQ(IdentityByte21(std::span(reply).first(20)), std::nullopt);

    const struct {
        const char* response;
        const char* data;
    } cases[] = {
        {"f0 00 3d 62 01 04 01 04 11 22 33 0a 0b 0c f7", "0a 0b 0c"},
        {"f0 00 3d 62 01 04 01 04 11 22 33 0a 0b", "0a 0b"},
        {"f0 00 3d 62 01 04 01 04 11 22 33 f7", ""},
        {"f0 00 3d 62 01 04 01 04 11 22 33", ""},
        {"f0 00 3d", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        const Bytes response = Hex(c.response);
        const auto data = ResponseData(response);
        EXPECT_EQ(Bytes(data.begin(), data.end()), Hex(c.data)) << c.response;
    }
}

// Four messages of 64 image bytes each, packed into 74, at program index × 256 + 64 k.
TEST(Messages, WritingAnImageSendsFourUpdatesInBlockOrder) {
    ConsoleModel model;
    model.currentManual = 2;
    model.channels(2) = 0x8001;
    model.shoe(2) = test::Shoe(true, false, 15);
    for (int p = 0; p < kPistonsPerManual; ++p)
        model.piston(2, p) = test::Piston(7, 55 - p, 16);
    const auto image = EncodeProgramImage(model);
    ASSERT_TRUE(image.has_value()) << image.error().message;

    const struct {
        std::uint32_t programIndex;
        const char* addresses[kUpdateBlockCount];
    } cases[] = {
        {0, {"00 00 00", "40 00 00", "00 01 00", "40 01 00"}},
        {1, {"00 02 00", "40 02 00", "00 03 00", "40 03 00"}},
    };
    for (const auto& c : cases) {
        const auto messages = WriteProgramImage(model, 2, c.programIndex);
        ASSERT_TRUE(messages.has_value()) << messages.error().message;
        for (std::size_t k = 0; k < kUpdateBlockCount; ++k) {
            SCOPED_TRACE("index " + std::to_string(c.programIndex) + " block " + std::to_string(k));
            const Bytes& m = (*messages)[k];
            ASSERT_EQ(m.size(), 89u);
            EXPECT_EQ(Bytes(m.begin(), m.begin() + 10), Hex("f0 00 3d 62 02 04 01 08 00 00"));
            EXPECT_EQ(Bytes(m.begin() + 10, m.begin() + 13), Hex(c.addresses[k]));
            EXPECT_EQ(m[13], 0x4a);
            EXPECT_EQ(m.back(), 0xf7);
            EXPECT_EQ(Recognise(m), MessageKind::ProgramUpdate);
            test::RecordingReporter reporter;
            const auto block = std::span(*image).subspan(64 * k, 64);
            EXPECT_EQ(UnpackSevenBit(std::span(m).subspan(14, 74), reporter),
                      Bytes(block.begin(), block.end()));
            EXPECT_TRUE(reporter.reports.empty());
        }
        // The last block ends with image byte 256, which is 00.
        EXPECT_EQ((*messages)[3][87], 0x00);
    }
}

TEST(Messages, WritingAnUnencodableImageSendsNothing) {
    ConsoleModel model;
    model.currentManual = 1;
    model.piston(1, 0) = test::Piston(0, 0, 0);
    EXPECT_FALSE(WriteProgramImage(model, 1, 0).has_value());
}

} // namespace
} // namespace vtl
