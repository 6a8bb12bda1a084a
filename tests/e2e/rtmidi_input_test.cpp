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

using test::findDevice;
using test::Hex;
using test::ReportedError;
using test::uniqueName;
using test::waitUntil;

// One drained message as text: a whole SysEx message, or the three bytes of a short one.
using Received = std::string;

Received sysex(const Bytes& bytes) {
    return "sysex " + BytesToHex(bytes);
}
Received shortMessage(Bytes bytes) {
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
        input_.onMessage([this] { drain(); });
        input_.onError([this](int code, const std::string& message) {
            errors_.push_back({code, message});
        });
        device_ = findDevice(input_, sourceName_);
        ASSERT_GE(device_, 0) << "no input device named " << sourceName_;
        input_.selectDevice(device_);
    }

    // Opens, starts receiving and waits until the connection carries messages.
    void connect() {
        input_.open();
        ASSERT_EQ(input_.openState(), MidiInput::OpenState::Open);
        input_.startReceiving();
        // A new connection may miss what is sent in the same moment: ping until one arrives,
        // then send a barrier and forget everything up to it.
        bool arrived = false;
        for (std::uint8_t ping = 0; ping < 100 && !arrived; ++ping) {
            send({0x80, ping, 0x00});
            arrived = waitUntil([&] { return !received_.empty(); }, std::chrono::milliseconds(200));
        }
        ASSERT_TRUE(arrived) << "the connection never carried a message";
        send({0x81, 0x00, 0x00});
        ASSERT_TRUE(waitUntil(
            [&] { return !received_.empty() && received_.back() == shortMessage({0x81}); }));
        received_.clear();
    }

    void send(const Bytes& message) { source_.sendMessage(message.data(), message.size()); }

    // Sends a marker after everything already sent and waits for it; returns what came before.
    std::vector<Received> receiveUpToMarker() {
        send(kMarker);
        const bool arrived =
            waitUntil([&] { return !received_.empty() && received_.back() == sysex(kMarker); });
        EXPECT_TRUE(arrived) << "the marker never arrived";
        std::vector<Received> before(received_.begin(), received_.end() - (arrived ? 1 : 0));
        received_.clear();
        return before;
    }

    // The message handler, as the receive path drains the input.
    void drain() {
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
        EXPECT_FALSE(inHandler_) << "the message handler was entered a second time";
        if (holding_) return;
        inHandler_ = true;
        if (whileHandling_) std::exchange(whileHandling_, nullptr)();
        while (input_.pendingCount() > 0) {
            const Bytes message = input_.oldestSysEx();
            if (message.empty()) {
                const auto bytes = input_.oldestShort();
                received_.push_back(shortMessage({bytes.begin(), bytes.end()}));
            } else {
                received_.push_back(sysex(message));
            }
            input_.discardOldest();
        }
        inHandler_ = false;
    }

    const std::string sourceName_ = uniqueName("source");
    RtMidiOut source_{RtMidi::UNIX_JACK, sourceName_};
    RtMidiInput input_{MidiApi::Jack, uniqueName("input")};
    int device_ = -2;
    std::vector<Received> received_;
    std::vector<ReportedError> errors_;
    bool inHandler_ = false;
    bool holding_ = false;                // the handler leaves messages waiting
    std::function<void()> whileHandling_; // run once inside the handler
};

// A SysEx message arrives whole, any other as three bytes filled up with zeros.
Received Expected(const Bytes& sent) {
    return sent.front() == 0xF0 ? sysex(sent) : shortMessage(sent);
}

TEST_F(RtMidiInputTest, MessagesArriveWholeAndInOrderOnOwnerThread) {
    connect();
    Bytes longSysEx{0xF0, 0x00, 0x3D, 0x62};
    while (longSysEx.size() < 239)
        longSysEx.push_back(static_cast<std::uint8_t>(longSysEx.size() & 0x7F));
    longSysEx.push_back(0xF7);
    const Bytes messages[] = {
        Hex("f0 7e 7f 06 01 f7"),       Hex("90 40 7f"), longSysEx,   Hex("c0 05"),
        Hex("f0 00 3d 62 01 10 02 f7"), Hex("e0 00 40"), Hex("f0 f7")};
    std::vector<Received> expected;
    for (const auto& message : messages) {
        send(message);
        expected.push_back(Expected(message));
    }
    EXPECT_EQ(receiveUpToMarker(), expected);
    EXPECT_TRUE(errors_.empty());
}

TEST_F(RtMidiInputTest, RealtimeFilterDropsOnlyFilteredStatuses) {
    connect();
    const struct {
        Bytes filtered, passed; // of F8, FE, F9, FA sent in this order
    } cases[] = {
        {{0xF8, 0xFE, 0xF9}, {0xFA}},
        {{0xFE, 0xF9}, {0xF8, 0xFA}},
        {{}, {0xF8, 0xFE, 0xF9, 0xFA}},
        {{0xF8, 0xFE, 0xF9, 0xFA}, {}},
    };
    for (const auto& c : cases) {
        for (int status = 0xF8; status <= 0xFF; ++status)
            input_.setRealtimeFilter(static_cast<std::uint8_t>(status), false);
        for (const std::uint8_t status : c.filtered)
            input_.setRealtimeFilter(status, true);
        std::vector<Received> expected;
        for (const std::uint8_t status : Bytes{0xF8, 0xFE, 0xF9, 0xFA})
            send({status});
        for (const std::uint8_t status : c.passed)
            expected.push_back(shortMessage({status}));
        EXPECT_EQ(receiveUpToMarker(), expected) << c.filtered.size() << " filters on";
    }
}

TEST_F(RtMidiInputTest, UnfinishedSysExIsDroppedAndNextMessageIntact) {
    connect();
    for (const char* text : {"f0 01 02", "f0 03 f7", "f0 01", "f0 02", "90 40 7f"})
        send(Hex(text));
    EXPECT_EQ(receiveUpToMarker(),
              (std::vector<Received>{sysex(Hex("f0 03 f7")), shortMessage(Hex("90 40 7f"))}));
}

TEST_F(RtMidiInputTest, HandlerIsNotEnteredFromItsOwnEventLoop) {
    connect();
    // The handler runs an event loop of its own while a second message arrives.
    whileHandling_ = [this] {
        send({0x91, 0x01, 0x01});
        EXPECT_TRUE(waitUntil([&] { return input_.pendingCount() >= 2; }));
        test::settle();
    };
    send({0x90, 0x01, 0x01});
    ASSERT_TRUE(waitUntil([&] { return received_.size() >= 2; }));
    test::settle();
    EXPECT_EQ(received_, (std::vector<Received>{shortMessage({0x90, 0x01, 0x01}),
                                                shortMessage({0x91, 0x01, 0x01})}));
}

TEST_F(RtMidiInputTest, FullBufferDropsLaterMessagesWithWarning) {
    connect();
    input_.setBufferSize(2);
    holding_ = true;
    for (std::uint8_t note = 1; note <= 3; ++note)
        send({0x90, note, 0x40});
    ASSERT_TRUE(waitUntil([&] { return !errors_.empty(); }));
    EXPECT_EQ(errors_.front().code, 0);
    ASSERT_EQ(input_.pendingCount(), 2);
    EXPECT_EQ(input_.oldestShort(), (std::array<std::uint8_t, 3>{0x90, 0x01, 0x40}));
    input_.discardOldest();
    EXPECT_EQ(input_.oldestShort(), (std::array<std::uint8_t, 3>{0x90, 0x02, 0x40}));
}

TEST_F(RtMidiInputTest, CloseDiscardsWaitingMessages) {
    connect();
    holding_ = true;
    send({0x90, 0x01, 0x40});
    ASSERT_TRUE(waitUntil([&] { return input_.pendingCount() == 1; }));
    input_.close();
    EXPECT_EQ(input_.pendingCount(), 0);
    EXPECT_EQ(input_.openState(), MidiInput::OpenState::Closed);
}

TEST_F(RtMidiInputTest, OpenStateFollowsOpenStartStopClose) {
    using State = MidiInput::OpenState;
    using Op = void (MidiInput::*)();
    const struct {
        const char* name;
        Op op;
        State after;
    } steps[] = {
        {"start while closed", &MidiInput::startReceiving, State::Closed},
        {"open", &MidiInput::open, State::Open},
        {"stop while open", &MidiInput::stopReceiving, State::Open},
        {"start", &MidiInput::startReceiving, State::Receiving},
        {"stop", &MidiInput::stopReceiving, State::Open},
        {"start again", &MidiInput::startReceiving, State::Receiving},
        {"open again", &MidiInput::open, State::Open},
        {"close", &MidiInput::close, State::Closed},
        {"close again", &MidiInput::close, State::Closed},
    };
    for (const auto& step : steps) {
        (input_.*step.op)();
        EXPECT_EQ(input_.openState(), step.after) << step.name;
    }
    EXPECT_EQ(input_.deviceName().find(sourceName_) != std::string::npos, true);
    test::settle();
    EXPECT_TRUE(errors_.empty());
}

TEST(RtMidiInput, OpenErrorsArriveThroughOnErrorLater) {
    RtMidiInput input(MidiApi::Jack, uniqueName("input"));
    test::ExpectOpenErrorsLater(input, {-1, 999, input.deviceCount()},
                                [&] { return input.openState() != MidiInput::OpenState::Closed; });
}

} // namespace
} // namespace vtl
