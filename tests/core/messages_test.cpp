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

// Every message is byte-exact, and every part of it from its first byte is recognised as
// its kind once it holds `shortest` bytes and never before.
TEST(Messages, LayoutsAreByteExactAndRecognisedWhenCut) {
    const struct {
        Bytes message;
        const char* bytes;
        MessageKind kind;
        std::size_t shortest;
    } cases[] = {
        {TagMessage(1), "f0 00 3d 62 7f 04 02 01 f7", MessageKind::Tag, 7},
        {ProgramRequestMessage(2, 0), "f0 00 3d 62 02 04 01 03 00 00 00 00 02 f7",
         MessageKind::ProgramRequest, 8},
        {ProgramRequestMessage(3, 127), "f0 00 3d 62 03 04 01 03 00 7e 01 00 02 f7",
         MessageKind::ProgramRequest, 8},
        {ProgramUpdateMessage(1, 128, Hex("01 02")),
         "f0 00 3d 62 01 04 01 08 00 00 00 01 00 02 01 02 f7", MessageKind::ProgramUpdate, 8},
        {ProgramResponseMessage(1, 16517, Hex("80 01")),
         "f0 00 3d 62 01 04 01 04 05 01 01 40 00 01 f7", MessageKind::ProgramResponse, 8},
        {McuRebootMessage(kAllDevices), "f0 00 3d 62 7f 04 01 20 f7", MessageKind::McuReboot, 8},
        {IdentityRequestMessage(3), "f0 7e 03 06 01 f7", MessageKind::IdentityRequest, 5},
        {IdentityReplyMessage(3, 0x13),
         "f0 7e 03 06 02 00 3d 62 01 00 01 00 01 00 00 00 00 00 00 00 13 00 f7",
         MessageKind::IdentityReply, 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BytesToHex(c.message), BytesToHex(Hex(c.bytes)));
        for (std::size_t size = 0; size <= c.message.size(); ++size) {
            // Exactly the part's size, so that a read past its end is caught by the sanitizer.
            const Bytes part(c.message.begin(), c.message.begin() + static_cast<long>(size));
            EXPECT_EQ(Recognise(part), size >= c.shortest ? c.kind : MessageKind::Unrecognised)
                << c.bytes << " cut to " << size;
        }
    }
    const char* others[] = {
        "f0 00 3d 62 01 04 02 01 f7", // a TAG head needs the device byte 7F
        "f0 00 3d 62 01 04 01 05 f7", // an unknown command
        "f0 00 3d 63 01 04 01 03 f7", // another product
        "f0 7f 00 06 01 f7",          // realtime, not non-realtime
        "f0 7e 00 06 03 f7",          "f0 7e 00 07 01 f7", "90 40 7f",
    };
    for (const char* other : others)
        EXPECT_EQ(Recognise(Hex(other)), MessageKind::Unrecognised) << other;
}

TEST(Messages, FieldsOfShortMessagesAreEmpty) {
    EXPECT_EQ(TagValue(Hex("f0 00 3d 62 7f 04 02 03 f7")), std::optional<std::uint8_t>(3));
    EXPECT_EQ(TagValue(Hex("f0 00 3d 62 7f 04 02")), std::nullopt);
    const Bytes reply = IdentityReplyMessage(1, 0x12);
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
    model.Channels(2) = 0x8001;
    model.Shoe(2) = test::Shoe(true, false, 15);
    for (int p = 0; p < kPistonsPerManual; ++p)
        model.Piston(2, p) = test::Piston(7, 55 - p, 16);
    const auto image = EncodeProgramImage(model);
    ASSERT_TRUE(image.has_value()) << image.error().message;
    const auto messages = WriteProgramImage(model, 2, 1);
    ASSERT_TRUE(messages.has_value()) << messages.error().message;

    const char* addresses[] = {"00 02 00", "40 02 00", "00 03 00", "40 03 00"};
    for (std::size_t k = 0; k < kUpdateBlockCount; ++k) {
        const Bytes& m = (*messages)[k];
        ASSERT_EQ(m.size(), 89u);
        EXPECT_EQ(BytesToHex(std::span(m).first(14)),
                  "f0 00 3d 62 02 04 01 08 00 00 " + std::string(addresses[k]) + " 4a ");
        EXPECT_EQ(m.back(), 0xf7);
        test::RecordingReporter reporter;
        const auto block = std::span(*image).subspan(64 * k, 64);
        EXPECT_EQ(UnpackSevenBit(std::span(m).subspan(14, 74), reporter),
                  Bytes(block.begin(), block.end()))
            << "block " << k;
    }
    model.Piston(2, 0) = test::Piston(0, 0, 0); // channel 0 cannot be encoded: nothing is sent
    EXPECT_FALSE(WriteProgramImage(model, 2, 0).has_value());
}

} // namespace
} // namespace vtl
