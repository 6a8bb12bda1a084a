// The RtMidi input on the private JACK server: a raw RtMidi virtual output plays the MCU chain
// and the input under test is connected to it.

#include "platform/rtmidi_input.h"

#include "jack_test_support.h"
#include "tests/hex_literal.h"

#include <gtest/gtest.h>
#include <rtmidi/RtMidi.h>

#include <functional>
#include <utility>
#include <vector>

namespace vtl {
namespace {

using test::Hex;
using test::UniqueName;
using test::WaitUntil;

// One drained message as text: a whole SysEx message, or the three bytes of a short one.
std::string Received(Bytes bytes) {
    if (bytes.front() == 0xF0) return "sysex " + BytesToHex(bytes);
    bytes.resize(3);
    return "short " + BytesToHex(bytes);
}

// Ends each exchange. A SysEx message, because RtMidi on JACK holds back everything that follows
// an unfinished SysEx message until some message ends with F7.
const Bytes kMarker{0xF0, 0x7D, 0x7F, 0xF7};

class RtMidiInputTest : public testing::Test {
protected:
    void SetUp() override {
        source_.openVirtualPort(sourceName_);
        input_.OnMessage([this] { Drain(); });
        input_.OnError([this](int code, const std::string&) { errors_.push_back(code); });
        const int device = test::FindDevice(input_, sourceName_);
        ASSERT_GE(device, 0) << "no input device named " << sourceName_;
        input_.SelectDevice(device);
    }

    // Opens, starts receiving and waits until the connection carries messages: a new
    // connection may miss what is sent in the same moment, so it pings until one arrives.
    void Connect() {
        input_.Open();
        input_.StartReceiving();
        ASSERT_EQ(input_.State(), MidiInput::OpenState::Receiving);
        bool arrived = false;
        for (std::uint8_t ping = 0; ping < 100 && !arrived; ++ping) {
            Send({0x80, ping, 0x00});
            arrived = WaitUntil([&] { return !received_.empty(); }, std::chrono::milliseconds(200));
        }
        ASSERT_TRUE(arrived) << "the connection never carried a message";
        ReceiveUpToMarker();
    }

    void Send(const Bytes& message) { source_.sendMessage(message.data(), message.size()); }

    // Sends a marker after everything already sent and waits for it; returns what came before.
    std::vector<std::string> ReceiveUpToMarker() {
        Send(kMarker);
        const bool arrived =
            WaitUntil([&] { return !received_.empty() && received_.back() == Received(kMarker); });
        EXPECT_TRUE(arrived) << "the marker never arrived";
        std::vector<std::string> before(received_.begin(), received_.end() - (arrived ? 1 : 0));
        received_.clear();
        return before;
    }

    // The message handler, as the receive path drains the input.
    void Drain() {
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
        EXPECT_FALSE(inHandler_) << "the message handler was entered a second time";
        if (holding_) return;
        inHandler_ = true;
        if (whileHandling_) std::exchange(whileHandling_, nullptr)();
        for (; input_.PendingCount() > 0; input_.DiscardOldest()) {
            const Bytes sysex = input_.OldestSysEx();
            const auto bytes = input_.OldestShort();
            received_.push_back(
                Received(sysex.empty() ? Bytes(bytes.begin(), bytes.end()) : sysex));
        }
        inHandler_ = false;
    }

    const std::string sourceName_ = UniqueName("source");
    RtMidiOut source_{RtMidi::UNIX_JACK, sourceName_};
    RtMidiInput input_{MidiApi::Jack, UniqueName("input")};
    std::vector<std::string> received_;
    std::vector<int> errors_;
    bool inHandler_ = false;
    bool holding_ = false;                // the handler leaves messages waiting
    std::function<void()> whileHandling_; // run once inside the handler
};

// Whole and in order on the owner's thread; realtime statuses are dropped only while filtered;
// an unfinished SysEx message is dropped and the next message arrives intact.
TEST_F(RtMidiInputTest, MessagesArriveWholeAndInOrder) {
    Connect();
    input_.SetRealtimeFilter(0xF8, true);
    input_.SetRealtimeFilter(0xF9, true);
    Bytes longSysEx(240, 0x11); // longer than any message of the link
    longSysEx.front() = 0xF0;
    longSysEx.back() = 0xF7;
    const struct {
        Bytes message;
        bool arrives;
    } cases[] = {
        {Hex("f0 7e 7f 06 01 f7"), true},
        {Hex("90 40 7f"), true},
        {longSysEx, true},
        {Hex("c0 05"), true},
        {Hex("e0 00 40"), true},
        {Hex("f0 f7"), true},
        {Hex("f8"), false},
        {Hex("fe"), true},
        {Hex("f9"), false},
        {Hex("fa"), true},
        {Hex("f0 01 02"), false},
        {Hex("f0 03 f7"), true},
        {Hex("f0 01"), false},
        {Hex("f0 02"), false},
        {Hex("90 40 7f"), true},
    };
    std::vector<std::string> expected;
    for (const auto& c : cases) {
        Send(c.message);
        if (c.arrives) expected.push_back(Received(c.message));
    }
    EXPECT_EQ(ReceiveUpToMarker(), expected);
    EXPECT_TRUE(errors_.empty());
}

// The handler runs an event loop of its own while more messages arrive. Once the third is
// waiting, the input's notice of the second has been posted (the third posts none while it
// is pending), and one more round of the event loop handles it inside the handler.
TEST_F(RtMidiInputTest, HandlerIsNotEnteredFromItsOwnEventLoop) {
    Connect();
    whileHandling_ = [this] {
        Send({0x91, 0x01, 0x01});
        Send({0x92, 0x01, 0x01});
        EXPECT_TRUE(WaitUntil([&] { return input_.PendingCount() >= 3; }));
        QCoreApplication::processEvents();
    };
    Send({0x90, 0x01, 0x01});
    ASSERT_TRUE(WaitUntil([&] { return received_.size() >= 3; }));
    EXPECT_EQ(ReceiveUpToMarker(),
              (std::vector<std::string>{Received({0x90, 0x01, 0x01}), Received({0x91, 0x01, 0x01}),
                                        Received({0x92, 0x01, 0x01})}));
}

TEST_F(RtMidiInputTest, FullBufferDropsLaterMessagesWithAWarningAndCloseDropsTheRest) {
    Connect();
    input_.SetBufferSize(2);
    holding_ = true;
    for (std::uint8_t note = 1; note <= 3; ++note)
        Send({0x90, note, 0x40});
    ASSERT_TRUE(WaitUntil([&] { return !errors_.empty(); }));
    EXPECT_EQ(errors_, std::vector<int>{0});
    ASSERT_EQ(input_.PendingCount(), 2);
    EXPECT_EQ(input_.OldestShort(), (std::array<std::uint8_t, 3>{0x90, 0x01, 0x40}));
    input_.Close();
    EXPECT_EQ(input_.PendingCount(), 0);
}

// No step reports an error: opening a missing device at the end reports the only one, and
// reports arrive in order.
TEST_F(RtMidiInputTest, OpenStateFollowsOpenStartStopClose) {
    using State = MidiInput::OpenState;
    const struct {
        void (MidiInput::*op)();
        State after;
    } steps[] = {
        {&MidiInput::StartReceiving, State::Closed},
        {&MidiInput::Open, State::Open},
        {&MidiInput::StopReceiving, State::Open},
        {&MidiInput::StartReceiving, State::Receiving},
        {&MidiInput::StopReceiving, State::Open},
        {&MidiInput::StartReceiving, State::Receiving},
        {&MidiInput::Open, State::Open},
        {&MidiInput::Close, State::Closed},
        {&MidiInput::Close, State::Closed},
    };
    // By reference, never (input_.*steps[i].op)(): GCC 12 with -fsanitize=bounds loads the
    // index only on the non-virtual path of such a call, and so calls the wrong function.
    int number = 0;
    for (const auto& [op, after] : steps) {
        (input_.*op)();
        EXPECT_EQ(input_.State(), after) << "step " << number++;
    }
    input_.SelectDevice(999);
    input_.Open();
    ASSERT_TRUE(WaitUntil([&] { return !errors_.empty(); }));
    EXPECT_EQ(errors_.size(), 1u);
}

TEST(RtMidiInput, OpenErrorsArriveThroughOnErrorLater) {
    RtMidiInput input(MidiApi::Jack, UniqueName("input"));
    test::ExpectOpenErrorsLater(input, {-1, 999, input.DeviceCount()},
                                [&] { return input.State() != MidiInput::OpenState::Closed; });
}

} // namespace
} // namespace vtl
