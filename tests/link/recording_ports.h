#pragma once
// MIDI ports that only record what the link does with them.

#include "link/midi_io.h"

#include <string>
#include <vector>

namespace vtl::test {

class RecordingInput : public MidiInput {
public:
    explicit RecordingInput(int devices) : devices_(devices) {}
    int deviceCount() override { return devices_; }
    void selectDevice(int number) override { calls.push_back("select " + std::to_string(number)); }
    std::string deviceName() override { return "in"; }
    OpenState openState() override { return state; }
    void setBufferSize(int) override {}
    void open() override {
        calls.push_back("open");
        state = OpenState::Open;
    }
    void close() override {
        calls.push_back("close");
        state = OpenState::Closed;
    }
    void startReceiving() override {
        calls.push_back("start");
        state = OpenState::Receiving;
    }
    void stopReceiving() override {
        calls.push_back("stop");
        state = OpenState::Open;
    }
    void setRealtimeFilter(std::uint8_t, bool on) override { filtersOn = on; }
    int pendingCount() override { return 0; }
    Bytes oldestSysEx() override { return {}; }
    std::array<std::uint8_t, 3> oldestShort() override { return {}; }
    void discardOldest() override {}

    std::vector<std::string> calls;
    OpenState state = OpenState::Closed;
    bool filtersOn = false;

private:
    int devices_;
};

class RecordingOutput : public MidiOutput {
public:
    explicit RecordingOutput(int devices) : devices_(devices) {}
    int deviceCount() override { return devices_; }
    void selectDevice(int number) override { calls.push_back("select " + std::to_string(number)); }
    std::string deviceName() override { return "out"; }
    bool isOpen() override { return open_; }
    void open() override {
        calls.push_back("open");
        open_ = true;
    }
    void close() override {
        calls.push_back("close");
        open_ = false;
    }
    void sendSysEx(std::span<const std::uint8_t> message) override {
        sent.emplace_back(message.begin(), message.end());
    }
    void fail(int code, const std::string& message) { notifyError(code, message); }

    std::vector<std::string> calls;
    std::vector<Bytes> sent;

private:
    int devices_;
    bool open_ = false;
};

} // namespace vtl::test
