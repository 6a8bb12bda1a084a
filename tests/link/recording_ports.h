#pragma once
// MIDI ports that only record what the link does with them.

#include "link/midi_io.h"

#include <string>
#include <vector>

namespace vtl::test {

class RecordingInput : public MidiInput {
public:
    explicit RecordingInput(int devices) : devices_(devices) {}
    int DeviceCount() override { return devices_; }
    void SelectDevice(int number) override { calls.push_back("select " + std::to_string(number)); }
    std::string DeviceName() override { return "in"; }
    OpenState State() override { return state; }
    void SetBufferSize(int) override {}
    void Open() override {
        calls.push_back("open");
        state = OpenState::Open;
    }
    void Close() override {
        calls.push_back("close");
        state = OpenState::Closed;
    }
    void StartReceiving() override {
        calls.push_back("start");
        state = OpenState::Receiving;
    }
    void StopReceiving() override {
        calls.push_back("stop");
        state = OpenState::Open;
    }
    void SetRealtimeFilter(std::uint8_t, bool on) override { filtersOn = on; }
    int PendingCount() override { return 0; }
    Bytes OldestSysEx() override { return {}; }
    std::array<std::uint8_t, 3> OldestShort() override { return {}; }
    void DiscardOldest() override {}

    std::vector<std::string> calls;
    OpenState state = OpenState::Closed;
    bool filtersOn = false;

private:
    int devices_;
};

class RecordingOutput : public MidiOutput {
public:
    explicit RecordingOutput(int devices) : devices_(devices) {}
    int DeviceCount() override { return devices_; }
    void SelectDevice(int number) override { calls.push_back("select " + std::to_string(number)); }
    std::string DeviceName() override { return "out"; }
    bool IsOpen() override { return open_; }
    void Open() override {
        calls.push_back("open");
        open_ = true;
    }
    void Close() override {
        calls.push_back("close");
        open_ = false;
    }
    void SendSysEx(std::span<const std::uint8_t> message) override {
        sent.emplace_back(message.begin(), message.end());
    }
    void Fail(int code, const std::string& message) { NotifyError(code, message); }

    std::vector<std::string> calls;
    std::vector<Bytes> sent;

private:
    int devices_;
    bool open_ = false;
};

} // namespace vtl::test
