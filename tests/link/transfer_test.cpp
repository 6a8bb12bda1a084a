// The transfer state machine against a simulated MCU chain: the messages on the wire, the
// model and the MCU memory afterwards, the progress texts, the repeats and the pacing.

#include "link/transfer.h"

#include "link/hex.h"
#include "link/messages.h"
#include "model/config_file.h"
#include "model/program_image.h"
#include "model/program_update.h"
#include "sim_link.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace vtl {
namespace {

using test::SimLink;
using test::TrafficRecord;
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

// The image manual m of the model encodes to, as an MCU with the simulator's identity
// stores it.
Bytes EncodedImage(ConsoleModel model, int m) {
    model.currentManual = static_cast<std::int16_t>(m);
    model.identityByte21 = McuChain::kDefaultIdentityByte21;
    const auto image = EncodeProgramImage(model);
    EXPECT_TRUE(image) << image.error().message;
    return image ? Bytes(image->begin(), image->begin() + kImageSize) : Bytes{};
}

void Preload(McuChain& chain, const ConsoleModel& model, int manuals) {
    for (int m = 1; m <= manuals; ++m)
        chain.storeProgram(m, 0, EncodedImage(model, m));
}

// Messages written as words: "T" the TAG with value 01, "B7f" / "Bn" MCU_REBOOT to every
// MCU / to device n, "In" the identity request, "Rn" the PROGRAM_REQUEST and "Un" the four
// PROGRAM_UPDATE messages of manual n of the model, in that order.
std::vector<Bytes> Wire(const std::string& words, const ConsoleModel& model = {}) {
    std::vector<Bytes> messages;
    std::istringstream in(words);
    for (std::string w; in >> w;) {
        const auto device = static_cast<std::uint8_t>(w == "B7f" ? kAllDevices : w[1] - '0');
        switch (w[0]) {
        case 'T':
            messages.push_back(TagMessage(1));
            break;
        case 'B':
            messages.push_back(McuRebootMessage(device));
            break;
        case 'I':
            messages.push_back(IdentityRequestMessage(device));
            break;
        case 'R':
            messages.push_back(ProgramRequestMessage(device, 0));
            break;
        case 'U': {
            ConsoleModel m = model;
            m.currentManual = device;
            m.identityByte21 = McuChain::kDefaultIdentityByte21;
            const auto updates = WriteProgramImage(m, device, 0);
            EXPECT_TRUE(updates);
            if (updates)
                messages.insert(messages.end(), updates->begin(), updates->end());
            break;
        }
        default:
            ADD_FAILURE() << "unknown word " << w;
        }
    }
    return messages;
}

Strings AsHex(const std::vector<Bytes>& messages) {
    Strings text;
    for (const auto& m : messages)
        text.push_back(BytesToHex(m));
    return text;
}

Strings AsHex(const std::vector<TrafficRecord>& records) {
    Strings text;
    for (const auto& r : records)
        text.push_back(BytesToHex(r.message));
    return text;
}

void ExpectSameManual(const ConsoleModel& expected, const ConsoleModel& actual, int m) {
    SCOPED_TRACE("manual " + std::to_string(m));
    EXPECT_EQ(expected.channels(m), actual.channels(m));
    const auto& es = expected.shoe(m);
    const auto& as = actual.shoe(m);
    EXPECT_EQ(std::tuple(es.expressionOn, es.volumeControl, es.midiChannel),
              std::tuple(as.expressionOn, as.volumeControl, as.midiChannel));
    for (int p = 0; p < kPistonsPerManual; ++p) {
        const auto& e = expected.piston(m, p);
        const auto& a = actual.piston(m, p);
        EXPECT_EQ(std::tuple(e.functionGroup, e.functionType, e.midiChannel, e.programNumber),
                  std::tuple(a.functionGroup, a.functionType, a.midiChannel, a.programNumber))
            << "piston " << p;
    }
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
        if (kind != MessageKind::Tag && kind != MessageKind::IdentityRequest)
            continue;
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

TEST(Transfer, ReadLoadsEveryManualOfTheChain) {
    struct Case {
        int manuals;
        const char* wire;
    };
    // A repeat falling due while an identity request waits for its turn adds a TAG.
    const Case cases[] = {
        {1, "B7f T T I1 T R1 B1"},
        {2, "B7f T T I1 T R1 B1 T I2 T R2 B2"},
        {3, "B7f T T I1 T R1 B1 T I2 T R2 B2 T I3 R3 B3"},
    };
    const ConsoleModel console = SampleConsole();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.manuals) + " manuals");
        SimLink link(c.manuals);
        Preload(link.chain, console, c.manuals);
        link.transfer.StartRead();
        ASSERT_TRUE(link.RunToEnd(kTickLimit));

        EXPECT_EQ(AsHex(link.Sent()), AsHex(Wire(c.wire)));
        EXPECT_EQ(link.model.manualCount, c.manuals);
        EXPECT_EQ(link.model.identityByte21, McuChain::kDefaultIdentityByte21);
        for (int m = 1; m <= c.manuals; ++m) {
            ExpectSameManual(console, link.model, m);
            EXPECT_EQ(link.chain.rebootCount(m), 2); // all, then its own
        }

        EXPECT_EQ(link.status.caption, "Loading Program Data from VTL");
        EXPECT_EQ(link.status.text, "Requesting VTLConfig Program Data.." + kBreak + "Done!" +
                                        kBreak + "VTLConfig Configuration data loaded!" + kBreak +
                                        "Ready.");
        const auto counted = kBreak + "Number of manuals detected = " + std::to_string(c.manuals);
        EXPECT_EQ(link.status.TicksOf(true, counted).size(), 1u);
        EXPECT_EQ(link.view.readingShown, 1);
        EXPECT_EQ(link.view.manualsShown, 1);
        EXPECT_EQ(link.view.dataLoaded, c.manuals + 1); // each decoded manual, then the end
        EXPECT_TRUE(link.host.messages.empty());
        ExpectWindowHiddenAfterFinishing(link);
    }
}

TEST(Transfer, WriteStoresTheEncodedImages) {
    struct Case {
        int manuals;
        const char* wire;
    };
    const Case cases[] = {
        {1, "T I1 T U1 B1"},
        {2, "T I1 T U1 B1 T I2 T U2 B2"},
        {3, "T I1 T U1 B1 T I2 T U2 B2 T I3 U3 B3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.manuals) + " manuals");
        ConsoleModel console = SampleConsole();
        console.manualCount = static_cast<std::int16_t>(c.manuals);
        SimLink link(c.manuals);
        link.model = console;
        link.transfer.StartWrite();
        ASSERT_TRUE(link.RunToEnd(kTickLimit));

        EXPECT_EQ(AsHex(link.Sent()), AsHex(Wire(c.wire, console)));
        for (int m = 1; m <= c.manuals; ++m) {
            SCOPED_TRACE("MCU " + std::to_string(m));
            EXPECT_EQ(BytesToHex(link.chain.program(m, 0)), BytesToHex(EncodedImage(console, m)));
            EXPECT_EQ(link.chain.rebootCount(m), 1);
            EXPECT_EQ(link.chain.refusedUpdates(m), 0);
        }
        EXPECT_EQ(link.model.currentManual, c.manuals + 1);

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
    enum class Fault { BrokenCableOut, BrokenCableBack, FirstMcuSilent };
    struct Case {
        const char* name;
        bool write;
        Fault fault;
        int state;
        const std::string& hint;
    };
    const Case cases[] = {
        {"read, nothing reaches the chain", false, Fault::BrokenCableOut, kCounting, kHint62},
        {"read, nothing comes back", false, Fault::BrokenCableBack, kCounting, kHint62},
        {"read, first MCU silent", false, Fault::FirstMcuSilent, kAwaitIdentity, kHint40},
        {"write, nothing comes back", true, Fault::BrokenCableBack, kAwaitIdentity, kHint40},
        {"write, first MCU silent", true, Fault::FirstMcuSilent, kAwaitIdentity, kHint40},
    };
    constexpr long kRepeatTicks = 10;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimLink link(2);
        link.model = SampleConsole();
        switch (c.fault) {
        case Fault::BrokenCableOut:
            link.chain.breakLink(0);
            break;
        case Fault::BrokenCableBack:
            link.chain.breakLink(2);
            break;
        case Fault::FirstMcuSilent:
            link.chain.setSilent(1, true);
            break;
        }
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
        const auto lastHint = std::find_if(link.status.changes.rbegin(), link.status.changes.rend(),
                                           [](const auto& change) { return !change.appended; });
        ASSERT_NE(lastHint, link.status.changes.rend());
        EXPECT_EQ(lastHint->text, c.hint);
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
        EXPECT_EQ(link.transfer.linkState(), kCounting);
        EXPECT_EQ(link.model.manualCount, mcus);
        std::size_t tagsBack = 0;
        for (const auto& r : link.Received()) {
            if (r.message == TagMessage(static_cast<std::uint8_t>(1 + mcus)))
                ++tagsBack;
        }
        EXPECT_GE(tagsBack, 2u); // the TAG goes out again
        EXPECT_EQ(link.status.TicksOf(true, kBreak + "Invalid number of manuals detected!").size(),
                  tagsBack);
        EXPECT_EQ(link.status.text.find("Number of manuals detected"), std::string::npos);
    }
}

TEST(Transfer, ClosingTheStatusWindowStopsTheRepeats) {
    struct Case {
        const char* name;
        bool write;
        bool closeButton; // the Close button also closes the input; else only hidden
    };
    const Case cases[] = {
        {"read, window hidden", false, false},
        {"read, Close button", false, true},
        {"write, window hidden", true, false},
        {"write, Close button", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimLink link(1);
        link.model = SampleConsole();
        if (c.write) {
            link.chain.setSilent(1, true);
            link.transfer.StartWrite();
        } else {
            link.chain.breakLink(1);
            link.transfer.StartRead();
        }
        link.Run(30);
        while (!link.queue.empty() || link.transfer.pausing())
            link.Tick();
        const int state = link.transfer.linkState();
        if (c.closeButton) {
            link.transfer.CloseInput();
            link.status.unload();
        } else {
            link.status.hide();
        }
        const auto sent = link.Sent().size();
        const auto changes = link.status.changes.size();
        link.Run(300);
        EXPECT_EQ(link.Sent().size(), sent);
        EXPECT_EQ(link.status.changes.size(), changes);
        EXPECT_EQ(link.transfer.linkState(), state);
        EXPECT_EQ(link.queue.linkReady(), !c.closeButton);
    }
}

TEST(Transfer, WriteWithoutManualCountStillWritesManualOne) {
    ConsoleModel console = SampleConsole();
    console.manualCount = 0;
    SimLink link(3);
    link.model = console;
    link.transfer.StartWrite();
    ASSERT_TRUE(link.RunToEnd(kTickLimit));
    EXPECT_EQ(AsHex(link.Sent()), AsHex(Wire("T I1 T U1 B1", console)));
    EXPECT_EQ(link.chain.program(1, 0), EncodedImage(console, 1));
    EXPECT_EQ(link.chain.program(2, 0), Bytes(kImageSize, McuChain::kErasedByte));
    EXPECT_TRUE(link.status.text.ends_with("Done!"));
}

TEST(Transfer, NextManualIsIdentifiedBeforeItsDataIsWritten) {
    struct Case {
        const char* name;
        int manuals;
        std::map<int, int> lateTicks; // MCU -> how late its replies come
    };
    const std::vector<Case> cases = {
        {"prompt replies", 2, {}},
        {"first MCU late", 2, {{1, 3}}},
        {"first MCU later", 2, {{1, 12}}},
        {"second MCU late", 2, {{2, 12}}},
        {"every MCU late", 3, {{1, 8}, {2, 8}, {3, 8}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ConsoleModel console = SampleConsole();
        console.manualCount = static_cast<std::int16_t>(c.manuals);
        SimLink link(c.manuals);
        link.model = console;
        for (const auto& [mcu, ticks] : c.lateTicks)
            link.chain.delayReplies(mcu, ticks);
        link.transfer.StartWrite();
        ASSERT_TRUE(link.RunToEnd(kTickLimit));

        const auto& records = link.traffic.records;
        for (int m = 2; m <= c.manuals; ++m) {
            SCOPED_TRACE("manual " + std::to_string(m));
            const auto device = static_cast<std::uint8_t>(m);
            const auto firstUpdate = std::find_if(records.begin(), records.end(), [&](auto& r) {
                return Recognise(r.message) == MessageKind::ProgramUpdate && r.message[4] == device;
            });
            const auto request = std::find_if(records.begin(), firstUpdate, [&](auto& r) {
                return r.direction == TrafficListener::Direction::Sent &&
                       r.message == IdentityRequestMessage(device);
            });
            ASSERT_NE(request, firstUpdate) << "no identity request before the data";
            const auto reply = std::find_if(request, firstUpdate, [&](auto& r) {
                return Recognise(r.message) == MessageKind::IdentityReply && r.message[2] == device;
            });
            EXPECT_NE(reply, firstUpdate) << "no identity reply before the data";
        }
        for (int m = 1; m <= c.manuals; ++m) {
            EXPECT_EQ(link.chain.program(m, 0), EncodedImage(console, m)) << "MCU " << m;
        }
    }
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
    EXPECT_EQ(link.transfer.linkState(), kAwaitMoreResponses);
    EXPECT_EQ(link.view.manualsShown, 0);
}

TEST(Transfer, MessagesKeepTheirPacing) {
    struct Fault {
        const char* name;
        void (*apply)(McuChain&);
    };
    const Fault faults[] = {
        {"none", [](McuChain&) {}},
        {"replies late",
         [](McuChain& c) {
             for (int m = 1; m <= c.mcuCount(); ++m)
                 c.delayReplies(m, 3);
         }},
        {"first MCU answers after a second", [](McuChain& c) { c.delayReplies(1, 12); }},
        {"each MCU loses its first reply",
         [](McuChain& c) {
             for (int m = 1; m <= c.mcuCount(); ++m)
                 c.dropReplies(m, 1);
         }},
        {"last MCU loses two replies", [](McuChain& c) { c.dropReplies(c.mcuCount(), 2); }},
    };
    const ConsoleModel console = SampleConsole();
    for (const bool write : {false, true}) {
        for (int manuals = 1; manuals <= kMaxManuals; ++manuals) {
            for (const auto& fault : faults) {
                SCOPED_TRACE(std::string(write ? "write" : "read") + ", " +
                             std::to_string(manuals) + " manuals, faults: " + fault.name);
                SimLink link(manuals);
                Preload(link.chain, console, manuals);
                fault.apply(link.chain);
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
            }
        }
    }
}

} // namespace
} // namespace vtl
