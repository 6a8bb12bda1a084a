#include "session/link_session.h"

#include "link/midi_io.h"
#include "link/output_queue.h"
#include "link/traffic_trace.h"
#include "link/transfer_controller.h"

namespace vtl {

LinkSession::LinkSession(const PortChoice& choice, ConsoleModel& model, MidiSettings& settings,
                         TransferObserver& observer, ChooseDevices chooseDevices)
    : ports_(choice), settings_(settings) {
    queue_ = std::make_unique<OutputQueue>(Input(), Output(), settings);
    transfer_ = std::make_unique<TransferController>(model, Input(), *queue_, settings, observer,
                                                     std::move(chooseDevices));
    transfer_->SetTrafficListener(this);
}

LinkSession::~LinkSession() = default;

Status LinkSession::StartTrace(const std::string& path) {
    auto trace = TrafficTrace::Open(path);
    if (!trace) return trace.error();
    trace_ = std::move(*trace);
    return Ok();
}

MidiInput& LinkSession::Input() {
    return ports_.Input();
}

MidiOutput& LinkSession::Output() {
    return ports_.Output();
}

McuChain* LinkSession::SimulatedChain() {
    return ports_.Chain();
}

void LinkSession::Tick() {
    ports_.Advance();
    transfer_->Tick();
}

bool LinkSession::Completed() const {
    return transfer_->State() == LinkState::Finishing && queue_->empty() && !transfer_->Pausing();
}

bool LinkSession::Quiet() const {
    return Completed() || transfer_->State() == LinkState::Idle;
}

bool LinkSession::Listen(bool on) {
    if (!on) {
        queue_->CloseInput();
        return true;
    }
    if (settings_.midiInSetting < 1 || settings_.midiInSetting > Input().DeviceCount())
        return false;
    queue_->OpenInput();
    Input().StartReceiving();
    return true;
}

void LinkSession::Close() {
    CloseLink(Input(), Output());
}

void LinkSession::Traffic(long tick, Direction direction, std::span<const std::uint8_t> message) {
    if (trace_) trace_->Traffic(tick, direction, message);
    if (received_ && direction == Direction::Received) received_(message);
}

} // namespace vtl
