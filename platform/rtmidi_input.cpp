#include "platform/rtmidi_input.h"

#include <algorithm>

namespace vtl {
namespace {

constexpr std::uint8_t kSysExStart = 0xF0;
constexpr std::uint8_t kFirstRealtime = 0xF8;

} // namespace

RtMidiInput::RtMidiInput(MidiApi api, std::string name)
    : reports_(owner_,
               [this](int code, const std::string& message) { NotifyError(code, message); }),
      name_(std::move(name)) {
    reports_.Attempt([&] {
        midi_ = std::make_unique<RtMidiIn>(RtMidiApi(api), name_);
        reports_.Watch(*midi_);
        // SysEx is what the MCUs speak; realtime messages are filtered here, per status byte.
        midi_->ignoreTypes(false, false, false);
        midi_->setCallback(&RtMidiInput::OnReceived, this);
    });
}

RtMidiInput::~RtMidiInput() = default;

int RtMidiInput::DeviceCount() {
    unsigned count = 0;
    if (midi_) reports_.Attempt([&] { count = midi_->getPortCount(); });
    return static_cast<int>(count);
}

void RtMidiInput::SelectDevice(int number) {
    device_ = number;
}

std::string RtMidiInput::DeviceName() {
    std::string name;
    if (device_ >= 0 && device_ < DeviceCount())
        reports_.Attempt([&] { name = midi_->getPortName(static_cast<unsigned>(device_)); });
    return name;
}

void RtMidiInput::SetBufferSize(int messages) {
    const std::lock_guard lock(mutex_);
    capacity_ = static_cast<std::size_t>(std::max(messages, 1));
}

void RtMidiInput::Open() {
    Close();
    if (!midi_) {
        reports_.Report(RtMidiErrorCode(RtMidiError::DRIVER_ERROR),
                        "The MIDI input could not be set up.");
        return;
    }
    if (!reports_.DeviceExists(device_, DeviceCount(), "input")) return;
    if (reports_.Attempt([&] { midi_->openPort(static_cast<unsigned>(device_), name_); }) &&
        midi_->isPortOpen()) {
        state_ = OpenState::Open;
        return;
    }
    reports_.Attempt([&] { midi_->closePort(); });
}

void RtMidiInput::Close() {
    if (state_ == OpenState::Closed) return;
    {
        // Nothing received from here on is kept, even from a callback already under way.
        const std::lock_guard lock(mutex_);
        receiving_ = false;
        parser_.Reset();
        pending_.clear();
        overflowReported_ = false;
    }
    reports_.Attempt([&] { midi_->closePort(); });
    state_ = OpenState::Closed;
}

void RtMidiInput::StartReceiving() {
    if (state_ != OpenState::Open) return;
    const std::lock_guard lock(mutex_);
    receiving_ = true;
    state_ = OpenState::Receiving;
}

void RtMidiInput::StopReceiving() {
    if (state_ != OpenState::Receiving) return;
    const std::lock_guard lock(mutex_);
    receiving_ = false;
    state_ = OpenState::Open;
}

void RtMidiInput::SetRealtimeFilter(std::uint8_t status, bool on) {
    if (status < kFirstRealtime) return;
    const auto bit = static_cast<std::uint8_t>(1u << (status - kFirstRealtime));
    const std::lock_guard lock(mutex_);
    realtimeFilter_ =
        static_cast<std::uint8_t>(on ? realtimeFilter_ | bit : realtimeFilter_ & ~bit);
}

int RtMidiInput::PendingCount() {
    const std::lock_guard lock(mutex_);
    return static_cast<int>(pending_.size());
}

Bytes RtMidiInput::OldestSysEx() {
    const std::lock_guard lock(mutex_);
    if (pending_.empty() || pending_.front().front() != kSysExStart) return {};
    return pending_.front();
}

std::array<std::uint8_t, 3> RtMidiInput::OldestShort() {
    const std::lock_guard lock(mutex_);
    std::array<std::uint8_t, 3> bytes{};
    if (pending_.empty() || pending_.front().front() == kSysExStart) return bytes;
    std::copy(pending_.front().begin(), pending_.front().end(), bytes.begin());
    return bytes;
}

void RtMidiInput::DiscardOldest() {
    const std::lock_guard lock(mutex_);
    if (!pending_.empty()) pending_.pop_front();
    if (pending_.empty()) overflowReported_ = false;
}

void RtMidiInput::OnReceived(double, std::vector<unsigned char>* chunk, void* self) {
    static_cast<RtMidiInput*>(self)->Accept(*chunk);
}

void RtMidiInput::Accept(std::span<const std::uint8_t> chunk) {
    bool added = false;
    bool overflowed = false;
    {
        const std::lock_guard lock(mutex_);
        if (!receiving_) return;
        for (Bytes& message : parser_.Feed(chunk)) {
            const std::uint8_t status = message.front();
            if (status >= kFirstRealtime &&
                (realtimeFilter_ >> (status - kFirstRealtime) & 1u) != 0)
                continue;
            if (pending_.size() >= capacity_) {
                overflowed = overflowed || !overflowReported_;
                overflowReported_ = true;
                continue;
            }
            pending_.push_back(std::move(message));
            added = true;
        }
    }
    if (overflowed) reports_.Report(0, "The MIDI input buffer is full: messages were dropped.");
    if (added && !deliveryPosted_.exchange(true)) owner_.Post([this] { Deliver(); });
}

void RtMidiInput::Deliver() {
    deliveryPosted_ = false;
    // A handler that runs an event loop of its own must not be entered a second time: note the
    // arrival and announce it once the handler has returned.
    if (inHandler_) {
        arrivedInHandler_ = true;
        return;
    }
    if (PendingCount() == 0) return;
    inHandler_ = true;
    NotifyMessage();
    inHandler_ = false;
    if (arrivedInHandler_) {
        arrivedInHandler_ = false;
        if (!deliveryPosted_.exchange(true)) owner_.Post([this] { Deliver(); });
    }
}

} // namespace vtl
