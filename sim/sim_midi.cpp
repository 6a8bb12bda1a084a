#include "sim/sim_midi.h"

#include <algorithm>
#include <iterator>

namespace vtl {
namespace {

// The error codes reported when a port is opened without a device, and when the device
// refuses a message.
constexpr int kNoDeviceError = 1;
constexpr int kDeviceError = 2;

int DevicesOf(const McuChain& chain) {
    return chain.Fault() == McuChain::DeviceFault::Vanished ? 0 : 1;
}

} // namespace

SimMidiInput::SimMidiInput(McuChain& chain) : chain_(chain) {}

int SimMidiInput::DeviceCount() {
    return DevicesOf(chain_);
}

std::string SimMidiInput::DeviceName() {
    return device_ == 0 && DeviceCount() == 1 ? kSimDeviceName : "";
}

void SimMidiInput::Open() {
    if (DeviceName().empty()) {
        NotifyError(kNoDeviceError,
                    "There is no MIDI input device " + std::to_string(device_) + ".");
        return;
    }
    if (state_ == OpenState::Closed) state_ = OpenState::Open;
}

void SimMidiInput::Close() {
    state_ = OpenState::Closed;
    pending_.clear();
}

void SimMidiInput::StartReceiving() {
    if (state_ == OpenState::Open) state_ = OpenState::Receiving;
}

void SimMidiInput::StopReceiving() {
    if (state_ == OpenState::Receiving) state_ = OpenState::Open;
}

Bytes SimMidiInput::OldestSysEx() {
    return pending_.empty() || pending_.front().front() != 0xF0 ? Bytes{} : pending_.front();
}

std::array<std::uint8_t, 3> SimMidiInput::OldestShort() {
    std::array<std::uint8_t, 3> message{};
    if (!pending_.empty() && pending_.front().front() != 0xF0) {
        const Bytes& oldest = pending_.front();
        std::copy_n(oldest.begin(), std::min(oldest.size(), message.size()), message.begin());
    }
    return message;
}

void SimMidiInput::DiscardOldest() {
    if (!pending_.empty()) pending_.pop_front();
}

void SimMidiInput::Arrive(std::vector<Bytes> messages) {
    inFlight_.insert(inFlight_.end(), std::make_move_iterator(messages.begin()),
                     std::make_move_iterator(messages.end()));
}

void SimMidiInput::Advance() {
    Arrive(chain_.Tick());
    std::vector<Bytes> arrived = std::move(inFlight_);
    inFlight_.clear();
    if (state_ != OpenState::Receiving || DeviceCount() == 0) return;
    for (auto& message : arrived) {
        if (PendingCount() < bufferSize_) pending_.push_back(std::move(message));
    }
    if (!pending_.empty()) NotifyMessage();
}

SimMidiOutput::SimMidiOutput(McuChain& chain, SimMidiInput& input) : chain_(chain), input_(input) {}

int SimMidiOutput::DeviceCount() {
    return DevicesOf(chain_);
}

std::string SimMidiOutput::DeviceName() {
    return (device_ == 0 || device_ == kDefaultDevice) && DeviceCount() == 1 ? kSimDeviceName : "";
}

void SimMidiOutput::Open() {
    if (DeviceName().empty()) {
        NotifyError(kNoDeviceError,
                    "There is no MIDI output device " + std::to_string(device_) + ".");
        return;
    }
    open_ = true;
}

void SimMidiOutput::SendSysEx(std::span<const std::uint8_t> message) {
    if (!open_) return;
    input_.Arrive(chain_.Send(message));
    if (chain_.Fault() == McuChain::DeviceFault::Refusing) {
        NotifyError(kDeviceError, "error sending MIDI message to port.");
    }
}

} // namespace vtl
