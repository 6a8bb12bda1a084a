// The in-process MIDI ports over the chain: delivery only on advance(), in order, the same
// on every run; what closed ports and full buffers lose; device selection.

#include "sim_test_support.h"

#include "sim/sim_midi.h"
#include "sysex/messages.h"

namespace vtl {
namespace {

using test::AsHex;
using test::Hex;

// A chain with both ports open and receiving; records what each message event drained.
struct Bench {
    explicit Bench(int mcus) : chain(mcus), input(chain), output(chain, input) {
        input.onMessage([this] {
            ++events;
            while (input.pendingCount() > 0) {
                received.push_back(input.oldestSysEx());
                input.discardOldest();
            }
        });
        input.onError([this](int, const std::string& text) { errors.push_back(text); });
        output.onError([this](int, const std::string& text) { errors.push_back(text); });
        input.open();
        input.startReceiving();
        output.open();
    }

    McuChain chain;
    SimMidiInput input;
    SimMidiOutput output;
    int events = 0;
    std::vector<Bytes> received;
    std::vector<std::string> errors;
};

TEST(SimMidi, SendsArriveOnlyWithTheNextAdvance) {
    Bench bench(3);
    bench.output.sendSysEx(TagMessage(1));
    bench.output.sendSysEx(IdentityRequestMessage(2));
    EXPECT_EQ(bench.input.pendingCount(), 0);
    EXPECT_EQ(bench.events, 0) << "never raised from inside a send";

    bench.input.advance();
    EXPECT_EQ(bench.events, 1) << "one event for everything that arrived";
    EXPECT_EQ(AsHex(bench.received),
              AsHex({TagMessage(4), IdentityRequestMessage(2),
                     Hex("f0 7e 02 06 02 00 3d 62 01 00 01 00 01 00 00 00 00 00 00 00 12 00 f7")}));

    bench.input.advance();
    EXPECT_EQ(bench.events, 1) << "no event while nothing waits";
}

TEST(SimMidi, SameSessionGivesTheSameTrace) {
    // Sends spread over ticks, one MCU late by a tick; each arrival is recorded with its tick.
    const auto run = [] {
        Bench bench(2);
        bench.chain.delayReplies(1, 1);
        std::vector<std::string> trace;
        bench.output.sendSysEx(IdentityRequestMessage(1));
        for (int tick = 0; tick < 6; ++tick) {
            bench.input.advance();
            for (const auto& m : std::exchange(bench.received, {}))
                trace.push_back(std::to_string(tick) + ": " + BytesToHex(m));
            if (tick == 0) {
                bench.output.sendSysEx(TagMessage(1));
                bench.output.sendSysEx(ProgramRequestMessage(2, 0));
            }
        }
        return trace;
    };
    const auto first = run();
    EXPECT_EQ(first, run());
    ASSERT_EQ(first.size(), 8u);
    EXPECT_EQ(first[0], "0: " + BytesToHex(IdentityRequestMessage(1)));
    EXPECT_EQ(first[1], "1: " + BytesToHex(TagMessage(3)));
    EXPECT_EQ(first[2], "1: " + BytesToHex(ProgramRequestMessage(2, 0)));
    EXPECT_EQ(first[3].substr(0, 27), "1: f0 00 3d 62 02 04 01 04 ") << "response 1 of MCU 2";
    EXPECT_EQ(first[7].substr(0, 17), "1: f0 7e 01 06 02") << "MCU 1 a tick late";
}

TEST(SimMidi, ClosedPortsLoseMessages) {
    Bench bench(1);
    bench.output.close();
    bench.output.sendSysEx(TagMessage(1));
    bench.output.open();
    bench.input.stopReceiving();
    bench.output.sendSysEx(TagMessage(5));
    bench.input.advance();
    bench.input.startReceiving();
    bench.input.advance();
    EXPECT_TRUE(bench.received.empty());

    bench.input.onMessage([] {});
    bench.output.sendSysEx(TagMessage(7));
    bench.input.advance();
    EXPECT_EQ(bench.input.pendingCount(), 1);
    bench.input.close();
    EXPECT_EQ(bench.input.pendingCount(), 0) << "closing drops what waits";
}

TEST(SimMidi, FullBufferDropsTheRest) {
    Bench bench(1);
    bench.input.onMessage([] {});
    bench.input.setBufferSize(2);
    for (int v = 1; v <= 3; ++v)
        bench.output.sendSysEx(TagMessage(static_cast<std::uint8_t>(v)));
    bench.input.advance();
    ASSERT_EQ(bench.input.pendingCount(), 2);
    EXPECT_EQ(bench.input.oldestSysEx(), TagMessage(2));
    EXPECT_EQ(bench.input.oldestShort(), (std::array<std::uint8_t, 3>{}));
}

TEST(SimMidi, DevicesAndOpenStates) {
    Bench bench(1);
    EXPECT_EQ(bench.input.deviceCount(), 1);
    EXPECT_EQ(bench.input.deviceName(), "VTL chain (simulated)");
    EXPECT_EQ(bench.input.openState(), MidiInput::OpenState::Receiving);
    bench.input.stopReceiving();
    EXPECT_EQ(bench.input.openState(), MidiInput::OpenState::Open);
    bench.input.close();
    bench.input.startReceiving();
    EXPECT_EQ(bench.input.openState(), MidiInput::OpenState::Closed) << "receiving needs open";

    bench.output.close();
    bench.output.selectDevice(MidiOutput::kDefaultDevice);
    EXPECT_EQ(bench.output.deviceName(), "VTL chain (simulated)");
    bench.output.open();
    EXPECT_TRUE(bench.output.isOpen());

    bench.output.close();
    bench.output.selectDevice(1);
    bench.input.selectDevice(1);
    EXPECT_EQ(bench.input.deviceName(), "");
    bench.output.open();
    bench.input.open();
    EXPECT_FALSE(bench.output.isOpen());
    EXPECT_EQ(bench.input.openState(), MidiInput::OpenState::Closed);
    EXPECT_EQ(bench.errors.size(), 2u);
}

} // namespace
} // namespace vtl
