// The transfer state machine against a simulated MCU chain: the messages on the wire, the
// model and the MCU memory afterwards, the progress texts and figures, the repeats and the
// pacing.

#include "link/transfer_controller.h"

#include "model/config_file.h"
#include "model/program_image.h"
#include "model/program_update.h"
#include "sim_link.h"
#include "sysex/hex.h"
#include "sysex/messages.h"
#include "tests/core/core_test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <sstream>

namespace vtl {
namespace {

using test::SimLink;
using Strings = std::vector<std::string>;
using Direction = TrafficListener::Direction;

const std::string kBreak = "\r\n";
// Enough for any transfer here; a run that needs more has hung.
constexpr long kTickLimit = 2000;

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

// Messages written as words, as hex text: "T" the TAG with value 01, "B7f" / "Bn" MCU_REBOOT
// to every MCU / to device n, "In" the identity request, "Rn" the PROGRAM_REQUEST and "Un"
// the four PROGRAM_UPDATE messages of manual n of the model, in that order.
Strings Wire(const std::string& words, const ConsoleModel& model = {}) {
    Strings hex;
    std::istringstream in(words);
    for (std::string w; in >> w;) {
        const auto d = static_cast<std::uint8_t>(w.size() > 1 ? std::stoi(w.substr(1), {}, 16) : 0);
        std::vector<Bytes> messages;
        if (w[0] == 'T') messages = {TagMessage(1)};
        if (w[0] == 'B') messages = {McuRebootMessage(d)};
        if (w[0] == 'I') messages = {IdentityRequestMessage(d)};
        if (w[0] == 'R') messages = {ProgramRequestMessage(d, 0)};
        if (w[0] == 'U') {
            const auto updates = WriteProgramImage(AtManual(model, d), d, 0);
            if (updates) messages.assign(updates->begin(), updates->end());
        }
        EXPECT_FALSE(messages.empty()) << w;
        for (const auto& m : messages)
            hex.push_back(BytesToHex(m));
    }
    return hex;
}

// The figures only grow, the total is known from the count on (from the start when writing)
// and never changes, and it is reached on the tick the transfer's last step ends, with every
// manual done. Needed per manual: TAG, identity request and reply, then the request, four
// quarters of data and the reboot when reading; four updates and the reboot when writing.
void ExpectProgressToCompletion(const SimLink& link, int manuals, bool write) {
    const auto& records = link.status.progress;
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.front().second.total, write ? 8 * manuals : 0);
    TransferProgress last = records.front().second;
    for (const auto& [tick, p] : records) {
        SCOPED_TRACE("tick " + std::to_string(tick));
        EXPECT_EQ(p.mode, write ? TransferMode::Writing : TransferMode::Reading);
        EXPECT_GE(p.done, last.done);
        EXPECT_GE(p.manualsDone, last.manualsDone);
        if (last.total > 0) {
            EXPECT_EQ(p.total, write ? 8 * manuals : 3 + 9 * manuals);
            EXPECT_LE(p.secondsLeft, last.secondsLeft);
        }
        last = p;
    }
    const auto complete = std::find_if(records.begin(), records.end(), [](const auto& r) {
        return r.second.total > 0 && r.second.done == r.second.total;
    });
    ASSERT_NE(complete, records.end());
    EXPECT_EQ(complete->first, link.trafficDoneTick);
    EXPECT_EQ(complete + 1, records.end());
    EXPECT_EQ(complete->second.manualsDone, manuals);
    EXPECT_EQ(complete->second.secondsLeft, 0);
}

// Whatever the chain's timing, every manual arrives whole, each is identified before its data
// is written, the messages keep their pacing, and the status window and the console view say
// what happened; the progress figures reach their total with the last step. A chain that
// answers at once gets only the messages the transfer needs.
TEST(Transfer, EveryManualArrivesWholeAtItsPace) {
    const char* const wires[2][kMaxManuals] = {
        {"B7f T T I1 R1 B1", "B7f T T I1 R1 B1 T I2 R2 B2",
         "B7f T T I1 R1 B1 T I2 R2 B2 T I3 R3 B3"},
        {"T I1 U1 B1", "T I1 U1 B1 T I2 U2 B2", "T I1 U1 B1 T I2 U2 B2 T I3 U3 B3"}};
    const std::string readText = "Requesting VTLConfig Program Data.." + kBreak + "Done!" + kBreak +
                                 "VTLConfig Configuration data loaded!" + kBreak + "Ready.";
    const std::string writeText = "VTLConfig Configuration received!" + kBreak +
                                  "Writing Program Data to VTL..." + kBreak +
                                  "VTLConfig Writing..." + kBreak + kBreak + "Done!";
    const struct {
        const char* name;
        int mcu; // 0: every MCU, -1: the last
        int lateTicks, lostReplies;
        bool twice = false, damaged = false;
    } faults[] = {
        {"none", 0, 0, 0},
        {"replies late within the pause", 0, 3, 0},
        // Later than this, a repeat's identity reply can be taken for the next manual's.
        {"replies late beyond the pause", 0, 7, 0},
        // Later still, a reply is taken for the next manual's before that request has left;
        // the request has done its part, so the figures still end at their total.
        {"replies later than a repeat", 0, 8, 0},
        {"replies long after a repeat", 0, 15, 0},
        {"first MCU answers after a second", 1, 12, 0},
        {"last MCU answers after a second", -1, 12, 0},
        {"each MCU loses its first reply", 0, 0, 1},
        {"last MCU loses two replies", -1, 0, 2},
        // Copies and damaged data are left out; the program is asked for again.
        {"every reply twice", 0, 0, 0, true},
        {"first MCU sends a byte above 127", 1, 0, 0, false, true},
    };
    const ConsoleModel console = SampleConsole();
    for (const bool write : {false, true}) {
        for (int manuals = 1; manuals <= kMaxManuals; ++manuals) {
            for (const auto& fault : faults) {
                SCOPED_TRACE(std::string(write ? "write, " : "read, ") + std::to_string(manuals) +
                             " manuals, faults: " + fault.name);
                SimLink link(manuals);
                for (int m = 1; m <= manuals; ++m) {
                    link.chain.storeProgram(m, 0, EncodedImage(console, m));
                    if (fault.mcu == 0 || fault.mcu == m || (fault.mcu < 0 && m == manuals)) {
                        link.chain.delayReplies(m, fault.lateTicks);
                        link.chain.dropReplies(m, fault.lostReplies);
                        link.chain.duplicateReplies(m, fault.twice);
                        if (fault.damaged) link.chain.corruptNextResponse(m);
                    }
                }
                link.model = console;
                link.model.manualCount = static_cast<std::int16_t>(manuals);
                write ? link.transfer.StartWrite() : link.transfer.StartRead();
                ASSERT_TRUE(link.RunToEnd(kTickLimit));

                if (&fault == faults) {
                    EXPECT_EQ(link.Sent(), Wire(wires[write][manuals - 1], console));
                    // A healthy transfer never tells the user to check the cables.
                    for (const auto& [tick, changed] : link.status.changes)
                        EXPECT_FALSE(changed.starts_with("Check your MIDI")) << tick;
                }
                // One message per 400 ms; while writing, 600 ms more after each, and what
                // arrives meanwhile is taken only after that pause. No manual's data leaves
                // before that manual's MCU has answered.
                long lastSent = -kTickLimit;
                std::set<std::uint8_t> identified;
                for (const auto& r : link.traffic) {
                    if (r.direction == Direction::Sent) {
                        EXPECT_GE(r.tick - lastSent, write ? 10 : 4) << BytesToHex(r.message);
                        lastSent = r.tick;
                    } else if (write) {
                        EXPECT_GE(r.tick - lastSent, 6) << BytesToHex(r.message);
                    }
                    const auto kind = Recognise(r.message);
                    if (kind == MessageKind::IdentityReply) identified.insert(r.message[2]);
                    if (kind == MessageKind::ProgramUpdate) {
                        EXPECT_TRUE(identified.contains(r.message[4])) << int{r.message[4]};
                    }
                }
                for (int m = 1; m <= manuals; ++m) {
                    if (write) {
                        EXPECT_EQ(link.chain.program(m, 0), EncodedImage(console, m)) << m;
                    } else {
                        test::ExpectSameManual(console, link.model, m);
                    }
                }

                EXPECT_EQ(link.status.caption,
                          write ? "Writing Program Data to VTL" : "Loading Program Data from VTL");
                if (!fault.damaged || manuals > 1 || write) {
                    EXPECT_TRUE(link.status.text.ends_with(write ? writeText : readText));
                }
                EXPECT_EQ(link.status
                              .TicksOf(kBreak +
                                       "Manual 1 sent damaged data (a byte lost or changed on the "
                                       "way); it is asked again.")
                              .size(),
                          fault.damaged && !write ? 1u : 0u);
                const auto count =
                    kBreak + "Number of manuals detected = " + std::to_string(manuals);
                EXPECT_EQ(link.status.TicksOf(count).size(), write ? 0u : 1u);
                EXPECT_EQ(link.status.TicksOf(kBreak + "Done!").size(), write ? 1u : manuals);
                const std::array view{link.view.readingShown, link.view.manualsShown,
                                      link.view.dataLoaded};
                EXPECT_EQ(view, (write ? std::array{0, 0, 1} : std::array{1, 1, 2}));
                EXPECT_TRUE(link.host.messages.empty());
                // The window stays for 2.1 s of running timer after the completion text.
                EXPECT_EQ(link.RunningTicks(link.finishedTick, link.hiddenTick), 21);
                ExpectProgressToCompletion(link, manuals, write);
            }
        }
    }
}

// Unanswered requests, and a count no chain can give, repeat every second while the status
// window shows, with a hint every fifth time that says what is missing. Close ends a read:
// the console stays as it was.
TEST(Transfer, RequestsRepeatEverySecondUntilTheWindowCloses) {
    using Fault = void (*)(McuChain&);
    const Fault none = [](McuChain&) {};
    const Fault cableOut = [](McuChain& c) { c.breakLink(0); };
    const Fault cableBack = [](McuChain& c) { c.breakLink(c.mcuCount()); };
    const Fault firstMcuSilent = [](McuChain& c) { c.setSilent(1, true); };
    const Fault secondPassesNothing = [](McuChain& c) { c.setPassing(2, false); };
    const std::string nothingBack =
        "Nothing comes back from the chain: check the cables from the PC's MIDI out to MCU 1, "
        "from each MCU to the next and from the last one to the PC's MIDI in, and that every "
        "MCU is switched on.";
    const auto silent = [](const std::string& m) {
        return "Manual " + m + " does not answer, though messages pass its MCU: check that MCU " +
               m + " is switched on and working.";
    };
    const struct {
        const char* name;
        bool write;
        int mcus;
        Fault fault;
        LinkState state;
        bool closeButton; // Close also closes the input; else the window is only hidden
        std::string detail;
    } cases[] = {
        {"read, nothing reaches the chain", false, 2, cableOut, LinkState::Counting, false,
         nothingBack},
        {"read, nothing comes back", false, 2, cableBack, LinkState::Counting, true, nothingBack},
        {"read, MCU 2 passes nothing on", false, 3, secondPassesNothing, LinkState::Counting, true,
         "MCU 2 answers, but passes nothing on: check MCU 2 and its MIDI in and out."},
        {"read, no MCU on the chain", false, 0, none, LinkState::Counting, false,
         "The test message came back without passing any MCU: the PC's MIDI out seems to lead "
         "straight to its MIDI in. Connect it to the MIDI in of MCU 1."},
        {"read, four MCUs on the chain", false, 4, none, LinkState::Counting, true,
         "The test message passed 4 MCUs, but a console has at most 3: check that only the "
         "console's MCUs are on the chain."},
        {"read, first MCU silent", false, 2, firstMcuSilent, LinkState::AwaitIdentity, false,
         silent("1")},
        {"write, nothing comes back", true, 2, cableBack, LinkState::AwaitIdentity, true,
         "Manual 1 does not answer, and nothing comes back through the chain: check that every "
         "MCU is switched on, and the cables from the PC to MCU 1, from each MCU to the next and "
         "from the last one to the PC."},
        {"write, no MCU on the chain", true, 0, none, LinkState::AwaitIdentity, false,
         "The test message passed 0 MCUs, so manual 1 has none: check that its MCU is connected "
         "and switched on."},
        {"write, first MCU silent", true, 2, firstMcuSilent, LinkState::AwaitIdentity, false,
         silent("1")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string hint =
            (c.state == LinkState::Counting
                 ? "Check your MIDI connections, make sure your VTLConfig is on and the output of "
                   "your MIDI device chain is connected to the MIDI-IN of your PC.\r\n"
                 : "Check your MIDI connections and make sure that your VTLConfig is turned "
                   "on!\r\n") +
            c.detail + "\r\nRetrying...";
        SimLink link(c.mcus);
        link.model = SampleConsole();
        c.fault(link.chain);
        c.write ? link.transfer.StartWrite() : link.transfer.StartRead();
        link.Run(400);
        EXPECT_EQ(link.transfer.linkState(), c.state);

        // A dot for every second of running timer; every fifth unanswered one since the last
        // answer (the count of manuals) replaces the text with the hint, and nothing else does.
        const auto dots = link.status.TicksOf(".");
        ASSERT_GE(dots.size(), 15u);
        const auto counted = link.status.TicksOf(kBreak + "Number of manuals detected = 2");
        const long answered = counted.empty() ? 0 : counted.back();
        std::vector<long> expectedHints;
        int unanswered = 0;
        for (std::size_t i = 0; i < dots.size(); ++i) {
            EXPECT_EQ(link.RunningTicks(i == 0 ? 0 : dots[i - 1], dots[i]), 10) << "dot " << i;
            if (dots[i] > answered && ++unanswered % 5 == 0) expectedHints.push_back(dots[i]);
        }
        EXPECT_EQ(link.status.TicksOf(hint), expectedHints);
        EXPECT_TRUE(link.status.text.starts_with(hint));
        // Each count that comes back is refused; nothing else is said.
        const auto refused = link.status.TicksOf(kBreak + "Invalid number of manuals detected!");
        EXPECT_EQ(refused.size() >= 15, !c.write && c.mcus % 4 == 0) << refused.size();
        EXPECT_TRUE(link.host.messages.empty());
        // A repeat waits for the last one to leave, so the queue never fills up.
        EXPECT_LE(link.queue.size(), 2u);

        while (!link.queue.empty() || link.transfer.pausing())
            link.Tick();
        if (c.closeButton) link.transfer.CloseInput();
        c.closeButton ? link.status.unload() : link.status.hide();
        const auto sent = link.Sent().size();
        link.Run(300);
        EXPECT_EQ(link.Sent().size(), sent);
        const bool ended = c.closeButton && !c.write;
        EXPECT_EQ(link.transfer.linkState(), ended ? LinkState::Idle : c.state);
        EXPECT_EQ(link.view.keptShown, ended ? 1 : 0);
        EXPECT_EQ(link.model.manualCount, 3);
        for (int m = 1; m <= kMaxManuals; ++m)
            test::ExpectSameManual(SampleConsole(), link.model, m);
        EXPECT_EQ(link.queue.linkReady(), !c.closeButton);
    }
}

// A cable pulled during a transfer: on the tick the connection message shows, the figures
// stay where they were and say they wait; they move on only once the cable is back.
TEST(Transfer, ProgressStopsWhileAConnectionMessageShows) {
    const struct {
        const char* name;
        bool write;
        int pulledAtManual; // 0: while counting
    } cases[] = {
        {"read, while counting", false, 0},
        {"read, manual 2", false, 2},
        {"write, manual 2", true, 2},
    };
    const ConsoleModel console = SampleConsole();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimLink link(kMaxManuals);
        for (int m = 1; m <= kMaxManuals; ++m)
            link.chain.storeProgram(m, 0, EncodedImage(console, m));
        link.model = console;
        c.write ? link.transfer.StartWrite() : link.transfer.StartRead();
        while (link.transfer.progress().manual < c.pulledAtManual && link.trafficDoneTick < 0)
            link.Tick();
        const long pulled = link.transfer.tickCount();
        link.chain.breakLink(kMaxManuals);
        link.Run(120); // long enough for connection messages
        const long repaired = link.transfer.tickCount();
        link.chain.repairLinks();
        ASSERT_TRUE(link.RunToEnd(kTickLimit));
        long shown = -1;
        for (const auto& [tick, text] : link.status.changes) {
            if (shown < 0 && tick > pulled && text.starts_with("Check your MIDI")) shown = tick;
        }

        const auto& records = link.status.progress;
        const auto stopped = std::find_if(records.begin(), records.end(),
                                          [&](const auto& r) { return r.first >= shown; });
        ASSERT_NE(stopped, records.begin());
        ASSERT_NE(stopped, records.end());
        ASSERT_NE(stopped + 1, records.end());
        EXPECT_EQ(stopped->first, shown);
        TransferProgress waiting = (stopped - 1)->second;
        waiting.stalled = true;
        EXPECT_EQ(stopped->second, waiting);
        EXPECT_GT((stopped + 1)->first, repaired);
        EXPECT_FALSE((stopped + 1)->second.stalled);
        ExpectProgressToCompletion(link, kMaxManuals, c.write);
    }
}

TEST(Transfer, WithoutDevicesTheSetupDialogComesFirst) {
    for (const bool write : {false, true}) {
        for (const bool chosen : {false, true}) {
            SCOPED_TRACE(std::string(write ? "write" : "read") + (chosen ? ", chosen" : ""));
            SimLink link(1);
            link.settings = {1, 0};
            link.host.chooses = chosen;
            write ? link.transfer.StartWrite() : link.transfer.StartRead();
            EXPECT_EQ(link.host.setupShown, 1);
            const auto started = write ? LinkState::AwaitIdentity : LinkState::Counting;
            EXPECT_EQ(link.transfer.linkState(), chosen ? started : LinkState::Idle);
            EXPECT_EQ(link.status.visible, chosen);
        }
    }
}

TEST(Transfer, LoadedFileIsReportedAndTheCommandsEnabled) {
    SimLink link(0);
    link.transfer.FileLoaded();
    link.Run(2);
    EXPECT_EQ(link.transfer.transferMode(), TransferMode::FileLoaded);
    EXPECT_EQ(link.status.text,
              kBreak + "VTLConfig Configuration data loaded from file!" + kBreak + "Ready.");
    EXPECT_EQ(link.view.dataLoaded, 1);
    EXPECT_TRUE(link.Sent().empty());
}

TEST(Transfer, WriteStopsAfterTheManualsTheModelHas) {
    const struct {
        const char* name;
        std::int16_t manualCount;
        bool badShoe2;
        const char* wire;
        const char* message;
    } cases[] = {
        {"nothing read or loaded yet", 0, false, "T I1 U1 B1", nullptr},
        {"manual 2 cannot be encoded", 3, true, "T I1 U1 B1 T I2",
         "Manual 2, expression shoe: MIDI channel 17 is outside 1 to 16"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimLink link(3);
        link.model = SampleConsole();
        link.model.manualCount = c.manualCount;
        if (c.badShoe2) link.model.shoe(2) = {.midiChannel = 16, .expressionOn = true};
        const ConsoleModel console = link.model;
        link.transfer.StartWrite();
        link.Run(600);
        EXPECT_EQ(link.Sent(), Wire(c.wire, console));
        EXPECT_EQ(link.host.messages, c.message ? Strings{c.message} : Strings{});
        EXPECT_EQ(link.transfer.linkState(), c.message ? LinkState::Idle : LinkState::Finishing);
        EXPECT_FALSE(link.status.visible);
    }
}

} // namespace
} // namespace vtl
