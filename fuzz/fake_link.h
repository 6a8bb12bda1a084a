#pragma once
// What the transfer controller talks to, for driving it from fuzzed bytes: ports that hold
// what the harness makes arrive, check what leaves and fail or vanish when told, a status
// window that checks the progress it is shown, and a host whose setup dialog answers from
// the input.

#include "fuzz_check.h"
#include "link/link_host.h"
#include "link/midi_io.h"
#include "link/midi_settings.h"
#include "link/transfer_progress.h"
#include "sysex/messages.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <deque>
#include <string>

namespace vtl::fuzz {

// The device list and the errors inputs and outputs share. Devices come and go as the input
// says; selecting one that is not there is allowed, as it is on the real ports, and names none.
template <class Port> class FakeDevices : public Port {
public:
    explicit FakeDevices(int devices) : devices_(devices) {}
    void Replug(int devices) { devices_ = devices; }
    void Fail(int code) { this->notifyError(code, "the fuzzed device failed"); }

    int deviceCount() override { return devices_; }
    void selectDevice(int number) override { selected_ = number; }
    std::string deviceName() override {
        return selected_ >= -1 && selected_ < devices_ ? "device " + std::to_string(selected_)
                                                       : std::string();
    }

private:
    int devices_;
    int selected_ = 0;
};

// Delivers what arrives whether or not it is open: a chain may answer late.
class FakeInput : public FakeDevices<MidiInput> {
public:
    using FakeDevices::FakeDevices;

    void Arrive(Bytes message) {
        if (message.empty()) return;
        pending_.push_back(std::move(message));
        notifyMessage();
    }

    OpenState openState() override { return state_; }
    void setBufferSize(int) override {}
    void open() override { state_ = OpenState::Open; }
    void close() override { state_ = OpenState::Closed; }
    void startReceiving() override { state_ = OpenState::Receiving; }
    void stopReceiving() override { state_ = OpenState::Open; }
    void setRealtimeFilter(std::uint8_t, bool) override {}
    int pendingCount() override { return static_cast<int>(pending_.size()); }
    Bytes oldestSysEx() override { return Oldest().front() == kSysExStart ? Oldest() : Bytes{}; }
    std::array<std::uint8_t, 3> oldestShort() override {
        std::array<std::uint8_t, 3> bytes{};
        std::copy_n(Oldest().begin(), std::min<std::size_t>(3, Oldest().size()), bytes.begin());
        return bytes;
    }
    void discardOldest() override {
        Oldest();
        pending_.pop_front();
    }

private:
    const Bytes& Oldest() const {
        Require(!pending_.empty(), "a message is taken from an empty input");
        return pending_.front();
    }

    OpenState state_ = OpenState::Closed;
    std::deque<Bytes> pending_;
};

// Keeps the last message sent, for the chain to echo.
class FakeOutput : public FakeDevices<MidiOutput> {
public:
    using FakeDevices::FakeDevices;
    const Bytes& lastSent() const { return lastSent_; }

    bool isOpen() override { return open_; }
    void open() override { open_ = true; }
    void close() override { open_ = false; }
    // A status byte inside a SysEx message would end it on the wire.
    void sendSysEx(std::span<const std::uint8_t> message) override {
        Require(message.size() >= 2 && message.front() == kSysExStart &&
                    message.back() == kSysExEnd &&
                    std::all_of(message.begin() + 1, message.end() - 1,
                                [](std::uint8_t b) { return b < 0x80; }),
                "a message leaves that is not one whole SysEx message");
        lastSent_.assign(message.begin(), message.end());
    }

private:
    bool open_ = false;
    Bytes lastSent_;
};

// The figures a status window shows never run past their totals.
class FakeStatus : public StatusSink {
public:
    // The user closes the window.
    void Close() { visible_ = false; }

    void setCaption(const std::string&) override {}
    void setText(const std::string&) override {}
    void append(const std::string&) override {}
    void centre() override {}
    void show() override { visible_ = true; }
    void hide() override { visible_ = false; }
    void unload() override { visible_ = false; }
    bool isVisible() const override { return visible_; }
    void setProgress(const TransferProgress& p) override {
        (void)ProgressSummary(p); // the line the window shows under its bar
        Require(p.done >= 0 && p.done <= p.total, "progress runs past its total");
        Require(p.manualDone >= 0 && p.manualDone <= p.manualTotal,
                "a manual's progress runs past its total");
        Require(p.manual >= 0 && p.manual <= p.manuals && p.manualsDone <= p.manuals,
                "progress names a manual that is not counted");
    }

private:
    bool visible_ = false;
};

// Counts the layouts of a whole console read.
class FakeView : public ConsoleDisplay {
public:
    int layouts = 0;
    void ShowManuals() override { ++layouts; }
    void SetCommandsDataLoaded() override {}
    void ShowReading() override {}
    void ShowConsoleKept() override {}
};

// Sees every message as the traffic trace does.
class FakeTraffic : public TrafficListener {
public:
    void Traffic(long, Direction, std::span<const std::uint8_t> message) override {
        Require(!message.empty(), "an empty message is traced");
    }
};

// The setup dialog offers only the devices there are, and the user may cancel it.
class FakeHost : public LinkHost {
public:
    FakeHost(FuzzedDataProvider& choices, MidiSettings& settings, MidiInput& input,
             MidiOutput& output)
        : choices_(choices), settings_(settings), input_(input), output_(output) {}

    bool ChooseMidiDevices() override {
        if (input_.deviceCount() < 1 || !choices_.ConsumeBool()) return false;
        settings_.midiInSetting = choices_.ConsumeIntegralInRange(1, input_.deviceCount());
        settings_.midiOutSetting = choices_.ConsumeIntegralInRange(1, output_.deviceCount() + 1);
        return true;
    }
    void ShowMessage(const std::string&) override {}
    void WriteLog(const std::string&) override {}
    void ReportConversionError(const std::string&) override {}

private:
    FuzzedDataProvider& choices_;
    MidiSettings& settings_;
    MidiInput& input_;
    MidiOutput& output_;
};

} // namespace vtl::fuzz
