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
    bench.chain.delayReplies(1, 1);
    bench.output.sendSysEx(TagMessage(1));
    bench.output.sendSysEx(IdentityRequestMessage(kAllDevices));
    EXPECT_EQ(bench.events, 0) << "never raised from inside a send";

    bench.input.advance();
    EXPECT_EQ(bench.events, 1) << "one event for everything that arrived";
    EXPECT_EQ(AsHex(std::exchange(bench.received, {})),
              AsHex({TagMessage(4), IdentityRequestMessage(kAllDevices),
                     IdentityReplyMessage(3, 0x12), IdentityReplyMessage(2, 0x12)}));
    bench.input.advance();
    EXPECT_EQ(AsHex(bench.received), AsHex({IdentityReplyMessage(1, 0x12)})) << "a tick late";
    bench.input.advance();
    EXPECT_EQ(bench.events, 2) << "no event while nothing waits";
}

TEST(SimMidi, ClosedPortsAFullBufferAndOtherDevicesLoseMessages) {
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
    bench.input.setBufferSize(2);
    for (int v = 1; v <= 3; ++v)
        bench.output.sendSysEx(TagMessage(static_cast<std::uint8_t>(v)));
    bench.input.advance();
    ASSERT_EQ(bench.input.pendingCount(), 2);
    EXPECT_EQ(bench.input.oldestSysEx(), TagMessage(2));
    bench.input.close();
    EXPECT_EQ(bench.input.pendingCount(), 0) << "closing drops what waits";

    // The one device is the chain; another fails to open, with an error event.
    EXPECT_EQ(bench.input.deviceName(), kSimDeviceName);
    bench.output.close();
    bench.output.selectDevice(1);
    bench.input.selectDevice(1);
    bench.output.open();
    bench.input.open();
    EXPECT_FALSE(bench.output.isOpen());
    EXPECT_EQ(bench.input.openState(), MidiInput::OpenState::Closed);
    EXPECT_EQ(bench.errors.size(), 2u);
}

} // namespace
} // namespace vtl
