// The RtMidi input on the private JACK server: a raw RtMidi virtual output plays the MCU chain
// and the input under test is connected to it.

#include "platform/rtmidi_input.h"

#include "jack_test_support.h"

#include <gtest/gtest.h>
#include <rtmidi/RtMidi.h>

#include <functional>
#include <utility>
#include <vector>

namespace vtl {
namespace {

using test::findDevice;
using test::ReportedError;
using test::uniqueName;
using test::waitUntil;

// One drained message: a whole SysEx message, or the three bytes of a short one.
struct Received {
    bool sysex;
    Bytes bytes;
    bool operator==(const Received&) const = default;
};

Received sysex(Bytes bytes) {
    return {true, std::move(bytes)};
}
Received shortMessage(Bytes bytes) {
    bytes.resize(3);
    return {false, std::move(bytes)};
}

void PrintTo(const Received& received, std::ostream* out) {
    *out << (received.sysex ? "sysex" : "short") << testing::PrintToString(received.bytes);
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
        ASSERT_TRUE(
            waitUntil([&] { return !received_.empty() && received_.back().bytes[0] == 0x81; }));
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
        if (holding_)
            return;
        inHandler_ = true;
        if (whileHandling_)
            std::exchange(whileHandling_, nullptr)();
        while (input_.pendingCount() > 0) {
            const Bytes message = input_.oldestSysEx();
            if (message.empty()) {
                const auto bytes = input_.oldestShort();
                received_.push_back({false, Bytes(bytes.begin(), bytes.end())});
            } else {
                received_.push_back({true, message});
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

TEST_F(RtMidiInputTest, MessagesArriveWholeAndInOrderOnOwnerThread) {
    connect();
    Bytes longSysEx{0xF0, 0x00, 0x3D, 0x62};
    while (longSysEx.size() < 239)
        longSysEx.push_back(static_cast<std::uint8_t>(longSysEx.size() & 0x7F));
    longSysEx.push_back(0xF7);
    const struct {
        Bytes sent;
        Received expected;
    } messages[] = {
        {{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}, sysex({0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7})},
        {{0x90, 0x40, 0x7F}, shortMessage({0x90, 0x40, 0x7F})},
        {longSysEx, sysex(longSysEx)},
        {{0xC0, 0x05}, shortMessage({0xC0, 0x05})},
        {{0xF0, 0x00, 0x3D, 0x62, 0x01, 0x10, 0x02, 0xF7},
         sysex({0xF0, 0x00, 0x3D, 0x62, 0x01, 0x10, 0x02, 0xF7})},
        {{0xE0, 0x00, 0x40}, shortMessage({0xE0, 0x00, 0x40})},
        {{0xF0, 0xF7}, sysex({0xF0, 0xF7})},
    };
    std::vector<Received> expected;
    for (const auto& message : messages) {
        send(message.sent);
        expected.push_back(message.expected);
    }
    EXPECT_EQ(receiveUpToMarker(), expected);
    EXPECT_TRUE(errors_.empty());
}

TEST_F(RtMidiInputTest, RealtimeFilterDropsOnlyFilteredStatuses) {
    connect();
    const struct {
        std::vector<std::uint8_t> filtered;
        std::vector<Received> expected; // of F8, FE, F9, FA sent in this order
    } cases[] = {
        {{0xF8, 0xFE, 0xF9}, {shortMessage({0xFA})}},
        {{0xFE, 0xF9}, {shortMessage({0xF8}), shortMessage({0xFA})}},
        {{},
         {shortMessage({0xF8}), shortMessage({0xFE}), shortMessage({0xF9}), shortMessage({0xFA})}},
        {{0xF8, 0xFE, 0xF9, 0xFA}, {}},
    };
    for (const auto& c : cases) {
        for (int status = 0xF8; status <= 0xFF; ++status)
            input_.setRealtimeFilter(static_cast<std::uint8_t>(status), false);
        for (const std::uint8_t status : c.filtered)
            input_.setRealtimeFilter(status, true);
        for (const std::uint8_t status : Bytes{0xF8, 0xFE, 0xF9, 0xFA})
            send({status});
        EXPECT_EQ(receiveUpToMarker(), c.expected) << c.filtered.size() << " filters on";
    }
}

TEST_F(RtMidiInputTest, UnfinishedSysExIsDroppedAndNextMessageIntact) {
    connect();
    const struct {
        const char* name;
        std::vector<Bytes> sent;
        std::vector<Received> expected;
    } cases[] = {
        {"before sysex", {{0xF0, 0x01, 0x02}, {0xF0, 0x03, 0xF7}}, {sysex({0xF0, 0x03, 0xF7})}},
        {"before short",
         {{0xF0, 0x01, 0x02}, {0x90, 0x40, 0x7F}},
         {shortMessage({0x90, 0x40, 0x7F})}},
        {"twice", {{0xF0, 0x01}, {0xF0, 0x02}, {0xF0, 0x04, 0xF7}}, {sysex({0xF0, 0x04, 0xF7})}},
    };
    for (const auto& c : cases) {
        for (const Bytes& message : c.sent)
            send(message);
        EXPECT_EQ(receiveUpToMarker(), c.expected) << c.name;
    }
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
    std::vector<ReportedError> errors;
    input.onError([&](int code, const std::string& message) { errors.push_back({code, message}); });
    for (const int device : {-1, 999, input.deviceCount()}) {
        errors.clear();
        input.selectDevice(device);
        EXPECT_EQ(input.deviceName(), "") << device;
        EXPECT_NO_THROW(input.open());
        EXPECT_TRUE(errors.empty()) << "reported from inside open()";
        ASSERT_TRUE(waitUntil([&] { return !errors.empty(); })) << device;
        EXPECT_GT(errors.front().code, 0);
        EXPECT_NE(errors.front().message.find(std::to_string(device)), std::string::npos);
        EXPECT_EQ(input.openState(), MidiInput::OpenState::Closed);
    }
}

} // namespace
} // namespace vtl
