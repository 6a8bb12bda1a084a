#include "link/transfer.h"

#include "link/link_host.h"
#include "link/midi_io.h"
#include "link/output_queue.h"
#include "link/product.h"
#include "model/program_update.h"
#include "sysex/messages.h"

namespace vtl {
namespace {

const std::string kProduct(kProductName);
const std::string kBreak(kLineBreak);

// The pump runs on every fourth tick: one message per 400 ms.
constexpr int kPumpEvery = 4;
// While writing, each message is followed by 600 ms for the MCU to store it.
constexpr int kWritePauseTicks = 6;
// Unanswered requests repeat every second.
constexpr int kRepeatEvery = 10;
constexpr int kRepeatsBeforeHint = 4;
constexpr int kFinishingTicks = 20;
constexpr int kPauseBeforeRequestTicks = 10;
constexpr std::uint32_t kProgramIndex = 0;
constexpr std::size_t kProgramLength = 256;

std::uint8_t Device(int manual) {
    return static_cast<std::uint8_t>(manual);
}

} // namespace

TransferController::TransferController(ConsoleModel& model, MidiInput& input, OutputQueue& queue,
                                       MidiSettings& settings, StatusSink& status,
                                       ConsoleView& view, LinkHost& host)
    : model_(model), input_(input), queue_(queue), settings_(settings), status_(status),
      view_(view), host_(host) {
    input_.onMessage([this] { OnMessage(); });
}

TransferController::~TransferController() {
    input_.onMessage(nullptr);
}

bool TransferController::DevicesChosen() {
    return settings_.midiInSetting != 0 && settings_.midiOutSetting != 0;
}

void TransferController::StartRead() {
    if (!DevicesChosen() && !host_.ChooseMidiDevices()) return;
    status_.centre();
    status_.setCaption("Loading Program Data from " + kProduct);
    status_.setText("Requesting " + kProduct + " Configuration..");
    status_.show();
    view_.ShowReading();
    Queue(McuRebootMessage(kAllDevices));
    status_.setText("Testing cabling set-up...");
    Queue(TagMessage(1));
    linkState_ = LinkState::Counting;
    transferMode_ = TransferMode::Reading;
}

void TransferController::StartWrite() {
    if (!DevicesChosen() && !host_.ChooseMidiDevices()) return;
    transferMode_ = TransferMode::Writing;
    model_.currentManual = 1;
    linkState_ = LinkState::AwaitIdentity;
    status_.centre();
    status_.setCaption("Writing Program Data to MCU");
    status_.setText("Requesting " + kProduct + " Configuration..");
    status_.show();
}

void TransferController::FileLoaded() {
    transferMode_ = TransferMode::FileLoaded;
    linkState_ = LinkState::Finished;
}

void TransferController::CloseInput() {
    queue_.CloseInput();
}

bool TransferController::PastLastManual() const {
    return model_.currentManual > kMaxManuals || model_.currentManual > model_.manualCount;
}

void TransferController::TransferStep() {
    const bool reading = transferMode_ == TransferMode::Reading;
    const std::string caption =
        reading ? "Loading Program Data from VTL" : "Writing Program Data to VTL";
    status_.setCaption(caption);
    status_.append(kBreak + caption + "...");
    status_.show();

    if (!DevicesChosen()) {
        // Without devices nothing can be sent; a cancelled choice ends the transfer rather
        // than asking again on every tick.
        if (!host_.ChooseMidiDevices()) {
            linkState_ = LinkState::Idle;
            status_.hide();
        }
    } else if (reading) {
        status_.centre();
        status_.setText("Requesting " + kProduct + " Program Data..");
        expectedProgramLength_ = kProgramLength;
        Queue(ProgramRequestMessage(Device(model_.currentManual), kProgramIndex));
        linkState_ = LinkState::AwaitFirstResponse;
    } else {
        const auto messages =
            WriteProgramImage(model_, Device(model_.currentManual), kProgramIndex);
        if (!messages) {
            // A value the image cannot carry: nothing of this manual is sent.
            host_.ShowMessage(messages.error().message);
            linkState_ = LinkState::Idle;
            status_.hide();
            return;
        }
        for (const auto& m : *messages)
            Queue(m);
        Queue(McuRebootMessage(Device(model_.currentManual)));
        ++model_.currentManual;
        linkState_ = PastLastManual() ? LinkState::Finished : LinkState::NextManual;
    }
    if (reading) status_.append(kBreak + "Done!");
}

void TransferController::Tick() {
    ++tickCount_;
    if (pauseTicks_ > 0) {
        // Everything waits as it would behind a blocking pause; messages that arrived
        // meanwhile are taken when it ends.
        if (--pauseTicks_ == 0) Drain();
        return;
    }
    RunEntryActions();
    RunRepeats();
    if (linkState_ == LinkState::Identified) {
        queue_.CloseInput();
        linkState_ = LinkState::PauseBeforeRequest;
    }
    if (linkState_ == LinkState::PauseBeforeRequest) {
        prevState_ = LinkState::Identified;
        if (++waitTicks_ > kPauseBeforeRequestTicks) {
            if (status_.isVisible()) status_.unload();
            TransferStep();
            prevState_ = linkState_;
        }
    }
    pumpTick_ = (pumpTick_ + 1) % kPumpEvery;
    if (pumpTick_ == 0) Pump();
}

void TransferController::RunEntryActions() {
    if (linkState_ == prevState_) return;
    switch (linkState_) {
    case LinkState::Idle:
        prevState_ = LinkState::Idle;
        queue_.CloseInput();
        break;
    case LinkState::Identify:
        QueueIdentify();
        linkState_ = LinkState::AwaitIdentity;
        break;
    case LinkState::Finished:
        prevState_ = LinkState::Finished;
        if (transferMode_ == TransferMode::Reading) {
            status_.append(kBreak + kProduct + " Configuration data loaded!" + kBreak + "Ready.");
        } else if (transferMode_ == TransferMode::Writing) {
            status_.append(kBreak + kProduct + " Writing..." + kBreak);
        } else if (transferMode_ == TransferMode::FileLoaded) {
            status_.append(kBreak + kProduct + " Configuration data loaded from file!" + kBreak +
                           "Ready.");
        }
        linkState_ = LinkState::Finishing;
        queue_.CloseInput();
        waitTicks_ = 0;
        break;
    case LinkState::Finishing:
        prevState_ = LinkState::Finished;
        if (!status_.isVisible() || ++waitTicks_ > kFinishingTicks) {
            view_.SetCommandsDataLoaded();
            status_.hide();
            prevState_ = LinkState::Finishing;
        }
        break;
    case LinkState::NextManual:
        linkState_ = LinkState::AwaitIdentity;
        status_.centre();
        status_.setCaption("Write Program Data to MCU");
        status_.setText("Requesting  " + kProduct + " Configuration..");
        status_.show();
        break;
    default:
        prevState_ = linkState_;
        break;
    }
}

void TransferController::RunRepeats() {
    const bool waiting =
        linkState_ == LinkState::AwaitIdentity || linkState_ == LinkState::Counting;
    if (waiting && status_.isVisible() && ++retryTick_ % kRepeatEvery == 0) {
        retryTick_ = 0;
        if (linkState_ == LinkState::AwaitIdentity) {
            QueueIdentify();
        } else {
            QueueUnlessWaiting(TagMessage(1));
        }
        status_.append(".");
        ++retryCount_;
    }
    if (retryCount_ > kRepeatsBeforeHint) {
        retryCount_ = 0;
        if (linkState_ == LinkState::Counting) {
            status_.setText("Check your MIDI connections, make sure your " + kProduct +
                            " is on and the output of your MIDI device chain is connected to "
                            "the MIDI-IN of your PC." +
                            kBreak + "Retrying...");
        } else if (linkState_ == LinkState::AwaitIdentity) {
            status_.setText("Check your MIDI connections and make sure that your " + kProduct +
                            " is turned on!" + kBreak + "Retrying...");
        }
    }
}

void TransferController::QueueIdentify() {
    QueueUnlessWaiting(TagMessage(1));
    QueueUnlessWaiting(IdentityRequestMessage(Device(model_.currentManual)));
}

// A repeat while the previous copy still waits unsent would only flood the chain, and a
// stale identity reply could be taken for the next manual's.
void TransferController::QueueUnlessWaiting(Bytes message) {
    if (!queue_.Contains(message)) Queue(std::move(message));
}

void TransferController::Queue(Bytes message) {
    queue_.Queue(std::move(message));
}

void TransferController::Pump() {
    const auto pumped = queue_.Pump();
    if (!pumped) return;
    if (pumped->sent && traffic_) {
        traffic_->Traffic(tickCount_, TrafficListener::Direction::Sent, *pumped->sent);
    }
    if (transferMode_ == TransferMode::Writing) {
        pauseTicks_ = kWritePauseTicks;
        if (pumped->wasLast && PastLastManual()) status_.append(kBreak + "Done!");
    }
}

} // namespace vtl
