#include "link/transfer_controller.h"

#include "link/link_host.h"
#include "link/midi_io.h"
#include "link/output_queue.h"
#include "link/product.h"
#include "sysex/messages.h"

#include <algorithm>

namespace vtl {
namespace {

// The pump runs on every fourth tick: one message per 400 ms.
constexpr int kPumpEvery = 4;
// While writing, each message is followed by 600 ms for the MCU to store it.
constexpr int kWritePauseTicks = 6;
// Unanswered requests repeat every second.
constexpr int kRepeatEvery = 10;
// A program request is repeated only after 3 s: its answers come later than a reply.
constexpr int kDataRepeatEvery = 30;
constexpr int kRepeatsBeforeHint = 4;
constexpr int kFinishingTicks = 20;
constexpr int kPauseBeforeRequestTicks = 10;

} // namespace

const std::string TransferController::kProduct(kProductName);
const std::string TransferController::kBreak(kLineBreak);

TransferController::TransferController(ConsoleModel& model, MidiInput& input, OutputQueue& queue,
                                       MidiSettings& settings, StatusSink& status,
                                       ConsoleDisplay& view, LinkHost& host)
    : model_(model), input_(input), queue_(queue), settings_(settings), status_(status),
      view_(view), host_(host) {
    input_.onMessage([this] { OnMessage(); });
    // Warnings (code 0) are not worth a word; errors of either port are.
    input_.onError([this](int code, const std::string& message) {
        if (code > 0) PortFailed(message);
    });
    queue_.onFailure([this](const std::string& message) { PortFailed(message); });
}

TransferController::~TransferController() {
    input_.onMessage(nullptr);
    input_.onError(nullptr);
    queue_.onFailure(nullptr);
}

// Commands.

void TransferController::StartRead() {
    if (!DevicesChosen() && !host_.ChooseMidiDevices()) return;
    // The window is centred with its progress bar. What comes before the first manual
    // counts as manual 0.
    progress_.Start(TransferMode::Reading, 0);
    ReportProgress();
    status_.centre();
    status_.setCaption("Loading Program Data from " + kProduct);
    status_.setText("Requesting " + kProduct + " Configuration..");
    status_.show();
    view_.ShowReading();
    incoming_ = model_;
    refusedCount_.reset();
    passesNothing_ = 0;
    QueueNeeded(McuRebootMessage(kAllDevices), 0);
    status_.setText("Testing cabling set-up...");
    QueueNeeded(TagMessage(1), 0);
    linkState_ = LinkState::Counting;
    transferMode_ = TransferMode::Reading;
}

void TransferController::StartWrite() {
    if (!DevicesChosen() && !host_.ChooseMidiDevices()) return;
    transferMode_ = TransferMode::Writing;
    model_.currentManual = 1;
    linkState_ = LinkState::AwaitIdentity;
    // Manual 1 is written even when nothing was read or loaded yet.
    progress_.Start(TransferMode::Writing, std::max<int>(model_.manualCount, 1));
    ReportProgress();
    status_.centre();
    status_.setCaption("Writing Program Data to MCU");
    status_.setText("Requesting " + kProduct + " Configuration..");
    status_.show();
}

void TransferController::FileLoaded() {
    transferMode_ = TransferMode::FileLoaded;
    linkState_ = LinkState::Finished;
    progress_.Stop();
    ReportProgress();
}

void TransferController::CloseInput() {
    queue_.CloseInput();
    // Once the console is whole the read has done its part: only the reboots still go out.
    if (transferMode_ == TransferMode::Reading && !Ended()) Abandon();
}

void TransferController::PortFailed(const std::string& message) {
    if (!Running()) return host_.ShowMessage(message);
    const bool reading = transferMode_ == TransferMode::Reading;
    Abandon();
    host_.ShowMessage(std::string("The MIDI device stopped working during the ") +
                      (reading ? "read: " : "write: ") + message +
                      " Check that it is still connected and switched on, then try again." +
                      (reading
                           ? " Nothing of the read is kept: the console from before it stays."
                           : " The MCUs may hold part of the new configuration: write it again."));
}

bool TransferController::Running() const {
    if (transferMode_ != TransferMode::Reading && transferMode_ != TransferMode::Writing) {
        return false;
    }
    return !Ended() || !queue_.empty() || pausing();
}

bool TransferController::Ended() const {
    return linkState_ == LinkState::Idle || linkState_ == LinkState::Finished ||
           linkState_ == LinkState::Finishing;
}

void TransferController::Abandon() {
    const bool reading = transferMode_ == TransferMode::Reading;
    linkState_ = LinkState::Idle;
    pauseTicks_ = 0;
    queue_.Drop();
    queue_.CloseInput();
    progress_.Stop();
    ReportProgress();
    status_.hide();
    if (reading) view_.ShowConsoleKept();
}

// The state machine.

void TransferController::Tick() {
    ++tickCount_;
    if (pauseTicks_ > 0) {
        // Everything waits as it would behind a blocking pause; messages that arrived
        // meanwhile are taken when it ends.
        if (--pauseTicks_ == 0) {
            progress_.Left(storing_);
            Drain();
        }
        return ReportProgress();
    }
    if (linkState_ != entered_) GoTo(linkState_);
    // A state an entry action set without GoTo begins with the next tick.
    if (linkState_ == entered_) RunTickAction();
    pumpTick_ = (pumpTick_ + 1) % kPumpEvery;
    if (pumpTick_ == 0) Pump();
    ReportProgress();
}

void TransferController::GoTo(LinkState state) {
    linkState_ = entered_ = state;
    RunEntryAction();
}

void TransferController::RunEntryAction() {
    switch (linkState_) {
    case LinkState::Idle:
        return EnterIdle();
    case LinkState::Identify:
        return EnterIdentify();
    case LinkState::AwaitIdentity:
        return EnterAwaitIdentity();
    case LinkState::Finished:
        return EnterFinished();
    case LinkState::Finishing:
        return EnterFinishing();
    case LinkState::Identified:
        return EnterIdentified();
    case LinkState::NextManual:
        return EnterNextManual();
    default:
        return;
    }
}

void TransferController::RunTickAction() {
    switch (linkState_) {
    case LinkState::Counting:
        return WhileCounting();
    case LinkState::AwaitIdentity:
        return WhileAwaitingIdentity();
    case LinkState::PauseBeforeRequest:
        return WhilePausingBeforeRequest();
    case LinkState::AwaitFirstResponse:
    case LinkState::AwaitMoreResponses:
        return WhileAwaitingData();
    case LinkState::Finishing:
        return WhileFinishing();
    default:
        return;
    }
}

// Entry actions.

void TransferController::EnterIdle() {
    queue_.CloseInput();
}

void TransferController::EnterIdentify() {
    // A TAG repeated while counting may still wait: it is not queued twice.
    for (const auto& message : IdentifyRequest()) {
        if (!queue_.Contains(message)) queue_.Queue(message);
    }
    GoTo(LinkState::AwaitIdentity);
}

// Whichever copy of the request leaves first counts; the repeats do not.
void TransferController::EnterAwaitIdentity() {
    echoed_.reset();
    for (const auto& message : IdentifyRequest())
        progress_.Expect(target().currentManual, message);
}

void TransferController::EnterFinished() {
    switch (transferMode_) {
    case TransferMode::Reading:
        status_.append(kBreak + kProduct + " Configuration data loaded!" + kBreak + "Ready.");
        break;
    case TransferMode::Writing:
        status_.append(kBreak + kProduct + " Writing..." + kBreak);
        break;
    case TransferMode::FileLoaded:
        status_.append(kBreak + kProduct + " Configuration data loaded from file!" + kBreak +
                       "Ready.");
        break;
    case TransferMode::None:
        break;
    }
    // The hold begins with the next tick.
    linkState_ = LinkState::Finishing;
    queue_.CloseInput();
    waitTicks_ = 0;
}

void TransferController::EnterFinishing() {
    holdingWindow_ = true;
}

void TransferController::EnterIdentified() {
    queue_.CloseInput();
    GoTo(LinkState::PauseBeforeRequest);
}

void TransferController::EnterNextManual() {
    status_.centre();
    status_.setCaption("Write Program Data to MCU");
    status_.setText("Requesting  " + kProduct + " Configuration..");
    status_.show();
    GoTo(LinkState::AwaitIdentity);
}

// Tick actions.

// Beside the TAG, every MCU is asked who it is: one that answers while the TAG stays away
// passes nothing on.
void TransferController::WhileCounting() {
    if (!RepeatDue(kRepeatEvery)) return;
    Repeat({TagMessage(1), IdentityRequestMessage(kAllDevices)},
           "Check your MIDI connections, make sure your " + kProduct +
               " is on and the output of your MIDI device chain is connected "
               "to the MIDI-IN of your PC." +
               kBreak);
}

void TransferController::WhileAwaitingIdentity() {
    if (!RepeatDue(kRepeatEvery)) return;
    Repeat(IdentifyRequest(), "Check your MIDI connections and make sure that your " + kProduct +
                                  " is turned on!" + kBreak);
}

// A response lost on the way would leave the read waiting for ever: the program is asked for
// again, and only the parts still missing are taken from the answers.
void TransferController::WhileAwaitingData() {
    if (!RepeatDue(kDataRepeatEvery)) return;
    Repeat({ProgramRequestMessage(CurrentDevice(), kProgramIndex)}, "");
}

void TransferController::WhilePausingBeforeRequest() {
    if (++waitTicks_ <= kPauseBeforeRequestTicks) return;
    if (status_.isVisible()) status_.unload();
    ReadManual();
}

void TransferController::WhileFinishing() {
    if (!holdingWindow_) return;
    if (status_.isVisible() && ++waitTicks_ <= kFinishingTicks) return;
    view_.SetCommandsDataLoaded();
    status_.hide();
    holdingWindow_ = false;
}

// While the status window shows, an unanswered request goes out again every second.
bool TransferController::RepeatDue(int every) {
    if (!status_.isVisible() || ++retryTick_ < every) return false;
    retryTick_ = 0;
    return true;
}

// A repeat goes out whole or not at all: while part of the last copy still waits unsent,
// more would only flood the chain, and a stale identity reply could be taken for the next
// manual's. A dot shows the wait, and every fifth time the text says what to check: the
// hint, what the transfer waits for, and that it goes on.
void TransferController::Repeat(const std::vector<Bytes>& request, const std::string& hint) {
    const bool waiting = std::any_of(request.begin(), request.end(),
                                     [&](const Bytes& m) { return queue_.Contains(m); });
    if (!waiting) {
        for (const auto& message : request)
            queue_.Queue(message);
    }
    status_.append(".");
    if (++retryCount_ > kRepeatsBeforeHint) {
        retryCount_ = 0;
        status_.setText(hint + Waiting() + kBreak + "Retrying...");
        progress_.Stall();
    }
}

std::string TransferController::Waiting() const {
    const std::string m = std::to_string(target().currentManual);
    switch (linkState_) {
    case LinkState::Counting:
        if (refusedCount_ == 0) {
            return "The test message came back without passing any MCU: the PC's MIDI out seems "
                   "to lead straight to its MIDI in. Connect it to the MIDI in of MCU 1.";
        }
        if (refusedCount_) {
            return "The test message passed " + std::to_string(*refusedCount_) +
                   " MCUs, but a console has at most 3: check that only the console's MCUs are "
                   "on the chain.";
        }
        if (passesNothing_ > 0) {
            const std::string k = std::to_string(passesNothing_);
            return "MCU " + k + " answers, but passes nothing on: check MCU " + k +
                   " and its MIDI in and out.";
        }
        return "Nothing comes back from the chain: check the cables from the PC's MIDI out to "
               "MCU 1, from each MCU to the next and from the last one to the PC's MIDI in, "
               "and that every MCU is switched on.";
    case LinkState::AwaitIdentity:
        if (echoed_ && *echoed_ < target().currentManual) {
            return "The test message passed " + std::to_string(*echoed_) +
                   (*echoed_ == 1 ? " MCU" : " MCUs") + ", so manual " + m +
                   " has none: check that its MCU is connected and switched on.";
        }
        if (echoed_) {
            return "Manual " + m +
                   " does not answer, though messages pass its MCU: check that "
                   "MCU " +
                   m + " is switched on and working.";
        }
        return "Manual " + m +
               " does not answer, and nothing comes back through the chain: "
               "check that every MCU is switched on, and the cables from the PC to MCU 1, from "
               "each MCU to the next and from the last one to the PC.";
    case LinkState::AwaitFirstResponse:
    case LinkState::AwaitMoreResponses: {
        const auto taken = linkState_ == LinkState::AwaitFirstResponse ? 0 : programBuffer_.size();
        return "Manual " + m + " sent " + std::to_string(taken) + " of " +
               std::to_string(expectedProgramLength_) +
               " bytes of its program data; it is asked again.";
    }
    default:
        return {};
    }
}

// Shared by both directions.

bool TransferController::DevicesChosen() const {
    return settings_.midiInSetting != 0 && settings_.midiOutSetting != 0;
}

// Shows the step's caption; false when no devices are chosen, after asking for them.
bool TransferController::BeginStep(const std::string& caption) {
    status_.setCaption(caption);
    status_.append(kBreak + caption + "...");
    status_.show();
    if (DevicesChosen()) return true;
    // A cancelled choice ends the transfer rather than asking again on every tick.
    if (!host_.ChooseMidiDevices()) {
        linkState_ = LinkState::Idle;
        status_.hide();
    }
    return false;
}

ConsoleModel& TransferController::target() {
    return transferMode_ == TransferMode::Reading ? incoming_ : model_;
}

const ConsoleModel& TransferController::target() const {
    return transferMode_ == TransferMode::Reading ? incoming_ : model_;
}

bool TransferController::PastLastManual() const {
    return target().currentManual > kMaxManuals || target().currentManual > target().manualCount;
}

std::uint8_t TransferController::CurrentDevice() const {
    return static_cast<std::uint8_t>(target().currentManual);
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

void TransferController::Pump() {
    // A device unplugged, or a program on the other end that ended, takes what is sent
    // without a word: its port is looked for before each message.
    if (!queue_.empty() && queue_.DeviceGone()) {
        const std::string gone =
            "its port is no longer there, as if it was unplugged or the program behind it ended.";
        return Running() ? PortFailed(gone)
                         : host_.ShowMessage("The MIDI device stopped working: " + gone);
    }
    const auto pumped = queue_.Pump();
    if (!pumped) return;
    if (pumped->sent && traffic_) {
        traffic_->Traffic(tickCount_, TrafficListener::Direction::Sent, *pumped->sent);
    }
    if (transferMode_ != TransferMode::Writing) return progress_.Left(pumped->sent);
    // A port that failed on this message has ended the write: nothing to wait for.
    if (linkState_ == LinkState::Idle) return;
    storing_ = pumped->sent;
    pauseTicks_ = kWritePauseTicks;
    if (pumped->wasLast && PastLastManual()) status_.append(kBreak + "Done!");
}

void TransferController::ReportProgress() {
    if (progress_.TakeChanged()) status_.setProgress(progress_.figures());
}

} // namespace vtl
