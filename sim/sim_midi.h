#pragma once
// A MIDI input and output wired to an MCU chain in the same process, so the link, the
// command-line tool and the tests run without a MIDI device. Each offers one device.
//
// Delivery follows the 100 ms tick: what the output sends goes through the chain at once,
// but reaches the input's pending queue only when advance() is called, which raises the
// input's message event. Nothing is ever delivered from inside sendSysEx, so a run with
// the same sends and ticks always ends the same.

#include "link/midi_io.h"
#include "sim/mcu_chain.h"

#include <deque>
#include <vector>

namespace vtl {

inline constexpr const char* kSimDeviceName = "VTL chain (simulated)";

// The end of the chain at the PC's MIDI input.
class SimMidiInput : public MidiInput {
public:
    static constexpr int kDefaultBufferSize = 1024;

    // The chain must outlive the input.
    explicit SimMidiInput(McuChain& chain);

    // None once the chain's device has vanished.
    int DeviceCount() override;
    void SelectDevice(int number) override { device_ = number; }
    std::string DeviceName() override;

    OpenState State() override { return state_; }
    void SetBufferSize(int messages) override { bufferSize_ = messages; }
    // Fails with an error event when no device is selected.
    void Open() override;
    // Waiting messages are lost.
    void Close() override;
    void StartReceiving() override;
    void StopReceiving() override;
    // The chain sends no realtime messages, so there is nothing to filter.
    void SetRealtimeFilter(std::uint8_t, bool) override {}

    int PendingCount() override { return static_cast<int>(pending_.size()); }
    Bytes OldestSysEx() override;
    // What the console played: its status and data bytes, padded with 0.
    std::array<std::uint8_t, 3> OldestShort() override;
    void DiscardOldest() override;

    // Call once per tick, before the link's tick: lets the chain's time move on one tick,
    // moves everything that has reached the PC into the pending queue (while the input is
    // receiving; otherwise it is lost, as is what overflows the buffer) and raises the
    // message event once when messages are waiting.
    void Advance();

    // What the chain returned for a send or for the console played, to be delivered by the
    // next advance().
    void Arrive(std::vector<Bytes> messages);

private:
    McuChain& chain_;
    int device_ = 0;
    OpenState state_ = OpenState::Closed;
    int bufferSize_ = kDefaultBufferSize;
    std::vector<Bytes> inFlight_;
    std::deque<Bytes> pending_;
};

// The start of the chain at the PC's MIDI output.
class SimMidiOutput : public MidiOutput {
public:
    // The chain and the input must outlive the output.
    SimMidiOutput(McuChain& chain, SimMidiInput& input);

    // Device 0 is the chain; the default device -1 leads there too.
    int DeviceCount() override;
    void SelectDevice(int number) override { device_ = number; }
    std::string DeviceName() override;

    bool IsOpen() override { return open_; }
    // Fails with an error event when no device is selected.
    void Open() override;
    void Close() override { open_ = false; }
    // Passes the message through the chain; dropped while the output is closed or the chain's
    // device has vanished, refused with an error event while the device refuses.
    void SendSysEx(std::span<const std::uint8_t> message) override;

private:
    McuChain& chain_;
    SimMidiInput& input_;
    int device_ = 0;
    bool open_ = false;
};

} // namespace vtl
