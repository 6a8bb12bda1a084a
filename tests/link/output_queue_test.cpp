#include "link/output_queue.h"

#include "link/messages.h"
#include "recording_host.h"
#include "recording_ports.h"

#include <gtest/gtest.h>

namespace vtl {
namespace {

using test::RecordingHost;
using test::RecordingInput;
using test::RecordingOutput;
using Strings = std::vector<std::string>;

struct PortSetup {
    int inputs;
    int outputs;
    MidiSettings settings;
};

struct Fixture {
    explicit Fixture(PortSetup s) : input(s.inputs), output(s.outputs), settings(s.settings) {}
    RecordingInput input;
    RecordingOutput output;
    MidiSettings settings;
    RecordingHost host;
    OutputQueue queue{input, output, settings, host};
};

TEST(OutputQueue, LinkInitialisationAndPortOpening) {
    struct Case {
        const char* name;
        PortSetup setup;
        MidiSettings expectedSettings;
        bool opensLink;
        Strings inputCalls;
        Strings outputCalls;
    };
    const Case cases[] = {
        {"input none", {2, 2, {0, 3}}, {0, 3}, false, {}, {}},
        {"output none", {2, 2, {1, 0}}, {1, 0}, false, {}, {}},
        {"output setting 1 is the default output", {1, 1, {1, 1}}, {1, 1}, true,
         {"select 0", "open", "start"}, {"select -1", "open"}},
        {"input setting 2 opens device 1", {2, 1, {2, 2}}, {2, 2}, true,
         {"select 1", "open", "start"}, {"select 0", "open"}},
        {"settings beyond the devices fall back to the first", {1, 2, {5, 9}}, {1, 1}, true,
         {"select 0", "open", "start"}, {"select -1", "open"}},
        {"settings beyond no devices fall back to none", {0, 0, {5, 9}}, {0, 0}, false, {}, {}},
        {"no outputs still leaves the default output", {1, 0, {1, 1}}, {1, 1}, true,
         {"select 0", "open", "start"}, {"select -1", "open"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f(c.setup);
        f.queue.Queue(TagMessage(1));
        EXPECT_EQ(f.settings.midiInSetting, c.expectedSettings.midiInSetting);
        EXPECT_EQ(f.settings.midiOutSetting, c.expectedSettings.midiOutSetting);
        EXPECT_EQ(f.queue.linkReady(), c.opensLink);
        EXPECT_EQ(f.queue.size(), c.opensLink ? 2u : 1u);

        // The first pump opens the ports when the link was initialised, else sends at once.
        auto pumped = f.queue.Pump();
        ASSERT_TRUE(pumped);
        EXPECT_EQ(pumped->sent.has_value(), !c.opensLink);
        EXPECT_EQ(f.input.calls, c.inputCalls);
        EXPECT_EQ(f.output.calls, c.outputCalls);
        if (c.opensLink) {
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
    Fixture f({1, 1, {0, 0}});
    f.queue.Queue(TagMessage(1));
    EXPECT_FALSE(f.queue.linkReady());
    f.settings = {1, 2}; // chosen in the setup dialog meanwhile
    f.queue.Queue(TagMessage(1));
    EXPECT_TRUE(f.queue.linkReady());
    EXPECT_EQ(f.queue.size(), 3u); // message, "open", message
}

TEST(OutputQueue, ClosingTheInputReopensBothPortsBeforeTheNextMessage) {
    Fixture f({1, 1, {1, 2}});
    f.queue.Queue(TagMessage(1));
    while (f.queue.Pump()) {
    }
    f.queue.CloseInput();
    EXPECT_EQ(f.input.state, MidiInput::OpenState::Closed);
    EXPECT_FALSE(f.input.filtersOn);
    EXPECT_FALSE(f.queue.linkReady());

    f.input.calls.clear();
    f.output.calls.clear();
    f.queue.Queue(McuRebootMessage(1));
    ASSERT_EQ(f.queue.size(), 2u);
    EXPECT_FALSE(f.queue.Pump()->sent);
    EXPECT_EQ(f.input.calls, (Strings{"select 0", "open", "start"}));
    EXPECT_EQ(f.output.calls, (Strings{"close", "select 0", "open"}));
    EXPECT_EQ(f.queue.Pump()->sent, McuRebootMessage(1));
}

TEST(OutputQueue, ContainsOnlyUnsentMessages) {
    Fixture f({1, 1, {1, 2}});
    f.queue.Queue(TagMessage(1));
    EXPECT_TRUE(f.queue.Contains(TagMessage(1)));
    EXPECT_FALSE(f.queue.Contains(TagMessage(2)));
    f.queue.Pump();
    f.queue.Pump();
    EXPECT_FALSE(f.queue.Contains(TagMessage(1)));
}

TEST(OutputQueue, OutputErrorsAreLoggedAndShownUnlessSilent) {
    struct Case {
        int code;
        bool shown;
    };
    for (const auto c : {Case{3, true}, Case{8, false}, Case{0, false}}) {
        SCOPED_TRACE(c.code);
        Fixture f({1, 1, {1, 2}});
        f.output.fail(c.code, "port vanished");
        EXPECT_EQ(f.host.log, Strings{"MIDI error opening MIDI tx stream."});
        EXPECT_EQ(f.host.messages, c.shown ? Strings{"port vanished"} : Strings{});
    }
}

} // namespace
} // namespace vtl
