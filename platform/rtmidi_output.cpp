#include "platform/rtmidi_output.h"

namespace vtl {

RtMidiOutput::RtMidiOutput(MidiApi api, std::string name)
    : reports_(owner_,
               [this](int code, const std::string& message) { NotifyError(code, message); }),
      api_(RtMidiApi(api)), name_(std::move(name)) {
    Create();
}

RtMidiOutput::~RtMidiOutput() = default;

void RtMidiOutput::Create() {
    reports_.Attempt([&] {
        midi_ = std::make_unique<RtMidiOut>(api_, name_);
        reports_.Watch(*midi_);
    });
}

bool RtMidiOutput::HasVirtualPort() {
    if (!midi_) return false;
    const RtMidi::Api api = midi_->getCurrentApi();
    return HasVirtualPorts(api) && (api != RtMidi::UNIX_JACK || JackServerRuns());
}

bool RtMidiOutput::JackServerRuns() {
    // Without a server RtMidi's JACK client only warns, each time it tries to connect, and
    // lists no ports; it cannot make a virtual port either.
    bool warned = false;
    midi_->setErrorCallback(
        [](RtMidiError::Type type, const std::string&, void* flag) {
            if (type == RtMidiError::WARNING) *static_cast<bool*>(flag) = true;
        },
        &warned);
    midi_->getPortCount();
    reports_.Watch(*midi_);
    return !warned;
}

int RtMidiOutput::DeviceCount() {
    unsigned count = 0;
    if (midi_) reports_.Attempt([&] { count = midi_->getPortCount(); });
    return static_cast<int>(count);
}

std::string RtMidiOutput::DeviceName() {
    if (device_ == kDefaultDevice) return HasVirtualPort() ? name_ : std::string();
    std::string name;
    if (device_ >= 0 && device_ < DeviceCount())
        reports_.Attempt([&] { name = midi_->getPortName(static_cast<unsigned>(device_)); });
    return name;
}

void RtMidiOutput::Open() {
    Close();
    if (!midi_) {
        reports_.Report(RtMidiErrorCode(RtMidiError::DRIVER_ERROR),
                        "The MIDI output could not be set up.");
        return;
    }
    if (device_ == kDefaultDevice && HasVirtualPort()) {
        open_ = virtualOpen_ = reports_.Attempt([&] { midi_->openVirtualPort(name_); });
        return;
    }
    if (!reports_.DeviceExists(device_, DeviceCount(), "output")) return;
    open_ = reports_.Attempt([&] { midi_->openPort(static_cast<unsigned>(device_), name_); }) &&
            midi_->isPortOpen();
    if (!open_) reports_.Attempt([&] { midi_->closePort(); });
}

void RtMidiOutput::Close() {
    if (!open_) return;
    reports_.Attempt([&] { midi_->closePort(); });
    open_ = false;
    if (virtualOpen_) {
        // Some systems keep a virtual port until its client goes: start with a fresh client.
        virtualOpen_ = false;
        midi_.reset();
        Create();
    }
}

void RtMidiOutput::SendSysEx(std::span<const std::uint8_t> message) {
    if (!open_ || message.empty()) return;
    reports_.Attempt([&] { midi_->sendMessage(message.data(), message.size()); });
}

} // namespace vtl
