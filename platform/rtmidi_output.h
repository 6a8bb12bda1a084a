#pragma once
// The MIDI output on a real port through RtMidi. Device -1 is this program's own virtual
// output port, which a patchbay (aconnect, qpwgraph, jack_connect) wires to the MCU chain;
// where the MIDI system has no virtual ports, or cannot be reached (no JACK server), there is
// no device -1: it has no name and does not open.

#include "link/midi_io.h"
#include "link/product.h"
#include "platform/rtmidi_support.h"

#include <memory>

namespace vtl {

class RtMidiOutput final : public MidiOutput {
public:
    // The name is this program's client and port name in the MIDI system, and so the name of
    // the virtual output port.
    explicit RtMidiOutput(MidiApi api = MidiApi::Automatic,
                          std::string name = std::string(kProductName));
    ~RtMidiOutput() override;
    RtMidiOutput(const RtMidiOutput&) = delete;
    RtMidiOutput& operator=(const RtMidiOutput&) = delete;

    int DeviceCount() override;
    void SelectDevice(int number) override { device_ = number; }
    std::string DeviceName() override;

    bool IsOpen() override { return open_; }
    void Open() override;
    void Close() override;
    // Does nothing while the output is closed.
    void SendSysEx(std::span<const std::uint8_t> message) override;

private:
    void Create();
    bool HasVirtualPort();
    bool JackServerRuns();

    OwnerThread owner_;
    RtMidiReports reports_;
    RtMidi::Api api_;
    std::string name_;
    int device_ = kDefaultDevice;
    bool open_ = false;
    bool virtualOpen_ = false;
    std::unique_ptr<RtMidiOut> midi_;
};

} // namespace vtl
