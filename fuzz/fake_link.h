#pragma once
// What the transfer controller talks to, for driving it from fuzzed bytes: ports that hold
// what the harness makes arrive and check what leaves, a status window that checks the
// progress it is shown, and a host whose setup dialog answers from the input.

#include "fuzz_check.h"
#include "link/link_host.h"
#include "link/midi_io.h"
#include "link/midi_settings.h"
#include "link/transfer_progress.h"
#include "sysex/messages.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <deque>

namespace vtl::fuzz {

// Delivers what arrives whether or not it is open: a chain may answer late.
class FakeInput : public MidiInput {
public:
    explicit FakeInput(int devices) : devices_(devices) {}

    void Arrive(Bytes message) {
        if (message.empty()) return;
        pending_.push_back(std::move(message));
        notifyMessage();
    }

    int deviceCount() override { return devices_; }
    void selectDevice(int number) override {
        Require(number >= 0 && number < devices_, "an input that is not there is selected");
    }
    std::string deviceName() override { return "fuzz in"; }
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

    int devices_;
    OpenState state_ = OpenState::Closed;
    std::deque<Bytes> pending_;
};

// Keeps the last message sent, for the chain to echo.
class FakeOutput : public MidiOutput {
public:
    explicit FakeOutput(int devices) : devices_(devices) {}
    const Bytes& lastSent() const { return lastSent_; }

    int deviceCount() override { return devices_; }
    void selectDevice(int number) override {
        Require(number >= kDefaultDevice && number < devices_,
                "an output that is not there is selected");
    }
    std::string deviceName() override { return "fuzz out"; }
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
    int devices_;
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
        Require(p.done >= 0 && p.done <= p.total, "progress runs past its total");
        Require(p.manualDone >= 0 && p.manualDone <= p.manualTotal,
                "a manual's progress runs past its total");
        Require(p.manual >= 0 && p.manual <= p.manuals && p.manualsDone <= p.manuals,
                "progress names a manual that is not counted");
    }

private:
    bool visible_ = false;
};

class FakeView : public ConsoleView {
public:
    void ShowManuals() override {}
    void SetCommandsDataLoaded() override {}
    void ShowReading() override {}
    void ShowConsoleKept() override {}
};

// The setup dialog offers only the devices there are, and the user may cancel it.
class FakeHost : public LinkHost {
public:
    FakeHost(FuzzedDataProvider& choices, MidiSettings& settings, int inputs, int outputs)
        : choices_(choices), settings_(settings), inputs_(inputs), outputs_(outputs) {}

    bool ChooseMidiDevices() override {
        if (inputs_ < 1 || !choices_.ConsumeBool()) return false;
        settings_.midiInSetting = choices_.ConsumeIntegralInRange(1, inputs_);
        settings_.midiOutSetting = choices_.ConsumeIntegralInRange(1, outputs_ + 1);
        return true;
    }
    void ShowMessage(const std::string&) override {}
    void WriteLog(const std::string&) override {}
    void ReportConversionError(const std::string&) override {}

private:
    FuzzedDataProvider& choices_;
    MidiSettings& settings_;
    int inputs_;
    int outputs_;
};

} // namespace vtl::fuzz
