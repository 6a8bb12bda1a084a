#include "session/link_session.h"

#include "link/midi_io.h"
#include "link/output_queue.h"
#include "link/traffic_trace.h"
#include "link/transfer_controller.h"

namespace vtl {

LinkSession::LinkSession(const PortChoice& choice, ConsoleModel& model, MidiSettings& settings,
                         TransferObserver& observer, ChooseDevices chooseDevices)
    : ports_(choice) {
    queue_ = std::make_unique<OutputQueue>(input(), output(), settings);
    transfer_ = std::make_unique<TransferController>(model, input(), *queue_, settings, observer,
                                                     std::move(chooseDevices));
    transfer_->setTrafficListener(this);
}

LinkSession::~LinkSession() = default;

Status LinkSession::StartTrace(const std::string& path) {
    auto trace = TrafficTrace::Open(path);
    if (!trace) return trace.error();
    trace_ = std::move(*trace);
    return Ok();
}

MidiInput& LinkSession::input() {
    return ports_.input();
}

MidiOutput& LinkSession::output() {
    return ports_.output();
}

McuChain* LinkSession::simulatedChain() {
    return ports_.chain();
}

void LinkSession::Tick() {
    ports_.advance();
    transfer_->Tick();
}

bool LinkSession::Completed() const {
    return transfer_->linkState() == LinkState::Finishing && queue_->empty() &&
           !transfer_->pausing();
}

bool LinkSession::Quiet() const {
    return Completed() || transfer_->linkState() == LinkState::Idle;
}

void LinkSession::Close() {
    CloseLink(input(), output());
}

void LinkSession::Traffic(long tick, Direction direction, std::span<const std::uint8_t> message) {
    if (trace_) trace_->Traffic(tick, direction, message);
    if (received_ && direction == Direction::Received) received_(message);
}

} // namespace vtl
