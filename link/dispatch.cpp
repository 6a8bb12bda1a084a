// The receive side of the transfer: drain the input and act on each message according to
// the transfer state.

#include "link/link_host.h"
#include "link/midi_io.h"
#include "link/output_queue.h"
#include "link/product.h"
#include "link/transfer.h"
#include "model/program_image.h"
#include "sysex/messages.h"
#include "sysex/seven_bit.h"

namespace vtl {

void TransferController::OnMessage() {
    // Behind the pause after a write the messages wait, as they would behind a blocking one.
    if (pauseTicks_ == 0) Drain();
}

void TransferController::Drain() {
    while (input_.pendingCount() >= 1) {
        const Bytes sysEx = input_.oldestSysEx();
        if (!sysEx.empty()) {
            if (traffic_)
                traffic_->Traffic(tickCount_, TrafficListener::Direction::Received, sysEx);
            Dispatch(sysEx);
        } else if (traffic_) {
            const auto shortMessage = input_.oldestShort();
            traffic_->Traffic(tickCount_, TrafficListener::Direction::Received, shortMessage);
        }
        input_.discardOldest();
    }
}

void TransferController::Dispatch(std::span<const std::uint8_t> message) {
    const std::string product(kProductName);
    const std::string lineBreak(kLineBreak);
    switch (Recognise(message)) {
    case MessageKind::Tag: {
        const auto value = TagValue(message);
        if (linkState_ != LinkState::Counting || !value) return;
        model_.manualCount = static_cast<std::int16_t>(*value - 1);
        if (model_.manualCount >= 1 && model_.manualCount <= kMaxManuals) {
            status_.append(lineBreak +
                           "Number of manuals detected = " + std::to_string(model_.manualCount));
            model_.currentManual = 1;
            linkState_ = LinkState::Identify;
        } else {
            status_.append(lineBreak + "Invalid number of manuals detected!");
        }
        return;
    }
    case MessageKind::ProgramResponse:
        if (linkState_ != LinkState::AwaitFirstResponse &&
            linkState_ != LinkState::AwaitMoreResponses)
            return;
        if (linkState_ == LinkState::AwaitFirstResponse) programBuffer_.clear();
        {
            const Bytes data = UnpackSevenBit(ResponseData(message), host_);
            programBuffer_.insert(programBuffer_.end(), data.begin(), data.end());
        }
        if (programBuffer_.size() < expectedProgramLength_) {
            linkState_ = LinkState::AwaitMoreResponses;
        } else if (transferMode_ == TransferMode::Reading) {
            CompleteResponse();
        }
        return;
    case MessageKind::IdentityReply: {
        const auto byte21 = IdentityByte21(message);
        if (linkState_ != LinkState::AwaitIdentity || !byte21) return;
        model_.identityByte21 = *byte21;
        if (transferMode_ == TransferMode::Writing) {
            status_.append(lineBreak + product + " Configuration received!");
            linkState_ = LinkState::Writing;
            TransferStep();
            // The step has moved on unless it had to ask for devices first.
            if (linkState_ == LinkState::Writing)
                linkState_ = PastLastManual() ? LinkState::Finished : LinkState::NextManual;
        } else {
            linkState_ = LinkState::Identified;
        }
        return;
    }
    default:
        return; // our own requests coming back, and anything else
    }
}

void TransferController::CompleteResponse() {
    const auto decoded = DecodeProgramImage(model_, programBuffer_);
    if (!decoded) {
        host_.ShowMessage(decoded.error().message);
        return;
    }
    view_.SetCommandsDataLoaded();
    Queue(McuRebootMessage(static_cast<std::uint8_t>(model_.currentManual)));
    ++model_.currentManual;
    if (PastLastManual()) {
        linkState_ = LinkState::Finished;
        view_.ShowManuals();
    } else {
        linkState_ = LinkState::Identify;
    }
}

} // namespace vtl
