// The simulated MCU chain: what reaches the PC for each message, byte for byte, what the
// MCUs store, and each fault.

#include "sim_test_support.h"

#include "model/program_update.h"
#include "sim/mcu_chain.h"
#include "sysex/messages.h"
#include "sysex/seven_bit.h"

#include <sstream>

namespace vtl {
namespace {

using test::AsHex;
using test::Hex;
using test::SampleImage;

// The identity replies of MCUs 1 to 3; MCU 3 has its own byte 21.
constexpr const char* kReply1 =
    "f0 7e 01 06 02 00 3d 62 01 00 01 00 01 00 00 00 00 00 00 00 12 00 f7";
constexpr const char* kReply2 =
    "f0 7e 02 06 02 00 3d 62 01 00 01 00 01 00 00 00 00 00 00 00 12 00 f7";
constexpr const char* kReply3 =
    "f0 7e 03 06 02 00 3d 62 01 00 01 00 01 00 00 00 00 00 00 00 13 00 f7";

// Writes a whole image into one program with four PROGRAM_UPDATE messages.
void WriteImage(McuChain& chain, std::uint8_t device, std::uint32_t programIndex,
                const Bytes& image) {
    for (std::size_t k = 0; k < 4; ++k) {
        const auto block = std::span(image).subspan(k * 64, 64);
        const auto address = static_cast<std::uint32_t>(programIndex * 256 + k * 64);
        const auto message = ProgramUpdateMessage(device, address, PackSevenBit(block));
        EXPECT_EQ(AsHex(chain.send(message)), AsHex({message})) << "block " << k;
    }
}

// A PROGRAM_RESPONSE carrying data read from address.
Bytes Response(std::uint8_t device, std::uint32_t address, std::span<const std::uint8_t> data) {
    Bytes m{0xf0, 0x00, 0x3d, 0x62, device, 0x04, 0x01, 0x04};
    const auto a = SevenBitGroups21(address);
    m.insert(m.end(), a.begin(), a.end());
    const auto packed = PackSevenBit(data);
    m.insert(m.end(), packed.begin(), packed.end());
    m.push_back(0xf7);
    return m;
}

// The four responses an MCU must send for the image at programIndex.
std::vector<Bytes> ExpectedResponses(std::uint8_t device, std::uint32_t programIndex,
                                     const Bytes& image) {
    std::vector<Bytes> responses;
    for (std::size_t k = 0; k < 4; ++k) {
        const auto address = static_cast<std::uint32_t>(programIndex * 256 + k * 64);
        responses.push_back(Response(device, address, std::span(image).subspan(k * 64, 64)));
    }
    return responses;
}

TEST(McuChain, TagCountsEveryMcu) {
    for (int n = 0; n <= McuChain::kMaxMcus; ++n) {
        McuChain chain(n);
        EXPECT_EQ(AsHex(chain.send(TagMessage(1))),
                  AsHex({TagMessage(static_cast<std::uint8_t>(1 + n))}))
            << n << " MCUs";
    }
}

TEST(McuChain, PcHearsItsOwnMessagesUnchanged) {
    const char* cases[] = {
        "f0 00 3d 62 7f 04 01 20 f7",                         // reboot all
        "f0 00 3d 62 02 04 01 20 f7",                         // reboot one
        "f0 00 3d 62 04 04 01 03 00 00 00 00 02 f7",          // request to a missing MCU
        "f0 7e 05 06 01 f7",                                  // identity of a missing MCU
        "f0 00 3d 62 01 04 01 08 00 00 00 00 00 02 01 02 f7", // update
        "f0 00 3d 62 01 04 09 09 f7",                         // unknown vendor command
        "f0 43 10 4c 00 00 7e 00 f7",                         // another maker's message
        "90 3c 40",                                           // a note
        "",                                                   // nothing at all
    };
    for (const char* text : cases) {
        McuChain chain(3);
        EXPECT_EQ(AsHex(chain.send(Hex(text))), AsHex({Hex(text)})) << text;
    }
}

TEST(McuChain, AddressedMcuAnswersIdentityRequestBehindIt) {
    const struct {
        const char* name;
        std::uint8_t device;
        std::vector<const char*> replies;
    } cases[] = {
        {"first", 1, {kReply1}},
        {"second", 2, {kReply2}},
        {"third", 3, {kReply3}},
        // Each MCU answers behind the request, so the later MCUs' replies come first.
        {"all", kAllDevices, {kReply3, kReply2, kReply1}},
    };
    for (const auto& c : cases) {
        McuChain chain(3);
        chain.setIdentityByte21(3, 0x13);
        std::vector<Bytes> expected{IdentityRequestMessage(c.device)};
        for (const char* reply : c.replies)
            expected.push_back(Hex(reply));
        EXPECT_EQ(AsHex(chain.send(IdentityRequestMessage(c.device))), AsHex(expected)) << c.name;
    }
}

TEST(McuChain, ProgramWrittenByUpdatesIsReadBackExactly) {
    for (std::uint32_t programIndex : {0u, 1u, 8191u}) {
        McuChain chain(3);
        const Bytes image = SampleImage(static_cast<int>(programIndex));
        WriteImage(chain, 2, programIndex, image);
        EXPECT_EQ(chain.program(2, programIndex), image);
        EXPECT_EQ(chain.program(1, programIndex), Bytes(256, 0xff)) << "other MCUs untouched";
        EXPECT_EQ(chain.program(2, programIndex + 1), Bytes(256, 0xff)) << "next program";

        const auto request = ProgramRequestMessage(2, programIndex);
        std::vector<Bytes> expected{request};
        for (auto& r : ExpectedResponses(2, programIndex, image))
            expected.push_back(r);
        EXPECT_EQ(AsHex(chain.send(request)), AsHex(expected)) << "program " << programIndex;
    }
}

TEST(McuChain, RequestLengthSetsTheResponses) {
    McuChain chain(1);
    const Bytes image = SampleImage(1);
    chain.storeProgram(1, 0, image);
    // 100 bytes from address 10: one response of 64 bytes and one of 36.
    const auto request = Hex("f0 00 3d 62 01 04 01 03 0a 00 00 64 00 f7");
    EXPECT_EQ(AsHex(chain.send(request)),
              AsHex({request, Response(1, 10, std::span(image).subspan(10, 64)),
                     Response(1, 74, std::span(image).subspan(74, 36))}));
}

TEST(McuChain, RebootIsCountedAndKeepsPrograms) {
    McuChain chain(3);
    chain.storeProgram(2, 0, SampleImage(2));
    chain.send(McuRebootMessage(kAllDevices));
    chain.send(McuRebootMessage(2));
    EXPECT_EQ(chain.rebootCount(1), 1);
    EXPECT_EQ(chain.rebootCount(2), 2);
    EXPECT_EQ(chain.rebootCount(3), 1);
    EXPECT_EQ(chain.program(2, 0), SampleImage(2));
}

TEST(McuChain, MalformedUpdatesAreRefused) {
    const struct {
        const char* name;
        const char* bytes;
    } cases[] = {
        {"length byte too large", "f0 00 3d 62 01 04 01 08 00 00 00 00 00 03 01 02 f7"},
        {"data byte above 127", "f0 00 3d 62 01 04 01 08 00 00 00 00 00 02 00 82 f7"},
        {"lone high-bits byte",
         "f0 00 3d 62 01 04 01 08 00 00 00 00 00 09 00 01 02 03 04 05 06 07 00 f7"},
        {"high bit of a missing byte", "f0 00 3d 62 01 04 01 08 00 00 00 00 00 02 60 02 f7"},
        {"no end byte", "f0 00 3d 62 01 04 01 08 00 00 00 00 00 02 00 02 00"},
    };
    for (const auto& c : cases) {
        McuChain chain(1);
        EXPECT_EQ(AsHex(chain.send(Hex(c.bytes))), AsHex({Hex(c.bytes)})) << c.name;
        EXPECT_EQ(chain.refusedUpdates(1), 1) << c.name;
        EXPECT_EQ(chain.program(1, 0), Bytes(256, 0xff)) << c.name;
    }
}

TEST(McuChain, PreloadStoresOneConsoleLinePerMcu) {
    const auto line = [](int seed) {
        Bytes bytes = SampleImage(seed);
        bytes.insert(bytes.end(), 4, 0x00);
        return BytesToHex(bytes);
    };
    McuChain chain(3);
    std::istringstream file("\xEF\xBB\xBF" + line(1) + "\r\n" + line(2) + "\r\n");
    ASSERT_TRUE(chain.preloadConsole(file, "two.vtl"));
    EXPECT_EQ(chain.program(1, 0), SampleImage(1));
    EXPECT_EQ(chain.program(2, 0), SampleImage(2));
    EXPECT_EQ(chain.program(3, 0), Bytes(256, 0xff));

    const struct {
        std::string text;
        const char* error;
    } bad[] = {
        {line(1) + "\n" + line(2) + "\n" + line(3) + "\n" + line(4) + "\n", "bad.vtl:4: "},
        {line(1) + "\nf0 0x\n", "bad.vtl:2: not hex text"},
        {line(1) + "00\n", "bad.vtl:1: the line holds 261 bytes"},
    };
    for (const auto& c : bad) {
        std::istringstream in(c.text);
        const auto status = chain.preloadConsole(in, "bad.vtl");
        ASSERT_FALSE(status) << c.error;
        EXPECT_EQ(status.error().message.rfind(c.error, 0), 0u) << status.error().message;
    }
}

TEST(McuChainFaults, BrokenLinkReturnsNothing) {
    McuChain chain(3);
    chain.breakLink(3);
    EXPECT_TRUE(chain.send(TagMessage(1)).empty());
    chain.breakLink(1);
    chain.send(McuRebootMessage(kAllDevices));
    EXPECT_EQ(chain.rebootCount(1), 1) << "before the break";
    EXPECT_EQ(chain.rebootCount(2), 0) << "behind the break";
    chain.repairLinks();
    EXPECT_EQ(AsHex(chain.send(TagMessage(1))), AsHex({TagMessage(4)}));
}

TEST(McuChainFaults, SilentMcuPassesMessagesButNeverAnswers) {
    McuChain chain(3);
    chain.setSilent(2, true);
    EXPECT_EQ(AsHex(chain.send(TagMessage(1))), AsHex({TagMessage(4)}));
    EXPECT_EQ(AsHex(chain.send(IdentityRequestMessage(2))), AsHex({IdentityRequestMessage(2)}));
    EXPECT_EQ(chain.send(ProgramRequestMessage(2, 0)).size(), 1u);
    WriteImage(chain, 2, 0, SampleImage(3));
    EXPECT_EQ(chain.program(2, 0), SampleImage(3)) << "still stores updates";
}

TEST(McuChainFaults, DroppedRepliesVanish) {
    McuChain chain(2);
    chain.storeProgram(1, 0, SampleImage(4));
    chain.dropReplies(1, 2);
    const auto all = ExpectedResponses(1, 0, SampleImage(4));
    EXPECT_EQ(AsHex(chain.send(ProgramRequestMessage(1, 0))),
              AsHex({ProgramRequestMessage(1, 0), all[2], all[3]}));
    EXPECT_EQ(chain.send(ProgramRequestMessage(1, 0)).size(), 5u) << "only the next two";
}

TEST(McuChainFaults, LateRepliesComeOutOfLaterTicks) {
    McuChain chain(3);
    chain.delayReplies(2, 2);
    EXPECT_EQ(AsHex(chain.send(IdentityRequestMessage(2))), AsHex({IdentityRequestMessage(2)}));
    EXPECT_TRUE(chain.tick().empty());
    EXPECT_TRUE(chain.tick().empty());
    EXPECT_EQ(AsHex(chain.tick()), AsHex({Hex(kReply2)}));
    EXPECT_TRUE(chain.tick().empty());

    // A held reply still has to pass the MCUs after its own.
    chain.send(IdentityRequestMessage(2));
    chain.breakLink(2);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(chain.tick().empty());
}

TEST(McuChainFaults, CorruptedResponseCarriesAByteAbove127) {
    McuChain chain(1);
    chain.storeProgram(1, 0, SampleImage(5));
    chain.corruptNextResponse(1);
    auto expected = ExpectedResponses(1, 0, SampleImage(5));
    const auto received = chain.send(ProgramRequestMessage(1, 0));
    ASSERT_EQ(received.size(), 5u);
    expected[0][11] |= 0x80;
    EXPECT_EQ(AsHex({received[1], received[2]}), AsHex({expected[0], expected[1]}));
    EXPECT_EQ(chain.send(ProgramRequestMessage(1, 0))[1],
              ExpectedResponses(1, 0, SampleImage(5))[0])
        << "only the next response";
}

} // namespace
} // namespace vtl
