// The transfer state machine against a simulated MCU chain: the messages on the wire, the
// model and the MCU memory afterwards, the reports and progress figures, the repeats and the
// pacing.

#include "link/transfer_controller.h"

#include "model/config_file.h"
#include "model/program_image.h"
#include "model/program_update.h"
#include "recording_ports.h"
#include "sim_link.h"
#include "sysex/hex.h"
#include "sysex/messages.h"
#include "tests/core/core_test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <numeric>
#include <set>
#include <sstream>

namespace vtl {
namespace {

using test::SimLink;
using Strings = std::vector<std::string>;
using Direction = TrafficListener::Direction;

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
    std::vector<std::pair<long, TransferProgress>> records;
    for (const auto& [tick, report] : link.log.reports) {
        if (const auto* p = std::get_if<TransferProgress>(&report)) records.push_back({tick, *p});
    }
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
// is written, the messages keep their pacing, and the reports say what happened; the progress
// figures reach their total with the last step. A chain that answers at once gets only the
// messages the transfer needs.
TEST(Transfer, EveryManualArrivesWholeAtItsPace) {
    const char* const wires[2][kMaxManuals] = {
        {"B7f T T I1 R1 B1", "B7f T T I1 R1 B1 T I2 R2 B2",
         "B7f T T I1 R1 B1 T I2 R2 B2 T I3 R3 B3"},
        {"T I1 U1 B1", "T I1 U1 B1 T I2 U2 B2", "T I1 U1 B1 T I2 U2 B2 T I3 U3 B3"}};
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
                    link.chain.StoreProgram(m, 0, EncodedImage(console, m));
                    if (fault.mcu == 0 || fault.mcu == m || (fault.mcu < 0 && m == manuals)) {
                        link.chain.DelayReplies(m, fault.lateTicks);
                        link.chain.DropReplies(m, fault.lostReplies);
                        link.chain.DuplicateReplies(m, fault.twice);
                        if (fault.damaged) link.chain.CorruptNextResponse(m);
                    }
                }
                link.model = console;
                link.model.manualCount = static_cast<std::int16_t>(manuals);
                write ? link.transfer.StartWrite() : link.transfer.StartRead();
                ASSERT_TRUE(link.RunToEnd(kTickLimit));

                if (&fault == faults) {
                    EXPECT_EQ(link.Sent(), Wire(wires[write][manuals - 1], console));
                    // A healthy transfer never tells the user to check the cables.
                    EXPECT_TRUE(link.log.All<StillWaiting>().empty());
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
                        EXPECT_EQ(link.chain.Program(m, 0), EncodedImage(console, m)) << m;
                    } else {
                        test::ExpectSameManual(console, link.model, m);
                    }
                }

                // Each manual's step once, in order, then the finish; a read is whole before
                // it finishes, and the last message of a write leaves after.
                std::vector<int> steps;
                for (const auto& step : link.log.All<StepBegan>())
                    steps.push_back(step.manual);
                std::vector<int> everyManual(manuals);
                std::iota(everyManual.begin(), everyManual.end(), 1);
                EXPECT_EQ(steps, everyManual);
                const auto finished = link.log.All<TransferFinished>();
                ASSERT_EQ(finished.size(), 1u);
                EXPECT_EQ(finished[0].mode, write ? TransferMode::Writing : TransferMode::Reading);
                const long finish = link.log.TicksOf<TransferFinished>()[0];
                EXPECT_LT(link.log.TicksOf<StepBegan>().back(), finish);
                const auto whole = link.log.TicksOf<ConsoleRead>();
                const auto sent = link.log.TicksOf<WriteSent>();
                ASSERT_EQ(whole.size(), write ? 0u : 1u);
                ASSERT_EQ(sent.size(), write ? 1u : 0u);
                EXPECT_TRUE(write ? sent[0] >= finish : whole[0] < finish);
                EXPECT_EQ(link.log.All<ProgramDamaged>().size(), fault.damaged && !write ? 1u : 0u);
                std::vector<int> counted;
                for (const auto& count : link.log.All<ManualsCounted>())
                    counted.push_back(count.accepted ? count.count : -1);
                EXPECT_EQ(counted, write ? std::vector<int>{} : std::vector<int>{manuals});
                EXPECT_EQ(link.log.All<ProgramRequested>().size(), write ? 0u : manuals);
                EXPECT_EQ(link.log.TicksOf<TransferConcluded>().size(), 1u);
                EXPECT_EQ(link.log.Failures(), 0u);
                // The window stays for 2.1 s of running timer after the completion text.
                EXPECT_EQ(link.RunningTicks(link.finishedTick, link.hiddenTick), 21);
                ExpectProgressToCompletion(link, manuals, write);
            }
        }
    }
}

// Unanswered requests, and a count no chain can give, repeat every second while the transfer
// is in view, with what is missing every fifth time. Close ends a read: the console stays as
// it was; closing the window otherwise only stops the repeats.
TEST(Transfer, RequestsRepeatEverySecondWhileInView) {
    using Fault = void (*)(McuChain&);
    const Fault none = [](McuChain&) {};
    const Fault cableOut = [](McuChain& c) { c.BreakLink(0); };
    const Fault cableBack = [](McuChain& c) { c.BreakLink(c.McuCount()); };
    const Fault firstMcuSilent = [](McuChain& c) { c.SetSilent(1, true); };
    const Fault secondPassesNothing = [](McuChain& c) { c.SetPassing(2, false); };
    const struct {
        const char* name;
        bool write;
        int mcus;
        Fault fault;
        LinkState state;
        bool closeButton; // Close also closes the input; else the window is only closed
        WaitDiagnosis seen;
    } cases[] = {
        {"read, nothing reaches the chain", false, 2, cableOut, LinkState::Counting, false,
         ChainSilent{}},
        {"read, nothing comes back", false, 2, cableBack, LinkState::Counting, true, ChainSilent{}},
        {"read, MCU 2 passes nothing on", false, 3, secondPassesNothing, LinkState::Counting, true,
         McuPassesNothing{2}},
        {"read, no MCU on the chain", false, 0, none, LinkState::Counting, false, TagUnchanged{}},
        {"read, four MCUs on the chain", false, 4, none, LinkState::Counting, true,
         CountRefused{4}},
        {"read, first MCU silent", false, 2, firstMcuSilent, LinkState::AwaitIdentity, false,
         ManualSilent{1}},
        {"write, nothing comes back", true, 2, cableBack, LinkState::AwaitIdentity, true,
         ManualUnreachable{1}},
        {"write, no MCU on the chain", true, 0, none, LinkState::AwaitIdentity, false,
         ManualMissing{1, 0}},
        {"write, first MCU silent", true, 2, firstMcuSilent, LinkState::AwaitIdentity, false,
         ManualSilent{1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimLink link(c.mcus);
        link.model = SampleConsole();
        c.fault(link.chain);
        c.write ? link.transfer.StartWrite() : link.transfer.StartRead();
        link.Run(400);
        EXPECT_EQ(link.transfer.State(), c.state);

        // A repeat for every second of running timer; every fifth unanswered one since the last
        // answer (the count of manuals) says what is missing, and nothing else does.
        const auto repeats = link.log.TicksOf<RequestRepeated>();
        ASSERT_GE(repeats.size(), 15u);
        const auto counted = link.log.All<ManualsCounted>();
        const auto countedAt = link.log.TicksOf<ManualsCounted>();
        const long answered = !counted.empty() && counted.back().accepted ? countedAt.back() : 0;
        std::vector<long> expectedWaits;
        int unanswered = 0;
        for (std::size_t i = 0; i < repeats.size(); ++i) {
            EXPECT_EQ(link.RunningTicks(i == 0 ? 0 : repeats[i - 1], repeats[i]), 10) << i;
            if (repeats[i] > answered && ++unanswered % 5 == 0) expectedWaits.push_back(repeats[i]);
        }
        EXPECT_EQ(link.log.TicksOf<StillWaiting>(), expectedWaits);
        for (const auto& waiting : link.log.All<StillWaiting>())
            EXPECT_EQ(waiting.diagnosis, c.seen);
        EXPECT_EQ(link.transfer.Diagnosis(), c.seen);
        // Each count that comes back is refused; nothing else is said.
        const auto refused = std::count_if(counted.begin(), counted.end(),
                                           [](const ManualsCounted& r) { return !r.accepted; });
        EXPECT_EQ(refused >= 15, !c.write && c.mcus % 4 == 0) << refused;
        EXPECT_EQ(link.log.Failures(), 0u);
        // A repeat waits for the last one to leave, so the queue never fills up.
        EXPECT_LE(link.queue.size(), 2u);

        while (!link.queue.empty() || link.transfer.Pausing())
            link.Tick();
        c.closeButton ? link.Close() : link.Dismiss();
        const auto sent = link.Sent().size();
        link.Run(300);
        EXPECT_EQ(link.Sent().size(), sent);
        const bool ended = c.closeButton && !c.write;
        EXPECT_EQ(link.transfer.State(), ended ? LinkState::Idle : c.state);
        const auto abandoned = link.log.All<TransferAbandoned>();
        EXPECT_EQ(abandoned.size(), ended ? 1u : 0u);
        EXPECT_EQ(link.model.manualCount, 3);
        for (int m = 1; m <= kMaxManuals; ++m)
            test::ExpectSameManual(SampleConsole(), link.model, m);
        EXPECT_EQ(link.queue.LinkReady(), !c.closeButton);
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
            link.chain.StoreProgram(m, 0, EncodedImage(console, m));
        link.model = console;
        c.write ? link.transfer.StartWrite() : link.transfer.StartRead();
        while (link.transfer.Progress().manual < c.pulledAtManual && link.trafficDoneTick < 0)
            link.Tick();
        const long pulled = link.transfer.TickCount();
        link.chain.BreakLink(kMaxManuals);
        link.Run(120); // long enough for connection messages
        const long repaired = link.transfer.TickCount();
        link.chain.RepairLinks();
        ASSERT_TRUE(link.RunToEnd(kTickLimit));
        long shown = -1;
        for (const long tick : link.log.TicksOf<StillWaiting>()) {
            if (shown < 0 && tick > pulled) shown = tick;
        }

        std::vector<std::pair<long, TransferProgress>> records;
        for (const auto& [tick, report] : link.log.reports) {
            if (const auto* p = std::get_if<TransferProgress>(&report))
                records.push_back({tick, *p});
        }
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
            link.chooses = chosen;
            write ? link.transfer.StartWrite() : link.transfer.StartRead();
            EXPECT_EQ(link.setupShown, 1);
            const auto started = write ? LinkState::AwaitIdentity : LinkState::Counting;
            EXPECT_EQ(link.transfer.State(), chosen ? started : LinkState::Idle);
            EXPECT_EQ(link.log.inView, chosen);
        }
    }
}

// Out of view, a loaded file is not held: it concludes on the tick after it finished.
TEST(Transfer, LoadedFileIsReportedAndConcluded) {
    SimLink link(0);
    link.transfer.FileLoaded();
    link.Run(3);
    EXPECT_EQ(link.transfer.Mode(), TransferMode::FileLoaded);
    const auto finished = link.log.All<TransferFinished>();
    ASSERT_EQ(finished.size(), 1u);
    EXPECT_EQ(finished[0].mode, TransferMode::FileLoaded);
    EXPECT_EQ(link.log.TicksOf<TransferConcluded>(), std::vector<long>{2});
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
        if (c.badShoe2) link.model.Shoe(2) = {.midiChannel = 16, .expressionOn = true};
        const ConsoleModel console = link.model;
        link.transfer.StartWrite();
        link.Run(600);
        EXPECT_EQ(link.Sent(), Wire(c.wire, console));
        Strings messages;
        for (const auto& failure : link.log.All<EncodeFailure>())
            messages.push_back(failure.message);
        EXPECT_EQ(messages, c.message ? Strings{c.message} : Strings{});
        EXPECT_EQ(link.log.Failures(), messages.size());
        EXPECT_EQ(link.transfer.State(), c.message ? LinkState::Idle : LinkState::Finishing);
        EXPECT_FALSE(link.log.inView);
    }
}

// Every error of the output is reported; one with a code above 0 but for 8 also fails the
// port, which without a transfer under way ends nothing.
TEST(Transfer, OutputErrorsAreReportedAndFailThePortUnlessSilent) {
    for (const int code : {3, 8, 0}) {
        SCOPED_TRACE(code);
        test::RecordingInput input(1);
        test::RecordingOutput output(1);
        MidiSettings settings{1, 2};
        OutputQueue queue{input, output, settings};
        ConsoleModel model;
        test::ReportLog log;
        TransferController transfer{model, input, queue, settings, log, [] { return false; }};
        output.Fail(code, "port vanished");
        ASSERT_EQ(log.reports.size(), code == 3 ? 2u : 1u);
        const auto* error = std::get_if<OutputError>(&log.reports[0].second);
        ASSERT_TRUE(error);
        EXPECT_EQ(std::pair(error->code, error->message),
                  std::pair(code, std::string("port vanished")));
        if (code != 3) continue;
        const auto* failure = std::get_if<PortFailure>(&log.reports[1].second);
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->during, TransferMode::None);
        EXPECT_EQ(failure->message, "port vanished");
    }
}

} // namespace
} // namespace vtl
