// The RtMidi output on the private JACK server: a raw RtMidi virtual input plays the MCU chain
// and records what the output under test sends to it.

#include "platform/midi_ports.h"
#include "platform/rtmidi_output.h"

#include "jack_test_support.h"

#include <gtest/gtest.h>
#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace vtl {
namespace {

using test::UniqueName;
using test::WaitUntil;

bool Listed(const std::vector<std::string>& names, const std::string& text) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& name) {
        return name.find(text) != std::string::npos;
    });
}

// A raw RtMidi input that keeps what it receives. Through a callback and a lock of its own:
// RtMidi's polled queue shares its indices with JACK's thread unsynchronised.
class Recorder {
public:
    explicit Recorder(const std::string& name) : midi_(RtMidi::UNIX_JACK, name) {
        midi_.ignoreTypes(false, false, false);
        midi_.setCallback(&Recorder::Received, this);
    }
    RtMidiIn& Midi() { return midi_; }

    // Everything received so far, oldest first.
    const std::vector<Bytes>& Messages() {
        const std::lock_guard lock(mutex_);
        messages_.insert(messages_.end(), arrived_.begin(), arrived_.end());
        arrived_.clear();
        return messages_;
    }

    // Sends pings through the output until one arrives, then a barrier; returns what arrived
    // before the barrier and forgets it. A new connection may miss what is sent at once.
    std::vector<Bytes> Synchronise(MidiOutput& output) {
        bool arrived = false;
        for (std::uint8_t ping = 0; ping < 100 && !arrived; ++ping) {
            output.SendSysEx(Bytes{0xF0, 0x7D, ping, 0xF7});
            arrived =
                WaitUntil([&] { return !Messages().empty(); }, std::chrono::milliseconds(200));
        }
        EXPECT_TRUE(arrived) << "the connection never carried a message";
        const Bytes barrier{0xF0, 0x7D, 0x7F, 0xF7};
        output.SendSysEx(barrier);
        EXPECT_TRUE(WaitUntil([&] { return !Messages().empty() && Messages().back() == barrier; }));
        std::vector<Bytes> before(messages_.begin(), messages_.end() - 1);
        messages_.clear();
        return before;
    }

private:
    static void Received(double, std::vector<unsigned char>* message, void* self) {
        auto& recorder = *static_cast<Recorder*>(self);
        const std::lock_guard lock(recorder.mutex_);
        recorder.arrived_.push_back(*message);
    }

    std::vector<Bytes> messages_;
    std::mutex mutex_;
    std::vector<Bytes> arrived_; // guarded by mutex_
    RtMidiIn midi_;              // last, so that it goes first: no callback outlives the rest
};

class RtMidiOutputTest : public testing::Test {
protected:
    void SetUp() override {
        sink_.Midi().openVirtualPort(sinkName_);
        output_.OnError([this](int code, const std::string&) { errors_.push_back(code); });
        const int device = test::FindDevice(output_, sinkName_);
        ASSERT_GE(device, 0) << "no output device named " << sinkName_;
        output_.SelectDevice(device);
    }

    const std::string sinkName_ = UniqueName("sink");
    const std::string outputName_ = UniqueName("output");
    Recorder sink_{sinkName_};
    RtMidiOutput output_{MidiApi::Jack, outputName_};
    std::vector<int> errors_;
};

// Nothing is sent while the output is closed; what is sent while open arrives unchanged.
TEST_F(RtMidiOutputTest, SendsSysExUnchangedOnlyWhileOpen) {
    const Bytes early{0xF0, 0x7D, 0x55, 0xF7};
    output_.SendSysEx(early);
    output_.Open();
    ASSERT_TRUE(output_.IsOpen());
    const std::vector<Bytes> before = sink_.Synchronise(output_);
    EXPECT_EQ(std::count(before.begin(), before.end(), early), 0);

    Bytes image(240, 0x11); // longer than any message of the link
    image.front() = 0xF0;
    image.back() = 0xF7;
    const std::vector<Bytes> sent{{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}, image};
    for (const Bytes& message : sent)
        output_.SendSysEx(message);
    ASSERT_TRUE(WaitUntil([&] { return sink_.Messages().size() >= sent.size(); }));
    EXPECT_EQ(sink_.Messages(), sent);
    EXPECT_TRUE(errors_.empty());
}

// The default output is a virtual port that a patchbay client can connect to; the port list
// names it among the inputs while it is open, and the sink among the outputs.
TEST_F(RtMidiOutputTest, DefaultOutputIsAVirtualPortOthersCanConnect) {
    output_.SelectDevice(MidiOutput::kDefaultDevice);
    EXPECT_EQ(output_.DeviceName(), outputName_);
    ASSERT_FALSE(Listed(ListMidiPorts(MidiApi::Jack)->inputs, outputName_));

    output_.Open();
    ASSERT_TRUE(output_.IsOpen());
    const auto ports = ListMidiPorts(MidiApi::Jack);
    ASSERT_TRUE(ports.has_value()) << ports.error().message;
    EXPECT_TRUE(Listed(ports->inputs, outputName_));
    EXPECT_TRUE(Listed(ports->outputs, sinkName_));
    EXPECT_TRUE(ports->warnings.empty());

    Recorder listener(UniqueName("listener"));
    RtMidiIn& patchbay = listener.Midi();
    for (unsigned number = 0; number < patchbay.getPortCount(); ++number) {
        if (patchbay.getPortName(number).find(outputName_) != std::string::npos)
            patchbay.openPort(number);
    }
    ASSERT_TRUE(patchbay.isPortOpen());
    listener.Synchronise(output_);

    output_.Close();
    EXPECT_FALSE(output_.IsOpen());
    EXPECT_FALSE(Listed(ListMidiPorts(MidiApi::Jack)->inputs, outputName_));
    EXPECT_TRUE(errors_.empty());
}

TEST(RtMidiOutput, OpenErrorsArriveThroughOnErrorLater) {
    RtMidiOutput output(MidiApi::Jack, UniqueName("output"));
    test::ExpectOpenErrorsLater(output, {-2, 999, output.DeviceCount()},
                                [&] { return output.IsOpen(); });
}

} // namespace
} // namespace vtl
