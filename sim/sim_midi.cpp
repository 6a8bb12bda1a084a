#include "sim/sim_midi.h"

#include <iterator>

namespace vtl {
namespace {

// The error codes reported when a port is opened without a device, and when the device
// refuses a message.
constexpr int kNoDeviceError = 1;
constexpr int kDeviceError = 2;

int DevicesOf(const McuChain& chain) {
    return chain.deviceFault() == McuChain::DeviceFault::Vanished ? 0 : 1;
}

} // namespace

SimMidiInput::SimMidiInput(McuChain& chain) : chain_(chain) {}

int SimMidiInput::deviceCount() {
    return DevicesOf(chain_);
}

std::string SimMidiInput::deviceName() {
    return device_ == 0 && deviceCount() == 1 ? kSimDeviceName : "";
}

void SimMidiInput::open() {
    if (deviceName().empty()) {
        notifyError(kNoDeviceError,
                    "There is no MIDI input device " + std::to_string(device_) + ".");
        return;
    }
    if (state_ == OpenState::Closed) state_ = OpenState::Open;
}

void SimMidiInput::close() {
    state_ = OpenState::Closed;
    pending_.clear();
}

void SimMidiInput::startReceiving() {
    if (state_ == OpenState::Open) state_ = OpenState::Receiving;
}

void SimMidiInput::stopReceiving() {
    if (state_ == OpenState::Receiving) state_ = OpenState::Open;
}

Bytes SimMidiInput::oldestSysEx() {
    return pending_.empty() ? Bytes{} : pending_.front();
}

void SimMidiInput::discardOldest() {
    if (!pending_.empty()) pending_.pop_front();
}

void SimMidiInput::arrive(std::vector<Bytes> messages) {
    inFlight_.insert(inFlight_.end(), std::make_move_iterator(messages.begin()),
                     std::make_move_iterator(messages.end()));
}

void SimMidiInput::advance() {
    arrive(chain_.tick());
    std::vector<Bytes> arrived = std::move(inFlight_);
    inFlight_.clear();
    if (state_ != OpenState::Receiving || deviceCount() == 0) return;
    for (auto& message : arrived) {
        if (pendingCount() < bufferSize_) pending_.push_back(std::move(message));
    }
    if (!pending_.empty()) notifyMessage();
}

SimMidiOutput::SimMidiOutput(McuChain& chain, SimMidiInput& input) : chain_(chain), input_(input) {}

int SimMidiOutput::deviceCount() {
    return DevicesOf(chain_);
}

std::string SimMidiOutput::deviceName() {
    return (device_ == 0 || device_ == kDefaultDevice) && deviceCount() == 1 ? kSimDeviceName : "";
}

void SimMidiOutput::open() {
    if (deviceName().empty()) {
        notifyError(kNoDeviceError,
                    "There is no MIDI output device " + std::to_string(device_) + ".");
        return;
    }
    open_ = true;
}

void SimMidiOutput::sendSysEx(std::span<const std::uint8_t> message) {
    if (!open_) return;
    input_.arrive(chain_.send(message));
    if (chain_.deviceFault() == McuChain::DeviceFault::Refusing) {
        notifyError(kDeviceError, "error sending MIDI message to port.");
    }
}

} // namespace vtl
