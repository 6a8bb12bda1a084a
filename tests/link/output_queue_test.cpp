#include "link/output_queue.h"

#include "recording_ports.h"
#include "sysex/messages.h"

#include <gtest/gtest.h>

namespace vtl {
namespace {

using Strings = std::vector<std::string>;

// A queue on recording ports with this many devices and these settings.
struct Fixture {
    Fixture(int inputs, int outputs, MidiSettings s)
        : input(inputs), output(outputs), settings(s) {}
    test::RecordingInput input;
    test::RecordingOutput output;
    MidiSettings settings;
    OutputQueue queue{input, output, settings};
};

TEST(OutputQueue, LinkInitialisationAndPortOpening) {
    constexpr int kClosed = -2; // the link is not opened
    const struct {
        const char* name;
        int inputs, outputs;
        MidiSettings settings;
        int expectedIn, expectedOut, inDevice, outDevice;
    } cases[] = {
        {"input none", 2, 2, {0, 3}, 0, 3, kClosed, kClosed},
        {"output none", 2, 2, {1, 0}, 1, 0, kClosed, kClosed},
        {"output setting 1 is the default output", 1, 1, {1, 1}, 1, 1, 0, -1},
        {"input setting 2 opens device 1", 2, 1, {2, 2}, 2, 2, 1, 0},
        {"settings beyond the devices fall back to the first", 1, 2, {5, 9}, 1, 1, 0, -1},
        {"settings beyond no devices fall back to none", 0, 0, {5, 9}, 0, 0, kClosed, kClosed},
        {"no outputs still leaves the default output", 1, 0, {1, 1}, 1, 1, 0, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool opensLink = c.inDevice != kClosed;
        Fixture f(c.inputs, c.outputs, c.settings);
        f.queue.Queue(TagMessage(1));
        EXPECT_EQ(f.settings.midiInSetting, c.expectedIn);
        EXPECT_EQ(f.settings.midiOutSetting, c.expectedOut);
        EXPECT_EQ(f.queue.LinkReady(), opensLink);
        EXPECT_EQ(f.queue.size(), opensLink ? 2u : 1u);

        // The first pump opens the ports when the link was initialised, else sends at once.
        auto pumped = f.queue.Pump();
        ASSERT_TRUE(pumped);
        EXPECT_EQ(pumped->sent.has_value(), !opensLink);
        const Strings inputCalls{"select " + std::to_string(c.inDevice), "open", "start"};
        const Strings outputCalls{"select " + std::to_string(c.outDevice), "open"};
        EXPECT_EQ(f.input.calls, opensLink ? inputCalls : Strings{});
        EXPECT_EQ(f.output.calls, opensLink ? outputCalls : Strings{});
        if (opensLink) {
            EXPECT_TRUE(f.input.filtersOn);
            pumped = f.queue.Pump();
            ASSERT_TRUE(pumped && pumped->sent);
            EXPECT_TRUE(pumped->wasLast);
        }
        EXPECT_EQ(f.output.sent, std::vector<Bytes>{TagMessage(1)});
        EXPECT_FALSE(f.queue.Pump());
    }
}

TEST(OutputQueue, WithoutDevicesEverySendTriesTheLinkAgain) {
    Fixture f(1, 1, {0, 0});
    f.queue.Queue(TagMessage(1));
    EXPECT_FALSE(f.queue.LinkReady());
    f.settings = {1, 2}; // chosen in the setup dialog meanwhile
    f.queue.Queue(TagMessage(1));
    EXPECT_TRUE(f.queue.LinkReady());
    EXPECT_EQ(f.queue.size(), 3u); // message, "open", message
}

TEST(OutputQueue, ClosingTheInputReopensBothPortsBeforeTheNextMessage) {
    Fixture f(1, 1, {1, 2});
    f.queue.Queue(TagMessage(1));
    while (f.queue.Pump())
        continue;
    f.queue.CloseInput();
    EXPECT_EQ(f.input.state, MidiInput::OpenState::Closed);
    EXPECT_FALSE(f.input.filtersOn);
    EXPECT_FALSE(f.queue.LinkReady());

    f.input.calls.clear();
    f.output.calls.clear();
    f.queue.Queue(McuRebootMessage(1));
    ASSERT_EQ(f.queue.size(), 2u);
    EXPECT_FALSE(f.queue.Pump()->sent);
    EXPECT_EQ(f.input.calls, (Strings{"select 0", "open", "start"}));
    EXPECT_EQ(f.output.calls, (Strings{"close", "select 0", "open"}));
    EXPECT_EQ(f.queue.Pump()->sent, McuRebootMessage(1));
}

// At shutdown an input that was never opened is given no command; the output still closes.
TEST(OutputQueue, ClosingTheLinkAtShutdown) {
    for (const bool opened : {false, true}) {
        Fixture f(1, 1, {1, 2});
        if (opened) {
            f.queue.Queue(TagMessage(1));
            while (f.queue.Pump())
                continue;
        }
        f.input.calls.clear();
        f.output.calls.clear();
        CloseLink(f.input, f.output);
        EXPECT_EQ(f.input.calls, opened ? (Strings{"stop", "close"}) : Strings{}) << opened;
        EXPECT_EQ(f.output.calls, Strings{"close"}) << opened;
    }
}

} // namespace
} // namespace vtl
