// The step of a write to the MCUs: once a manual's MCU has identified itself, its image
// goes out in four PROGRAM_UPDATE messages and the MCU is told to reboot.

#include "link/output_queue.h"
#include "link/transfer_controller.h"
#include "model/program_update.h"
#include "sysex/messages.h"

namespace vtl {

void TransferController::WriteManual() {
    linkState_ = LinkState::Writing;
    if (BeginStep()) {
        const auto messages = WriteProgramImage(model_, CurrentDevice(), kProgramIndex);
        if (!messages) {
            // A value the image cannot carry: nothing of this manual is sent, nor of the rest.
            OutOfView(EncodeFailure{messages.error().message});
            linkState_ = LinkState::Idle;
            return;
        }
        for (const auto& m : *messages)
            QueueNeeded(m, model_.currentManual);
        QueueNeeded(McuRebootMessage(CurrentDevice()), model_.currentManual);
        ++model_.currentManual;
    } else if (linkState_ != LinkState::Writing) {
        return; // the choice of devices was cancelled
    }
    // Devices chosen only now leave the manual unwritten: it is identified again.
    linkState_ = PastLastManual() ? LinkState::Finished : LinkState::NextManual;
}

} // namespace vtl
