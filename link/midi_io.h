#pragma once
// The MIDI input and output the MCU link talks through. One real implementation uses
// RtMidi (ALSA or JACK); the MCU chain simulator implements the same interfaces, so the
// link never knows whether a real port is there.
//
// Threading: every member is called on the thread that owns the object, and every
// handler is invoked on that thread, never from inside a call into the object itself.

#include "sysex/bytes.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace vtl {

// What inputs and outputs share: the device list and the error event.
class MidiPort {
public:
    virtual ~MidiPort() = default;

    virtual int DeviceCount() = 0;
    // Selects a device for the next open: 0 to deviceCount() - 1 (outputs also take -1).
    virtual void SelectDevice(int number) = 0;
    // Name of the selected device; empty when there is none.
    virtual std::string DeviceName() = 0;

    // Called when the port fails: code 0 for a warning, above 0 for an error. Library errors
    // never escape as exceptions.
    void OnError(std::function<void(int code, const std::string& message)> handler) {
        errorHandler_ = std::move(handler);
    }

protected:
    void NotifyError(int code, const std::string& message) {
        if (errorHandler_) errorHandler_(code, message);
    }

private:
    std::function<void(int, const std::string&)> errorHandler_;
};

class MidiInput : public MidiPort {
public:
    enum class OpenState { Closed, Open, Receiving };

    virtual OpenState State() = 0;
    virtual void SetBufferSize(int messages) = 0;
    virtual void Open() = 0;
    virtual void Close() = 0;
    virtual void StartReceiving() = 0;
    virtual void StopReceiving() = 0;
    // Drops incoming realtime messages with this status byte (F8, FE, F9) while on.
    virtual void SetRealtimeFilter(std::uint8_t status, bool on) = 0;

    // Received messages wait in arrival order; a SysEx message arrives whole, F0 to F7.
    virtual int PendingCount() = 0;
    // The oldest waiting message when it is SysEx; empty for a short message.
    virtual Bytes OldestSysEx() = 0;
    // Status and data bytes of the oldest waiting short message.
    virtual std::array<std::uint8_t, 3> OldestShort() = 0;
    virtual void DiscardOldest() = 0;

    // Called when messages are waiting.
    void OnMessage(std::function<void()> handler) { messageHandler_ = std::move(handler); }

protected:
    void NotifyMessage() {
        if (messageHandler_) messageHandler_();
    }

private:
    std::function<void()> messageHandler_;
};

// Active sensing, clock and tick would flood the receive path; the link filters them out.
inline constexpr std::array<std::uint8_t, 3> kFilteredRealtime{0xf9, 0xfe, 0xf8};
inline void SetRealtimeFilters(MidiInput& input, bool on) {
    for (auto status : kFilteredRealtime)
        input.SetRealtimeFilter(status, on);
}

class MidiOutput;

// At shutdown: a receiving input stops, an open one closes, and the output closes whether or
// not it was ever opened; an input never opened is given no command.
void CloseLink(MidiInput& input, MidiOutput& output);

class MidiOutput : public MidiPort {
public:
    // Device -1 is the platform's default output.
    static constexpr int kDefaultDevice = -1;

    virtual bool IsOpen() = 0;
    virtual void Open() = 0;
    virtual void Close() = 0;
    // Sends one complete SysEx message unchanged.
    virtual void SendSysEx(std::span<const std::uint8_t> message) = 0;
};

inline void CloseLink(MidiInput& input, MidiOutput& output) {
    if (input.State() == MidiInput::OpenState::Receiving) input.StopReceiving();
    if (input.State() != MidiInput::OpenState::Closed) input.Close();
    output.Close();
}

} // namespace vtl
