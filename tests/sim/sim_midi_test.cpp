// The in-process MIDI ports over the chain: delivery only on advance(), in order; what
// closed ports and a full buffer lose; the one device.

#include "sim/sim_midi.h"
#include "sysex/messages.h"
#include "tests/hex_literal.h"

namespace vtl {
namespace {

using test::AsHex;

// A chain with both ports open and receiving; records what each message event drained.
struct Bench {
    explicit Bench(int mcus) : chain(mcus), input(chain), output(chain, input) {
        input.OnMessage([this] {
            ++events;
            while (input.PendingCount() > 0) {
                received.push_back(input.OldestSysEx());
                input.DiscardOldest();
            }
        });
        input.OnError([this](int, const std::string& text) { errors.push_back(text); });
        output.OnError([this](int, const std::string& text) { errors.push_back(text); });
        input.Open();
        input.StartReceiving();
        output.Open();
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
    bench.chain.DelayReplies(1, 1);
    bench.output.SendSysEx(TagMessage(1));
    bench.output.SendSysEx(IdentityRequestMessage(kAllDevices));
    EXPECT_EQ(bench.events, 0) << "never raised from inside a send";

    bench.input.Advance();
    EXPECT_EQ(bench.events, 1) << "one event for everything that arrived";
    EXPECT_EQ(AsHex(std::exchange(bench.received, {})),
              AsHex({TagMessage(4), IdentityRequestMessage(kAllDevices),
                     IdentityReplyMessage(3, 0x12), IdentityReplyMessage(2, 0x12)}));
    bench.input.Advance();
    EXPECT_EQ(AsHex(bench.received), AsHex({IdentityReplyMessage(1, 0x12)})) << "a tick late";
    bench.input.Advance();
    EXPECT_EQ(bench.events, 2) << "no event while nothing waits";
}

TEST(SimMidi, ClosedPortsAFullBufferAndOtherDevicesLoseMessages) {
    Bench bench(1);
    bench.output.Close();
    bench.output.SendSysEx(TagMessage(1));
    bench.output.Open();
    bench.input.StopReceiving();
    bench.output.SendSysEx(TagMessage(5));
    bench.input.Advance();
    bench.input.StartReceiving();
    bench.input.Advance();
    EXPECT_TRUE(bench.received.empty());

    bench.input.OnMessage([] {});
    bench.input.SetBufferSize(2);
    for (int v = 1; v <= 3; ++v)
        bench.output.SendSysEx(TagMessage(static_cast<std::uint8_t>(v)));
    bench.input.Advance();
    ASSERT_EQ(bench.input.PendingCount(), 2);
    EXPECT_EQ(bench.input.OldestSysEx(), TagMessage(2));
    bench.input.Close();
    EXPECT_EQ(bench.input.PendingCount(), 0) << "closing drops what waits";

    // The one device is the chain; another fails to open, with an error event.
    EXPECT_EQ(bench.input.DeviceName(), kSimDeviceName);
    bench.output.Close();
    bench.output.SelectDevice(1);
    bench.input.SelectDevice(1);
    bench.output.Open();
    bench.input.Open();
    EXPECT_FALSE(bench.output.IsOpen());
    EXPECT_EQ(bench.input.State(), MidiInput::OpenState::Closed);
    EXPECT_EQ(bench.errors.size(), 2u);
}

} // namespace
} // namespace vtl
