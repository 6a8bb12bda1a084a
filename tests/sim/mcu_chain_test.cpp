// The simulated MCU chain's contract with the PC: every message comes back, the TAG counts
// the MCUs, the addressed MCU answers behind the request, updates are stored or refused,
// and each fault does what it says.

#include "model/program_image.h"
#include "sim/mcu_chain.h"
#include "sysex/messages.h"
#include "sysex/seven_bit.h"
#include "tests/hex_literal.h"

#include <sstream>

namespace vtl {
namespace {

using test::AsHex;
using test::Hex;

const Bytes kErased(256, McuChain::kErasedByte);

// 256 bytes covering both halves of the byte range, none of them FF.
Bytes SampleImage(int seed) {
    Bytes image(256);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>((i * 37 + static_cast<std::size_t>(seed) * 11) % 255);
    return image;
}

// The request and the four responses the PC hears when it reads a program.
std::vector<Bytes> ProgramRead(std::uint8_t device, std::uint32_t programIndex,
                               const Bytes& image) {
    std::vector<Bytes> heard{ProgramRequestMessage(device, programIndex)};
    for (std::uint32_t k = 0; k < 4; ++k) {
        heard.push_back(ProgramResponseMessage(device, programIndex * 256 + k * 64,
                                               std::span(image).subspan(k * 64, 64)));
    }
    return heard;
}

TEST(McuChain, TagCountsTheMcusAndAddressedMcusAnswerBehindTheRequest) {
    for (int n = 0; n <= McuChain::kMaxMcus; ++n) {
        McuChain chain(n);
        EXPECT_EQ(AsHex(chain.Send(TagMessage(1))),
                  AsHex({TagMessage(static_cast<std::uint8_t>(1 + n))}));
    }
    const char* unanswered[] = {
        "f0 00 3d 62 04 04 01 03 00 00 00 00 02 f7", // a request to a missing MCU
        "f0 00 3d 62 01 04 09 09 f7",                // an unknown vendor command
        "90 3c 40",                                  // a note
    };
    McuChain chain(3);
    for (const char* text : unanswered)
        EXPECT_EQ(AsHex(chain.Send(Hex(text))), AsHex({Hex(text)})) << text;

    // Each MCU answers behind the request, so the later MCUs' replies come first.
    chain.SetIdentityByte21(3, 0x13);
    EXPECT_EQ(AsHex(chain.Send(IdentityRequestMessage(2))),
              AsHex({IdentityRequestMessage(2), IdentityReplyMessage(2, 0x12)}));
    EXPECT_EQ(AsHex(chain.Send(IdentityRequestMessage(kAllDevices))),
              AsHex({IdentityRequestMessage(kAllDevices), IdentityReplyMessage(3, 0x13),
                     IdentityReplyMessage(2, 0x12), IdentityReplyMessage(1, 0x12)}));
}

TEST(McuChain, UpdatesAreStoredOrRefusedAndReadBack) {
    for (std::uint32_t programIndex : {0u, 8191u}) {
        McuChain chain(3);
        const Bytes image = SampleImage(static_cast<int>(programIndex));
        for (std::uint32_t k = 0; k < 4; ++k) {
            const auto update = ProgramUpdateMessage(
                2, programIndex * 256 + k * 64, PackSevenBit(std::span(image).subspan(k * 64, 64)));
            EXPECT_EQ(AsHex(chain.Send(update)), AsHex({update}));
        }
        EXPECT_EQ(chain.Program(2, programIndex), image);
        EXPECT_EQ(chain.Program(1, programIndex), kErased) << "other MCUs untouched";
        EXPECT_EQ(chain.Program(2, programIndex + 1), kErased) << "next program untouched";
        EXPECT_EQ(AsHex(chain.Send(ProgramRequestMessage(2, programIndex))),
                  AsHex(ProgramRead(2, programIndex, image)));
    }
    // A request's length sets the responses: 100 bytes from 10 are one of 64 and one of 36.
    McuChain chain(1);
    const Bytes image = SampleImage(1);
    chain.StoreProgram(1, 0, image);
    const auto request = Hex("f0 00 3d 62 01 04 01 03 0a 00 00 64 00 f7");
    EXPECT_EQ(AsHex(chain.Send(request)),
              AsHex({request, ProgramResponseMessage(1, 10, std::span(image).subspan(10, 64)),
                     ProgramResponseMessage(1, 74, std::span(image).subspan(74, 36))}));

    // Malformed updates pass on but are refused.
    const char* updates[] = {
        "f0 00 3d 62 01 04 01 08 00 00 00 00 00 03 01 02 f7", // length byte too large
        "f0 00 3d 62 01 04 01 08 00 00 00 00 00 02 00 82 f7", // data byte above 127
        "f0 00 3d 62 01 04 01 08 00 00 00 00 00 02 60 02 f7", // high bit of a missing byte
        "f0 00 3d 62 01 04 01 08 00 00 00 00 00 02 00 02 00", // no end byte
    };
    for (const char* update : updates)
        EXPECT_EQ(AsHex(chain.Send(Hex(update))), AsHex({Hex(update)})) << update;
    EXPECT_EQ(chain.RefusedUpdates(1), 4);
    EXPECT_EQ(chain.Program(1, 0), image);
}

TEST(McuChain, PreloadStoresOneConsoleLinePerMcu) {
    const auto line = [](int seed) { return BytesToHex(SampleImage(seed)) + "00 00 00 00\r\n"; };
    McuChain chain(2);
    std::istringstream file("\xEF\xBB\xBF" + line(1) + line(2));
    ASSERT_TRUE(chain.PreloadConsole(file, "two.vtl"));
    EXPECT_EQ(chain.Program(1, 0), SampleImage(1));
    EXPECT_EQ(chain.Program(2, 0), SampleImage(2));
}

TEST(McuChain, FaultsBreakTheChainsContractAsTheySay) {
    McuChain chain(3);
    const Bytes image = SampleImage(3);
    chain.StoreProgram(1, 0, image);
    const auto read = ProgramRead(1, 0, image);

    chain.SetSilent(3, true); // passes messages on, never answers
    EXPECT_EQ(AsHex(chain.Send(IdentityRequestMessage(3))), AsHex({IdentityRequestMessage(3)}));
    EXPECT_EQ(AsHex(chain.Send(TagMessage(1))), AsHex({TagMessage(4)}));

    chain.DropReplies(1, 2); // only the next two vanish
    EXPECT_EQ(AsHex(chain.Send(ProgramRequestMessage(1, 0))), AsHex({read[0], read[3], read[4]}));
    EXPECT_EQ(AsHex(chain.Send(ProgramRequestMessage(1, 0))), AsHex(read));

    chain.CorruptNextResponse(1); // only the next response
    Bytes corrupted = read[1];
    corrupted[field::kResponseData] |= 0x80;
    EXPECT_EQ(AsHex(chain.Send(ProgramRequestMessage(1, 0))),
              AsHex({read[0], corrupted, read[2], read[3], read[4]}));
    EXPECT_EQ(AsHex(chain.Send(ProgramRequestMessage(1, 0))), AsHex(read));

    chain.DelayReplies(2, 2); // two whole ticks later
    EXPECT_EQ(AsHex(chain.Send(IdentityRequestMessage(2))), AsHex({IdentityRequestMessage(2)}));
    EXPECT_TRUE(chain.Tick().empty());
    EXPECT_TRUE(chain.Tick().empty());
    EXPECT_EQ(AsHex(chain.Tick()), AsHex({IdentityReplyMessage(2, 0x12)}));
    chain.Send(IdentityRequestMessage(2)); // a held reply still passes the MCUs after its own
    chain.BreakLink(2);
    for (int tick = 0; tick < 3; ++tick)
        EXPECT_TRUE(chain.Tick().empty());

    // A broken link loses what reaches it; the MCUs before it still act.
    chain.BreakLink(1);
    EXPECT_TRUE(chain.Send(McuRebootMessage(kAllDevices)).empty());
    EXPECT_EQ(chain.RebootCount(1), 1) << "before the break";
    EXPECT_EQ(chain.RebootCount(2), 0) << "behind the break";
    chain.RepairLinks();
    EXPECT_EQ(AsHex(chain.Send(TagMessage(1))), AsHex({TagMessage(4)}));
}

// Played like a console: each step sends what its MCU's program 0 says, or nothing and why.
TEST(McuChain, PlaysWhatItsConfigurationSays) {
    McuChain chain(3);
    ASSERT_TRUE(chain.PreloadConsoleFile(VTL_SAMPLES_DIR "/three-manuals.vtl"));
    const struct {
        const char* line;
        const char* heard; // the messages reaching the PC, or the error's start
    } cases[] = {
        {"key 1 60 on", "90 3c 64 93 3c 64 "},
        {"  key 2 60 off  ", "81 3c 00 84 3c 00 85 3c 00 86 3c 00 87 3c 00 "},
        {"key 3 36 on 20", "92 24 14 9c 24 14 9d 24 14 9e 24 14 "},
        {"piston 2 15", "cf 0b "},
        {"shoe 2 127", "b1 07 7f "},
        {"shoe 1 0", "b0 0b 00 "},
        {"wait 100", ""},
        {"# a comment", ""},
        {"piston 1 1", "piston 1 of manual 1 sends no program change"},
        {"shoe 3 5", "the shoe of manual 3 is disabled"},
        {"key 4 60 on", "expected key M NOTE"},
        {"key 1 128 on", "expected key M NOTE"},
        {"key 1 60 up", "expected key M NOTE"},
        {"piston 1 21", "expected key M NOTE"},
        {"wait", "expected key M NOTE"},
    };
    for (const auto& c : cases) {
        const auto step = ParsePlayStep(c.line);
        const auto heard = step ? chain.Play(*step) : Expected<std::vector<Bytes>>(step.error());
        std::string text;
        if (heard) {
            for (const Bytes& message : *heard)
                text += BytesToHex(message);
        }
        EXPECT_TRUE((heard ? text : heard.error().message).starts_with(c.heard)) << c.line;
        EXPECT_EQ(heard.has_value(), text == c.heard) << c.line;
    }

    // After a write, the written configuration plays; a broken cable back to the PC loses it.
    ConsoleModel written;
    written.currentManual = 1;
    written.Channels(1) = 0x100;
    const auto image = EncodeProgramImage(written);
    ASSERT_TRUE(image);
    chain.StoreProgram(1, 0, *image);
    EXPECT_EQ(AsHex(*chain.Play(*ParsePlayStep("key 1 60 on"))), AsHex({Hex("98 3c 64")}));
    chain.BreakLink(3);
    EXPECT_TRUE(chain.Play(*ParsePlayStep("key 1 60 on"))->empty());
}

} // namespace
} // namespace vtl
