// What the steps of both directions share: the devices, the manual they are at, the messages
// they queue and the reports that bring the transfer into view or take it out.

#include "link/output_queue.h"
#include "link/transfer_controller.h"
#include "sysex/messages.h"

namespace vtl {

bool TransferController::DevicesChosen() const {
    return settings_.midiInSetting != 0 && settings_.midiOutSetting != 0;
}

// Reports the step; false when no devices are chosen, after asking for them.
bool TransferController::BeginStep() {
    IntoView(StepBegan{transferMode_, Target().currentManual});
    if (DevicesChosen()) return true;
    // A cancelled choice ends the transfer rather than asking again on every tick.
    if (chooseDevices_()) {
        Report(StepPostponed{transferMode_});
    } else {
        linkState_ = LinkState::Idle;
        OutOfView(StepCancelled{transferMode_});
    }
    return false;
}

ConsoleModel& TransferController::Target() {
    return transferMode_ == TransferMode::Reading ? incoming_ : model_;
}

const ConsoleModel& TransferController::Target() const {
    return transferMode_ == TransferMode::Reading ? incoming_ : model_;
}

bool TransferController::PastLastManual() const {
    return Target().currentManual > kMaxManuals || Target().currentManual > Target().manualCount;
}

std::uint8_t TransferController::CurrentDevice() const {
    return static_cast<std::uint8_t>(Target().currentManual);
}

bool TransferController::FromCurrentManual(std::span<const std::uint8_t> message,
                                           std::size_t at) const {
    return message.size() > at && (message[at] == CurrentDevice() || message[at] == kAllDevices);
}

std::vector<Bytes> TransferController::IdentifyRequest() const {
    return {TagMessage(1), IdentityRequestMessage(CurrentDevice())};
}

void TransferController::QueueNeeded(Bytes message, int manual) {
    progress_.Expect(manual, message);
    queue_.Queue(std::move(message));
}

void TransferController::ReportProgress() {
    if (progress_.TakeChanged()) Report(progress_.Figures());
}

void TransferController::IntoView(const TransferReport& report) {
    inView_ = true;
    Report(report);
}

void TransferController::OutOfView(const TransferReport& report) {
    inView_ = false;
    Report(report);
}

} // namespace vtl
