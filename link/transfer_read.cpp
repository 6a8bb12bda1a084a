// The steps of a read from the MCUs: count the manuals, request each manual's program and
// decode it once it is whole.

#include "link/link_host.h"
#include "link/output_queue.h"
#include "link/transfer_controller.h"
#include "model/program_image.h"
#include "sysex/messages.h"
#include "sysex/seven_bit.h"

namespace vtl {
namespace {

constexpr std::size_t kProgramLength = 256;

} // namespace

// The counting TAG came back: each MCU on the chain added one to its value.
void TransferController::CountManuals(int tagValue) {
    model_.manualCount = static_cast<std::int16_t>(tagValue - 1);
    if (model_.manualCount < 1 || model_.manualCount > kMaxManuals) {
        // The repeats send the TAG again.
        status_.append(kBreak + "Invalid number of manuals detected!");
        return;
    }
    status_.append(kBreak + "Number of manuals detected = " + std::to_string(model_.manualCount));
    progress_.Counted(model_.manualCount);
    retryCount_ = 0;
    model_.currentManual = 1;
    linkState_ = LinkState::Identify;
}

// After the pause behind the identity reply: the current manual's program is requested.
void TransferController::ReadManual() {
    if (BeginStep("Loading Program Data from VTL")) {
        status_.centre();
        status_.setText("Requesting " + kProduct + " Program Data..");
        expectedProgramLength_ = kProgramLength;
        QueueNeeded(ProgramRequestMessage(CurrentDevice(), kProgramIndex), model_.currentManual);
        linkState_ = LinkState::AwaitFirstResponse;
    }
    // Said as soon as the request is queued.
    status_.append(kBreak + "Done!");
}

void TransferController::CollectResponse(std::span<const std::uint8_t> response) {
    if (linkState_ == LinkState::AwaitFirstResponse) programBuffer_.clear();
    const Bytes data = UnpackSevenBit(ResponseData(response), host_);
    programBuffer_.insert(programBuffer_.end(), data.begin(), data.end());
    progress_.DataTaken(model_.currentManual, programBuffer_.size(), expectedProgramLength_);
    if (programBuffer_.size() < expectedProgramLength_) {
        linkState_ = LinkState::AwaitMoreResponses;
    } else if (transferMode_ == TransferMode::Reading) {
        DecodeManual();
    }
}

// The manual's program is whole: into the model with it, then on to the next manual.
void TransferController::DecodeManual() {
    const auto decoded = DecodeProgramImage(model_, programBuffer_);
    if (!decoded) {
        host_.ShowMessage(decoded.error().message);
        return;
    }
    view_.SetCommandsDataLoaded();
    QueueNeeded(McuRebootMessage(CurrentDevice()), model_.currentManual);
    ++model_.currentManual;
    if (PastLastManual()) {
        linkState_ = LinkState::Finished;
        view_.ShowManuals();
    } else {
        linkState_ = LinkState::Identify;
    }
}

} // namespace vtl
