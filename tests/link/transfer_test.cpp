// The transfer state machine against a simulated MCU chain: the messages on the wire, the
// model and the MCU memory afterwards, the progress texts, the repeats and the pacing.

#include "link/transfer.h"

#include "model/config_file.h"
#include "model/program_image.h"
#include "model/program_update.h"
#include "sim_link.h"
#include "sysex/hex.h"
#include "sysex/messages.h"
#include "tests/core/core_test_support.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace vtl {
namespace {

using test::ExpectSameManual;
using test::SimLink;
using Strings = std::vector<std::string>;

const std::string kBreak = "\r\n";
const std::string kHint62 = "Check your MIDI connections, make sure your VTLConfig is on and the "
                            "output of your MIDI device chain is connected to the MIDI-IN of your "
                            "PC.\r\nRetrying...";
const std::string kHint40 =
    "Check your MIDI connections and make sure that your VTLConfig is turned on!\r\nRetrying...";
// Enough for any transfer here; a run that needs more has hung.
constexpr long kTickLimit = 2000;
// The window stays for 2.1 s of running timer after the completion text.
constexpr long kFinishingTicks = 21;
// While writing, 600 ms pass after each message before anything else happens.
constexpr long kWritePause = 6;

ConsoleModel SampleConsole() {
    ConsoleModel model;
    const auto loaded = LoadConfigFile(model, VTL_SAMPLES_DIR "/three-manuals.vtl");
    EXPECT_TRUE(loaded) << loaded.error().message;
    return model;
}

// Manual m of the model as an MCU with the simulator's identity is written.
ConsoleModel AtManual(ConsoleModel model, int m) {
    model.currentManual = static_cast<std::int16_t>(m);
    model.identityByte21 = McuChain::kDefaultIdentityByte21;
    return model;
}

// The image manual m of the model encodes to, as that MCU stores it.
Bytes EncodedImage(const ConsoleModel& model, int m) {
    const auto image = EncodeProgramImage(AtManual(model, m));
    EXPECT_TRUE(image) << image.error().message;
    return image ? Bytes(image->begin(), image->begin() + kImageSize) : Bytes{};
}

void Preload(McuChain& chain, const ConsoleModel& model, int manuals) {
    for (int m = 1; m <= manuals; ++m)
        chain.storeProgram(m, 0, EncodedImage(model, m));
}

// Messages written as words, as hex text: "T" the TAG with value 01, "B7f" / "Bn" MCU_REBOOT
// to every MCU / to device n, "In" the identity request, "Rn" the PROGRAM_REQUEST and "Un"
// the four PROGRAM_UPDATE messages of manual n of the model, in that order.
Strings Wire(const std::string& words, const ConsoleModel& model = {}) {
    std::map<std::string, std::vector<Bytes>> meaning{{"T", {TagMessage(1)}},
                                                      {"B7f", {McuRebootMessage(kAllDevices)}}};
    for (std::uint8_t d = 1; d <= kMaxManuals; ++d) {
        const std::string n = std::to_string(d);
        meaning["B" + n] = {McuRebootMessage(d)};
        meaning["I" + n] = {IdentityRequestMessage(d)};
        meaning["R" + n] = {ProgramRequestMessage(d, 0)};
        const auto updates = WriteProgramImage(AtManual(model, d), d, 0);
        EXPECT_TRUE(updates) << "manual " << n;
        if (updates) meaning["U" + n].assign(updates->begin(), updates->end());
    }
    Strings hex;
    std::istringstream in(words);
    for (std::string w; in >> w;) {
        EXPECT_TRUE(meaning.contains(w)) << "unknown word " << w;
        for (const auto& m : meaning[w])
            hex.push_back(BytesToHex(m));
    }
    return hex;
}

Strings SentHex(const SimLink& link) {
    Strings hex;
    for (const auto& r : link.Sent())
        hex.push_back(BytesToHex(r.message));
    return hex;
}

// The status window went away 2.1 s of running timer after the completion text.
void ExpectWindowHiddenAfterFinishing(const SimLink& link) {
    EXPECT_FALSE(link.status.visible);
    ASSERT_GE(link.finishedTick, 0);
    ASSERT_GE(link.hiddenTick, 0);
    EXPECT_EQ(link.RunningTicks(link.finishedTick, link.hiddenTick), kFinishingTicks);
}

// A request is queued again only once its previous copy has left: between two sends of the
// same request lies a tick that queues it (a repeat, state 1, or the start).
void ExpectNoCopyQueuedWhileOneWaits(const SimLink& link) {
    std::vector<long> queueing = link.status.TicksOf(true, ".");
    queueing.insert(queueing.end(), link.identifyTicks.begin(), link.identifyTicks.end());
    queueing.push_back(0);
    std::map<Bytes, long> lastSent;
    for (const auto& r : link.Sent()) {
        const auto kind = Recognise(r.message);
        if (kind != MessageKind::Tag && kind != MessageKind::IdentityRequest) continue;
        const auto last = lastSent.find(r.message);
        if (last != lastSent.end()) {
            const bool queuedBetween = std::any_of(queueing.begin(), queueing.end(), [&](long t) {
                return t > last->second && t <= r.tick;
            });
            EXPECT_TRUE(queuedBetween)
                << BytesToHex(r.message) << " sent on ticks " << last->second << " and " << r.tick;
        }
        lastSent[r.message] = r.tick;
    }
}

// While writing, the identity request of manual m went out and its reply came back before
// the first of its data.
void ExpectIdentifiedBeforeData(const SimLink& link, int m) {
    const auto device = static_cast<std::uint8_t>(m);
    const auto& records = link.traffic.records;
    const auto firstUpdate = std::find_if(records.begin(), records.end(), [&](auto& r) {
        return Recognise(r.message) == MessageKind::ProgramUpdate && r.message[4] == device;
    });
    const auto request = std::find_if(records.begin(), firstUpdate, [&](auto& r) {
        return r.direction == TrafficListener::Direction::Sent &&
               r.message == IdentityRequestMessage(device);
    });
    ASSERT_NE(request, firstUpdate) << "no identity request before the data of manual " << m;
    const auto reply = std::find_if(request, firstUpdate, [&](auto& r) {
        return Recognise(r.message) == MessageKind::IdentityReply && r.message[2] == device;
    });
    EXPECT_NE(reply, firstUpdate) << "no identity reply before the data of manual " << m;
}

TEST(Transfer, ReadLoadsEveryManualOfTheChain) {
    // A repeat falling due while an identity request waits for its turn adds a TAG.
    const char* wires[] = {"B7f T T I1 T R1 B1", "B7f T T I1 T R1 B1 T I2 T R2 B2",
                           "B7f T T I1 T R1 B1 T I2 T R2 B2 T I3 R3 B3"};
    const ConsoleModel console = SampleConsole();
    for (int manuals = 1; manuals <= kMaxManuals; ++manuals) {
        SCOPED_TRACE(std::to_string(manuals) + " manuals");
        SimLink link(manuals);
        Preload(link.chain, console, manuals);
        link.transfer.StartRead();
        ASSERT_TRUE(link.RunToEnd(kTickLimit));

        EXPECT_EQ(SentHex(link), Wire(wires[manuals - 1]));
        EXPECT_EQ(link.model.manualCount, manuals);
        EXPECT_EQ(link.model.identityByte21, McuChain::kDefaultIdentityByte21);
        for (int m = 1; m <= manuals; ++m) {
            ExpectSameManual(console, link.model, m);
            EXPECT_EQ(link.chain.rebootCount(m), 2); // all, then its own
        }

        EXPECT_EQ(link.status.caption, "Loading Program Data from VTL");
        EXPECT_EQ(link.status.text, "Requesting VTLConfig Program Data.." + kBreak + "Done!" +
                                        kBreak + "VTLConfig Configuration data loaded!" + kBreak +
                                        "Ready.");
        const auto counted = kBreak + "Number of manuals detected = " + std::to_string(manuals);
        EXPECT_EQ(link.status.TicksOf(true, counted).size(), 1u);
        EXPECT_EQ(link.view.readingShown, 1);
        EXPECT_EQ(link.view.manualsShown, 1);
        EXPECT_EQ(link.view.dataLoaded, manuals + 1); // each decoded manual, then the end
        EXPECT_TRUE(link.host.messages.empty());
        ExpectWindowHiddenAfterFinishing(link);
    }
}

TEST(Transfer, WriteStoresTheEncodedImages) {
    const char* wires[] = {"T I1 T U1 B1", "T I1 T U1 B1 T I2 T U2 B2",
                           "T I1 T U1 B1 T I2 T U2 B2 T I3 U3 B3"};
    for (int manuals = 1; manuals <= kMaxManuals; ++manuals) {
        SCOPED_TRACE(std::to_string(manuals) + " manuals");
        ConsoleModel console = SampleConsole();
        console.manualCount = static_cast<std::int16_t>(manuals);
        SimLink link(manuals);
        link.model = console;
        link.transfer.StartWrite();
        ASSERT_TRUE(link.RunToEnd(kTickLimit));

        EXPECT_EQ(SentHex(link), Wire(wires[manuals - 1], console));
        for (int m = 1; m <= manuals; ++m) {
            SCOPED_TRACE("MCU " + std::to_string(m));
            EXPECT_EQ(BytesToHex(link.chain.program(m, 0)), BytesToHex(EncodedImage(console, m)));
            EXPECT_EQ(link.chain.rebootCount(m), 1);
            EXPECT_EQ(link.chain.refusedUpdates(m), 0);
        }
        EXPECT_EQ(link.model.currentManual, manuals + 1);

        EXPECT_EQ(link.status.caption, "Writing Program Data to VTL");
        const std::string ending = "VTLConfig Configuration received!" + kBreak +
                                   "Writing Program Data to VTL..." + kBreak +
                                   "VTLConfig Writing..." + kBreak + kBreak + "Done!";
        EXPECT_TRUE(link.status.text.ends_with(ending)) << link.status.text;
        EXPECT_EQ(link.status.TicksOf(true, kBreak + "Done!").size(), 1u);
        EXPECT_EQ(link.view.dataLoaded, 1);
        EXPECT_EQ(link.view.manualsShown, 0);
        EXPECT_TRUE(link.host.messages.empty());
        ExpectWindowHiddenAfterFinishing(link);
    }
}

TEST(Transfer, UnansweredRequestsRepeatEverySecondWithConnectionHints) {
    using Fault = void (*)(McuChain&);
    const Fault cableOut = [](McuChain& c) { c.breakLink(0); };
    const Fault cableBack = [](McuChain& c) { c.breakLink(2); };
    const Fault firstMcuSilent = [](McuChain& c) { c.setSilent(1, true); };
    const struct {
        const char* name;
        bool write;
        Fault fault;
        LinkState state;
        const std::string& hint;
    } cases[] = {
        {"read, nothing reaches the chain", false, cableOut, LinkState::Counting, kHint62},
        {"read, nothing comes back", false, cableBack, LinkState::Counting, kHint62},
        {"read, first MCU silent", false, firstMcuSilent, LinkState::AwaitIdentity, kHint40},
        {"write, nothing comes back", true, cableBack, LinkState::AwaitIdentity, kHint40},
        {"write, first MCU silent", true, firstMcuSilent, LinkState::AwaitIdentity, kHint40},
    };
    constexpr long kRepeatTicks = 10;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimLink link(2);
        link.model = SampleConsole();
        c.fault(link.chain);
        c.write ? link.transfer.StartWrite() : link.transfer.StartRead();
        link.Run(400);
        EXPECT_EQ(link.transfer.linkState(), c.state);

        // A dot for every second of running timer.
        const auto dots = link.status.TicksOf(true, ".");
        ASSERT_GE(dots.size(), 15u);
        EXPECT_EQ(link.RunningTicks(0, dots[0]), kRepeatTicks);
        for (std::size_t i = 1; i < dots.size(); ++i) {
            EXPECT_EQ(link.RunningTicks(dots[i - 1], dots[i]), kRepeatTicks) << "dot " << i;
        }
        // Every fifth repeat replaces the text with the hint, and nothing else does.
        std::vector<long> expectedHints;
        for (std::size_t i = 4; i < dots.size(); i += 5)
            expectedHints.push_back(dots[i]);
        EXPECT_EQ(link.status.TicksOf(false, c.hint), expectedHints);
        const auto dotsSince = dots.size() - expectedHints.size() * 5;
        EXPECT_EQ(link.status.text, c.hint + std::string(dotsSince, '.'));

        ExpectNoCopyQueuedWhileOneWaits(link);
        EXPECT_TRUE(link.host.messages.empty());
    }
}

TEST(Transfer, InvalidManualCountKeepsCounting) {
    for (const int mcus : {0, 4}) {
        SCOPED_TRACE(std::to_string(mcus) + " MCUs");
        SimLink link(mcus);
        link.transfer.StartRead();
        link.Run(100);
        EXPECT_EQ(link.transfer.linkState(), LinkState::Counting);
        EXPECT_EQ(link.model.manualCount, mcus);
        std::size_t tagsBack = 0;
        for (const auto& r : link.Traffic(TrafficListener::Direction::Received)) {
            if (r.message == TagMessage(static_cast<std::uint8_t>(1 + mcus))) ++tagsBack;
        }
        EXPECT_GE(tagsBack, 2u); // the TAG goes out again
        EXPECT_EQ(link.status.TicksOf(true, kBreak + "Invalid number of manuals detected!").size(),
                  tagsBack);
        EXPECT_EQ(link.status.text.find("Number of manuals detected"), std::string::npos);
    }
}

TEST(Transfer, ClosingTheStatusWindowStopsTheRepeats) {
    for (const bool write : {false, true}) {
        for (const bool closeButton : {false, true}) { // Close also closes the input
            SCOPED_TRACE(std::string(write ? "write" : "read") + (closeButton ? ", Close" : ""));
            SimLink link(1);
            link.model = SampleConsole();
            write ? link.chain.setSilent(1, true) : link.chain.breakLink(1);
            write ? link.transfer.StartWrite() : link.transfer.StartRead();
            link.Run(30);
            while (!link.queue.empty() || link.transfer.pausing())
                link.Tick();
            const LinkState state = link.transfer.linkState();
            if (closeButton) link.transfer.CloseInput();
            closeButton ? link.status.unload() : link.status.hide();
            const auto sent = link.Sent().size();
            const auto changes = link.status.changes.size();
            link.Run(300);
            EXPECT_EQ(link.Sent().size(), sent);
            EXPECT_EQ(link.status.changes.size(), changes);
            EXPECT_EQ(link.transfer.linkState(), state);
            EXPECT_EQ(link.queue.linkReady(), !closeButton);
        }
    }
}

TEST(Transfer, WriteWithoutManualCountStillWritesManualOne) {
    ConsoleModel console = SampleConsole();
    console.manualCount = 0;
    SimLink link(3);
    link.model = console;
    link.transfer.StartWrite();
    ASSERT_TRUE(link.RunToEnd(kTickLimit));
    EXPECT_EQ(SentHex(link), Wire("T I1 T U1 B1", console));
    EXPECT_EQ(link.chain.program(1, 0), EncodedImage(console, 1));
    EXPECT_EQ(link.chain.program(2, 0), Bytes(kImageSize, McuChain::kErasedByte));
    EXPECT_TRUE(link.status.text.ends_with("Done!"));
}

TEST(Transfer, ResponseByteAbove127IsReported) {
    const ConsoleModel console = SampleConsole();
    SimLink link(1);
    Preload(link.chain, console, 1);
    link.chain.corruptNextResponse(1);
    link.transfer.StartRead();
    link.Run(200);

    const Bytes image = link.chain.program(1, 0);
    Bytes packed = PackSevenBit(std::span(image).first(64));
    packed[0] |= 0x80;
    EXPECT_EQ(link.host.messages, Strings{"Error in conversion at pos 1: " + BytesToHex(packed)});
    // The skipped byte leaves the image one byte short: the read waits for more.
    EXPECT_EQ(link.transfer.linkState(), LinkState::AwaitMoreResponses);
    EXPECT_EQ(link.view.manualsShown, 0);
}

// Whatever the chain's timing, every manual arrives whole, each is identified before its data
// is written, and the messages keep their pacing.
TEST(Transfer, FaultyChainStillTransfersEverythingAtItsPace) {
    const struct {
        const char* name;
        int mcu; // 0: every MCU, -1: the last
        int lateTicks, lostReplies;
    } faults[] = {
        {"none", 0, 0, 0},
        {"replies late within the pause", 0, 3, 0},
        {"replies late beyond the pause", 0, 8, 0},
        {"first MCU answers after a second", 1, 12, 0},
        {"last MCU answers after a second", -1, 12, 0},
        {"each MCU loses its first reply", 0, 0, 1},
        {"last MCU loses two replies", -1, 0, 2},
    };
    const ConsoleModel console = SampleConsole();
    for (const bool write : {false, true}) {
        for (int manuals = 1; manuals <= kMaxManuals; ++manuals) {
            for (const auto& fault : faults) {
                SCOPED_TRACE(std::string(write ? "write" : "read") + ", " +
                             std::to_string(manuals) + " manuals, faults: " + fault.name);
                SimLink link(manuals);
                Preload(link.chain, console, manuals);
                for (int m = 1; m <= manuals; ++m) {
                    if (fault.mcu == 0 || fault.mcu == m || (fault.mcu < 0 && m == manuals)) {
                        link.chain.delayReplies(m, fault.lateTicks);
                        link.chain.dropReplies(m, fault.lostReplies);
                    }
                }
                link.model = console;
                link.model.manualCount = static_cast<std::int16_t>(manuals);
                write ? link.transfer.StartWrite() : link.transfer.StartRead();
                ASSERT_TRUE(link.RunToEnd(kTickLimit));

                const long minimumGap = write ? 10 : 4;
                const auto sent = link.Sent();
                for (std::size_t i = 1; i < sent.size(); ++i) {
                    EXPECT_GE(sent[i].tick - sent[i - 1].tick, minimumGap)
                        << "message " << i << ": " << BytesToHex(sent[i].message);
                }
                // While writing, what arrives is taken only after the pause behind the
                // message sent last.
                long lastSent = -kWritePause;
                for (const auto& r : link.traffic.records) {
                    if (r.direction == TrafficListener::Direction::Sent) {
                        lastSent = r.tick;
                    } else if (write) {
                        EXPECT_GE(r.tick - lastSent, kWritePause) << BytesToHex(r.message);
                    }
                }
                ExpectNoCopyQueuedWhileOneWaits(link);
                EXPECT_EQ(link.model.manualCount, manuals);
                for (int m = 1; m <= manuals; ++m) {
                    if (write) {
                        EXPECT_EQ(link.chain.program(m, 0), EncodedImage(console, m)) << m;
                        ExpectIdentifiedBeforeData(link, m);
                    } else {
                        ExpectSameManual(console, link.model, m);
                    }
                }
            }
        }
    }
}

} // namespace
} // namespace vtl
