#pragma once
// What the transfer controller talks to, for driving it from fuzzed bytes: ports that hold
// what the harness makes arrive, check what leaves and fail or vanish when told, an observer
// that checks the progress it is told, and a setup dialog that answers from the input.

#include "fuzz_check.h"
#include "link/midi_io.h"
#include "link/midi_settings.h"
#include "link/traffic_listener.h"
#include "link/transfer_progress.h"
#include "link/transfer_report.h"
#include "session/transfer_text.h"
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
    void Fail(int code) { this->NotifyError(code, "the fuzzed device failed"); }

    int DeviceCount() override { return devices_; }
    void SelectDevice(int number) override { selected_ = number; }
    std::string DeviceName() override {
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
        NotifyMessage();
    }

    OpenState State() override { return state_; }
    void SetBufferSize(int) override {}
    void Open() override { state_ = OpenState::Open; }
    void Close() override { state_ = OpenState::Closed; }
    void StartReceiving() override { state_ = OpenState::Receiving; }
    void StopReceiving() override { state_ = OpenState::Open; }
    void SetRealtimeFilter(std::uint8_t, bool) override {}
    int PendingCount() override { return static_cast<int>(pending_.size()); }
    Bytes OldestSysEx() override { return Oldest().front() == kSysExStart ? Oldest() : Bytes{}; }
    std::array<std::uint8_t, 3> OldestShort() override {
        std::array<std::uint8_t, 3> bytes{};
        std::copy_n(Oldest().begin(), std::min<std::size_t>(3, Oldest().size()), bytes.begin());
        return bytes;
    }
    void DiscardOldest() override {
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
    const Bytes& LastSent() const { return lastSent_; }

    bool IsOpen() override { return open_; }
    void Open() override { open_ = true; }
    void Close() override { open_ = false; }
    // A status byte inside a SysEx message would end it on the wire.
    void SendSysEx(std::span<const std::uint8_t> message) override {
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

// Every report is worded; the progress figures never run past their totals. Counts the
// consoles a read made whole.
class FakeObserver : public TransferObserver {
public:
    int consolesRead = 0;

    void Report(const TransferReport& report) override {
        (void)TextEdits(report);
        (void)MessageText(report);
        if (const auto* waiting = std::get_if<StillWaiting>(&report))
            (void)WaitText(waiting->diagnosis);
        if (std::holds_alternative<ConsoleRead>(report)) ++consolesRead;
        const auto* p = std::get_if<TransferProgress>(&report);
        if (!p) return;
        (void)ProgressSummary(*p); // the line shown under the bar
        Require(p->done >= 0 && p->done <= p->total, "progress runs past its total");
        Require(p->manualDone >= 0 && p->manualDone <= p->manualTotal,
                "a manual's progress runs past its total");
        Require(p->manual >= 0 && p->manual <= p->manuals && p->manualsDone <= p->manuals,
                "progress names a manual that is not counted");
    }
};

// Sees every message as the traffic trace does.
class FakeTraffic : public TrafficListener {
public:
    void Traffic(long, Direction, std::span<const std::uint8_t> message) override {
        Require(!message.empty(), "an empty message is traced");
    }
};

// The setup dialog offers only the devices there are, and the user may cancel it.
inline ChooseDevices FakeSetup(FuzzedDataProvider& choices, MidiSettings& settings,
                               MidiInput& input, MidiOutput& output) {
    return [&choices, &settings, &input, &output] {
        if (input.DeviceCount() < 1 || !choices.ConsumeBool()) return false;
        settings.midiInSetting = choices.ConsumeIntegralInRange(1, input.DeviceCount());
        settings.midiOutSetting = choices.ConsumeIntegralInRange(1, output.DeviceCount() + 1);
        return true;
    };
}

} // namespace vtl::fuzz
