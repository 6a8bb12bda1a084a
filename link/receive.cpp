// The receive side of the transfer: drain the input and hand each message to the step the
// transfer state expects it for.

#include "link/midi_io.h"
#include "link/traffic_listener.h"
#include "link/transfer_controller.h"
#include "sysex/messages.h"

namespace vtl {

void TransferController::OnMessage() {
    // Behind the pause after a write the messages wait, as they would behind a blocking one.
    if (pauseTicks_ > 0) return;
    Drain();
    ReportProgress();
}

void TransferController::Drain() {
    while (input_.PendingCount() >= 1) {
        const Bytes sysEx = input_.OldestSysEx();
        if (!sysEx.empty()) {
            if (traffic_)
                traffic_->Traffic(tickCount_, TrafficListener::Direction::Received, sysEx);
            Dispatch(sysEx);
        } else if (traffic_) {
            const auto shortMessage = input_.OldestShort();
            traffic_->Traffic(tickCount_, TrafficListener::Direction::Received, shortMessage);
        }
        input_.DiscardOldest();
    }
}

void TransferController::Dispatch(std::span<const std::uint8_t> message) {
    switch (Recognise(message)) {
    case MessageKind::Tag: {
        const auto value = TagValue(message);
        if (linkState_ == LinkState::Counting && value) CountManuals(*value);
        if (linkState_ == LinkState::AwaitIdentity && value) echoed_ = *value - 1;
        return;
    }
    case MessageKind::ProgramResponse:
        if (linkState_ == LinkState::AwaitFirstResponse ||
            linkState_ == LinkState::AwaitMoreResponses) {
            CollectResponse(message);
        }
        return;
    case MessageKind::IdentityReply: {
        const auto byte21 = IdentityByte21(message);
        if (linkState_ == LinkState::Counting && byte21) {
            passesNothing_ = message[field::kIdentityDevice];
        }
        // A late or repeated reply of another manual is not taken for this one's.
        if (linkState_ != LinkState::AwaitIdentity || !byte21 ||
            !FromCurrentManual(message, field::kIdentityDevice)) {
            return;
        }
        Target().identityByte21 = *byte21;
        progress_.Identified(Target().currentManual);
        // The hint counts repeats that went unanswered: an answer starts it afresh, so a
        // healthy transfer of several manuals never tells the user to check the cables.
        retryCount_ = 0;
        if (transferMode_ == TransferMode::Writing) {
            WriteManual();
        } else {
            linkState_ = LinkState::Identified;
        }
        return;
    }
    default:
        return; // our own requests coming back, and anything else
    }
}

} // namespace vtl
