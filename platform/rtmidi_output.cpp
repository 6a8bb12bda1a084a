#include "platform/rtmidi_output.h"

namespace vtl {

RtMidiOutput::RtMidiOutput(MidiApi api, std::string name)
    : reports_(owner_,
               [this](int code, const std::string& message) { notifyError(code, message); }),
      api_(rtMidiApi(api)), name_(std::move(name)) {
    create();
}

RtMidiOutput::~RtMidiOutput() = default;

void RtMidiOutput::create() {
    reports_.attempt([&] {
        midi_ = std::make_unique<RtMidiOut>(api_, name_);
        reports_.watch(*midi_);
    });
}

bool RtMidiOutput::hasVirtualPort() {
    if (!midi_) return false;
    const RtMidi::Api api = midi_->getCurrentApi();
    return HasVirtualPorts(api) && (api != RtMidi::UNIX_JACK || jackServerRuns());
}

bool RtMidiOutput::jackServerRuns() {
    // Without a server RtMidi's JACK client only warns, each time it tries to connect, and
    // lists no ports; it cannot make a virtual port either.
    bool warned = false;
    midi_->setErrorCallback(
        [](RtMidiError::Type type, const std::string&, void* flag) {
            if (type == RtMidiError::WARNING) *static_cast<bool*>(flag) = true;
        },
        &warned);
    midi_->getPortCount();
    reports_.watch(*midi_);
    return !warned;
}

int RtMidiOutput::deviceCount() {
    unsigned count = 0;
    if (midi_) reports_.attempt([&] { count = midi_->getPortCount(); });
    return static_cast<int>(count);
}

std::string RtMidiOutput::deviceName() {
    if (device_ == kDefaultDevice) return hasVirtualPort() ? name_ : std::string();
    std::string name;
    if (device_ >= 0 && device_ < deviceCount())
        reports_.attempt([&] { name = midi_->getPortName(static_cast<unsigned>(device_)); });
    return name;
}

void RtMidiOutput::open() {
    close();
    if (!midi_) {
        reports_.report(rtMidiErrorCode(RtMidiError::DRIVER_ERROR),
                        "The MIDI output could not be set up.");
        return;
    }
    if (device_ == kDefaultDevice && hasVirtualPort()) {
        open_ = virtualOpen_ = reports_.attempt([&] { midi_->openVirtualPort(name_); });
        return;
    }
    if (!reports_.deviceExists(device_, deviceCount(), "output")) return;
    open_ = reports_.attempt([&] { midi_->openPort(static_cast<unsigned>(device_), name_); }) &&
            midi_->isPortOpen();
    if (!open_) reports_.attempt([&] { midi_->closePort(); });
}

void RtMidiOutput::close() {
    if (!open_) return;
    reports_.attempt([&] { midi_->closePort(); });
    open_ = false;
    if (virtualOpen_) {
        // Some systems keep a virtual port until its client goes: start with a fresh client.
        virtualOpen_ = false;
        midi_.reset();
        create();
    }
}

void RtMidiOutput::sendSysEx(std::span<const std::uint8_t> message) {
    if (!open_ || message.empty()) return;
    reports_.attempt([&] { midi_->sendMessage(message.data(), message.size()); });
}

} // namespace vtl
