#include "link/transfer_controller.h"

#include "link/midi_io.h"
#include "link/output_queue.h"
#include "link/traffic_listener.h"
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
// Output errors with this code are only reported, as they end nothing.
constexpr int kSilentOutputError = 8;

} // namespace

TransferController::TransferController(ConsoleModel& model, MidiInput& input, OutputQueue& queue,
                                       MidiSettings& settings, TransferObserver& observer,
                                       ChooseDevices chooseDevices)
    : model_(model), input_(input), queue_(queue), settings_(settings), observer_(observer),
      chooseDevices_(std::move(chooseDevices)) {
    input_.OnMessage([this] { OnMessage(); });
    // Warnings (code 0) are not worth a word; errors of either port are.
    input_.OnError([this](int code, const std::string& message) {
        if (code > 0) PortFailed(message);
    });
    queue_.OnOutputError(
        [this](int code, const std::string& message) { OutputFailed(code, message); });
}

TransferController::~TransferController() {
    input_.OnMessage(nullptr);
    input_.OnError(nullptr);
    queue_.OnOutputError(nullptr);
}

// Commands.

void TransferController::StartRead() {
    if (!DevicesChosen() && !chooseDevices_()) return;
    // The progress comes first, so that the transfer comes into view with it. What comes
    // before the first manual counts as manual 0.
    progress_.Start(TransferMode::Reading, 0);
    ReportProgress();
    IntoView(TransferBegan{TransferMode::Reading});
    incoming_ = model_;
    refusedCount_.reset();
    passesNothing_ = 0;
    QueueNeeded(McuRebootMessage(kAllDevices), 0);
    Report(CountingManuals{});
    QueueNeeded(TagMessage(1), 0);
    linkState_ = LinkState::Counting;
    transferMode_ = TransferMode::Reading;
}

void TransferController::StartWrite() {
    if (!DevicesChosen() && !chooseDevices_()) return;
    transferMode_ = TransferMode::Writing;
    model_.currentManual = 1;
    linkState_ = LinkState::AwaitIdentity;
    // Manual 1 is written even when nothing was read or loaded yet.
    progress_.Start(TransferMode::Writing, std::max<int>(model_.manualCount, 1));
    ReportProgress();
    IntoView(TransferBegan{TransferMode::Writing});
}

void TransferController::FileLoaded() {
    transferMode_ = TransferMode::FileLoaded;
    linkState_ = LinkState::Finished;
    progress_.Stop();
    ReportProgress();
}

void TransferController::CloseInput() {
    inView_ = false;
    queue_.CloseInput();
    // Once the console is whole the read has done its part: only the reboots still go out.
    if (transferMode_ == TransferMode::Reading && !Ended()) Abandon();
}

void TransferController::Dismissed() {
    inView_ = false;
}

void TransferController::PortFailed(const std::string& message) {
    if (!Running()) return Report(PortFailure{TransferMode::None, message});
    const TransferMode during = transferMode_;
    Abandon();
    Report(PortFailure{during, message});
}

void TransferController::OutputFailed(int code, const std::string& message) {
    Report(OutputError{code, message});
    if (code > 0 && code != kSilentOutputError) PortFailed(message);
}

void TransferController::ReportConversionErrors(const ConversionFaults& faults) {
    Report(ConversionError{faults});
}

bool TransferController::Running() const {
    if (transferMode_ != TransferMode::Reading && transferMode_ != TransferMode::Writing) {
        return false;
    }
    return !Ended() || !queue_.empty() || Pausing();
}

bool TransferController::Ended() const {
    return linkState_ == LinkState::Idle || linkState_ == LinkState::Finished ||
           linkState_ == LinkState::Finishing;
}

void TransferController::Abandon() {
    linkState_ = LinkState::Idle;
    pauseTicks_ = 0;
    queue_.Drop();
    queue_.CloseInput();
    progress_.Stop();
    ReportProgress();
    OutOfView(TransferAbandoned{transferMode_});
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
        progress_.Expect(Target().currentManual, message);
}

void TransferController::EnterFinished() {
    Report(TransferFinished{transferMode_});
    // The hold begins with the next tick.
    linkState_ = LinkState::Finishing;
    queue_.CloseInput();
    waitTicks_ = 0;
}

void TransferController::EnterFinishing() {
    holding_ = true;
}

void TransferController::EnterIdentified() {
    queue_.CloseInput();
    GoTo(LinkState::PauseBeforeRequest);
}

void TransferController::EnterNextManual() {
    IntoView(NextManualAsked{model_.currentManual});
    GoTo(LinkState::AwaitIdentity);
}

// Tick actions.

// Beside the TAG, every MCU is asked who it is: one that answers while the TAG stays away
// passes nothing on.
void TransferController::WhileCounting() {
    if (!RepeatDue(kRepeatEvery)) return;
    Repeat({TagMessage(1), IdentityRequestMessage(kAllDevices)});
}

void TransferController::WhileAwaitingIdentity() {
    if (!RepeatDue(kRepeatEvery)) return;
    Repeat(IdentifyRequest());
}

// A response lost on the way would leave the read waiting for ever: the program is asked for
// again, and only the parts still missing are taken from the answers.
void TransferController::WhileAwaitingData() {
    if (!RepeatDue(kDataRepeatEvery)) return;
    Repeat({ProgramRequestMessage(CurrentDevice(), kProgramIndex)});
}

void TransferController::WhilePausingBeforeRequest() {
    if (++waitTicks_ <= kPauseBeforeRequestTicks) return;
    ReadManual();
}

void TransferController::WhileFinishing() {
    if (!holding_) return;
    if (inView_ && ++waitTicks_ <= kFinishingTicks) return;
    OutOfView(TransferConcluded{});
    holding_ = false;
}

// While the transfer is in view, an unanswered request goes out again every second.
bool TransferController::RepeatDue(int every) {
    if (!inView_ || ++retryTick_ < every) return false;
    retryTick_ = 0;
    return true;
}

// A repeat goes out whole or not at all: while part of the last copy still waits unsent,
// more would only flood the chain, and a stale identity reply could be taken for the next
// manual's. Every repeat is reported, and every fifth what the transfer waits for.
void TransferController::Repeat(const std::vector<Bytes>& request) {
    const bool waiting = std::any_of(request.begin(), request.end(),
                                     [&](const Bytes& m) { return queue_.Contains(m); });
    if (!waiting) {
        for (const auto& message : request)
            queue_.Queue(message);
    }
    Report(RequestRepeated{});
    if (++retryCount_ > kRepeatsBeforeHint) {
        retryCount_ = 0;
        Report(StillWaiting{Diagnosis()});
        progress_.Stall();
    }
}

WaitDiagnosis TransferController::Diagnosis() const {
    const int manual = Target().currentManual;
    switch (linkState_) {
    case LinkState::Counting:
        if (refusedCount_ == 0) return TagUnchanged{};
        if (refusedCount_) return CountRefused{*refusedCount_};
        if (passesNothing_ > 0) return McuPassesNothing{passesNothing_};
        return ChainSilent{};
    case LinkState::AwaitIdentity:
        if (echoed_ && *echoed_ < manual) return ManualMissing{manual, *echoed_};
        if (echoed_) return ManualSilent{manual};
        return ManualUnreachable{manual};
    case LinkState::AwaitFirstResponse:
    case LinkState::AwaitMoreResponses: {
        const auto taken = linkState_ == LinkState::AwaitFirstResponse ? 0 : programBuffer_.size();
        return ProgramIncomplete{manual, taken, expectedProgramLength_};
    }
    default:
        return {};
    }
}

// The output: one message per pump, and the pause after each written one.

void TransferController::Pump() {
    // A device unplugged, or a program on the other end that ended, takes what is sent
    // without a word: its port is looked for before each message.
    if (!queue_.empty() && queue_.DeviceGone()) {
        if (!Running()) return Report(DeviceGone{TransferMode::None});
        const TransferMode during = transferMode_;
        Abandon();
        return Report(DeviceGone{during});
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
    if (pumped->wasLast && PastLastManual()) Report(WriteSent{});
}

} // namespace vtl
