#pragma once
// The MIDI input on a real port through RtMidi. Messages arrive on RtMidi's thread; they are
// cut into whole messages, filtered, kept in a bounded list under a lock, and announced to the
// owner's thread with a queued call, where the message handler drains them.

#include "link/midi_io.h"
#include "link/midi_stream.h"
#include "link/product.h"
#include "platform/rtmidi_support.h"

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>

namespace vtl {

class RtMidiInput final : public MidiInput {
public:
    // The name is this program's client and port name in the MIDI system.
    explicit RtMidiInput(MidiApi api = MidiApi::Automatic,
                         std::string name = std::string(kProductName) + " In");
    ~RtMidiInput() override;
    RtMidiInput(const RtMidiInput&) = delete;
    RtMidiInput& operator=(const RtMidiInput&) = delete;

    int DeviceCount() override;
    void SelectDevice(int number) override;
    std::string DeviceName() override;

    OpenState State() override { return state_; }
    // The most messages kept waiting; later ones are dropped with a warning until the
    // waiting list has been emptied.
    void SetBufferSize(int messages) override;
    void Open() override;
    void Close() override;
    void StartReceiving() override;
    void StopReceiving() override;
    // Takes any realtime status, F8 to FF; other status bytes are left alone.
    void SetRealtimeFilter(std::uint8_t status, bool on) override;

    int PendingCount() override;
    Bytes OldestSysEx() override;
    std::array<std::uint8_t, 3> OldestShort() override;
    void DiscardOldest() override;

private:
    static void OnReceived(double, std::vector<unsigned char>* chunk, void* self);
    // On RtMidi's thread.
    void Accept(std::span<const std::uint8_t> chunk);
    // On the owner's thread.
    void Deliver();

    // Construction.
    OwnerThread owner_;
    RtMidiReports reports_;
    std::string name_;

    // Owner's thread only.
    int device_ = 0;
    OpenState state_ = OpenState::Closed;
    bool inHandler_ = false;
    bool arrivedInHandler_ = false;

    // Shared with RtMidi's thread.
    std::atomic<bool> deliveryPosted_{false};
    std::mutex mutex_; // guards the members below
    bool receiving_ = false;
    std::uint8_t realtimeFilter_ = 0; // bit n set: status F8 + n is dropped
    MidiStreamParser parser_;
    std::deque<Bytes> pending_;
    std::size_t capacity_ = 1024;
    bool overflowReported_ = false;

    // Last, so that it goes first: no callback runs once it is destroyed.
    std::unique_ptr<RtMidiIn> midi_;
};

} // namespace vtl
