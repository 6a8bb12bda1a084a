// The steps of a read from the MCUs: count the manuals, request each manual's program and
// decode it once it is whole.

#include "link/output_queue.h"
#include "link/transfer_controller.h"
#include "model/program_image.h"
#include "sysex/messages.h"
#include "sysex/seven_bit.h"

#include <algorithm>

namespace vtl {
namespace {

constexpr std::size_t kProgramLength = 256;

} // namespace

// The counting TAG came back: each MCU on the chain added one to its value.
void TransferController::CountManuals(int tagValue) {
    incoming_.manualCount = static_cast<std::int16_t>(tagValue - 1);
    if (incoming_.manualCount < 1 || incoming_.manualCount > kMaxManuals) {
        // The repeats send the TAG again.
        refusedCount_ = incoming_.manualCount;
        Report(ManualsCounted{incoming_.manualCount, false});
        return;
    }
    Report(ManualsCounted{incoming_.manualCount, true});
    progress_.Counted(incoming_.manualCount);
    retryCount_ = 0;
    incoming_.currentManual = 1;
    linkState_ = LinkState::Identify;
}

// After the pause behind the identity reply: the current manual's program is requested.
void TransferController::ReadManual() {
    if (!BeginStep()) return;
    expectedProgramLength_ = kProgramLength;
    QueueNeeded(ProgramRequestMessage(CurrentDevice(), kProgramIndex), incoming_.currentManual);
    linkState_ = LinkState::AwaitFirstResponse;
    retryTick_ = 0;
    Report(ProgramRequested{incoming_.currentManual});
}

// Only the part that comes next is taken: a copy of one already taken, one that comes late
// for an earlier request or another manual, and one damaged on the way are left out, and the
// repeated request fills the gap.
void TransferController::CollectResponse(std::span<const std::uint8_t> response) {
    if (linkState_ == LinkState::AwaitFirstResponse) programBuffer_.clear();
    const auto data = ResponseData(response);
    const auto address = Address21(response, field::kResponseAddress);
    if (!FromCurrentManual(response, field::kVendorDevice) ||
        address !=
            static_cast<std::uint32_t>(kProgramIndex * kProgramLength + programBuffer_.size())) {
        return;
    }
    // A byte above 127, or one lost on the way (a MIDI input takes a byte above 127 for a
    // message of its own), leaves data that does not pack back into itself.
    const bool sevenBit = std::none_of(data.begin(), data.end(), [](auto b) { return b > 0x7f; });
    const Bytes unpacked = sevenBit ? UnpackSevenBit(data, *this) : Bytes{};
    if (!sevenBit || !std::ranges::equal(PackSevenBit(unpacked), data)) {
        Report(ProgramDamaged{incoming_.currentManual});
        return;
    }
    programBuffer_.insert(programBuffer_.end(), unpacked.begin(), unpacked.end());
    retryTick_ = 0;
    retryCount_ = 0;
    progress_.DataTaken(incoming_.currentManual, programBuffer_.size(), expectedProgramLength_);
    if (programBuffer_.size() < expectedProgramLength_) {
        linkState_ = LinkState::AwaitMoreResponses;
    } else if (transferMode_ == TransferMode::Reading) {
        DecodeManual();
    }
}

// The manual's program is whole: into the model with it, then on to the next manual.
void TransferController::DecodeManual() {
    const auto decoded = DecodeProgramImage(incoming_, programBuffer_);
    if (!decoded) {
        Report(DecodeFailure{decoded.error().message});
        return;
    }
    QueueNeeded(McuRebootMessage(CurrentDevice()), incoming_.currentManual);
    ++incoming_.currentManual;
    if (PastLastManual()) {
        // Only a whole console replaces the one shown.
        model_ = incoming_;
        linkState_ = LinkState::Finished;
        Report(ConsoleRead{});
    } else {
        linkState_ = LinkState::Identify;
    }
}

} // namespace vtl
