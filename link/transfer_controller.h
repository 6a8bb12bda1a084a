#pragma once
// Reading the configuration from the MCUs and writing it back: a state machine advanced by
// the 100 ms tick and by received messages. It never waits: pauses are counted in ticks.
//
// A state set by a command or a received message is entered on the next tick: its entry
// action runs, then its tick action, which runs again on every later tick in that state.
// An entry action may go on to the next state at once (GoTo), whose tick action then runs
// on the same tick. A new state needs its code below and a case in RunEntryAction or
// RunTickAction.
//
// transfer_controller.cpp holds the commands, the tick and the entry and tick actions;
// transfer_read.cpp and transfer_write.cpp the steps of each direction, transfer_shared.cpp
// what they share; receive.cpp the input drain and the dispatcher. Each step that queues a
// message the transfer needs, or takes a reply, tells the progress counter
// (transfer_progress.h), whose figures are reported once per tick and per arrival when they
// changed. Everything else that happens is reported as it happens (transfer_report.h).

#include "link/transfer_progress.h"
#include "link/transfer_report.h"
#include "model/console_model.h"
#include "sysex/bytes.h"
#include "sysex/seven_bit.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vtl {

class MidiInput;
class OutputQueue;
class TrafficListener;
struct MidiSettings;

// State codes of a transfer; the values are the stored codes.
enum class LinkState : int {
    Idle = 0,
    Identify = 1,            // next tick: TAG and identity request queued
    Finished = 11,           // next tick: completion text
    Finishing = 27,          // the finished transfer kept in view for about 2 s
    Writing = 28,            // writing the current manual
    AwaitIdentity = 40,      // waiting for the identity reply of the current manual
    AwaitFirstResponse = 42, // program data requested
    AwaitMoreResponses = 43,
    Identified = 44, // identity received while reading
    PauseBeforeRequest = 45,
    NextManual = 61, // next manual to be written
    Counting = 62,   // counting manuals, waiting for the TAG
};

class TransferController : private ConversionReporter {
public:
    TransferController(ConsoleModel& model, MidiInput& input, OutputQueue& queue,
                       MidiSettings& settings, TransferObserver& observer,
                       ChooseDevices chooseDevices);
    ~TransferController() override;
    TransferController(const TransferController&) = delete;
    TransferController& operator=(const TransferController&) = delete;

    // Commands.
    void StartRead();
    void StartWrite();
    // A console file was decoded: report it through the completion state.
    void FileLoaded();
    // The user's Close: the transfer, out of view, stops waiting, and a read not yet whole
    // ends with the console as it was before it.
    void CloseInput();
    // The user put the transfer out of view without stopping it: its requests are no longer
    // repeated, and a finished one is not held.
    void Dismissed();
    // The MIDI device failed or is gone: a transfer under way ends, and the user is told.
    void PortFailed(const std::string& message);

    // Events.
    void Tick();
    // Messages are waiting at the input.
    void OnMessage();
    void Dispatch(std::span<const std::uint8_t> message);

    // Accessors.
    LinkState State() const { return linkState_; }
    TransferMode Mode() const { return transferMode_; }
    long TickCount() const { return tickCount_; }
    const TransferProgress& Progress() const { return progress_.Figures(); }
    // What an unfinished transfer has seen while it waits; nothing in particular (monostate)
    // in a state that waits for no answer.
    WaitDiagnosis Diagnosis() const;
    bool Pausing() const { return pauseTicks_ > 0; }
    void SetTrafficListener(TrafficListener* listener) { traffic_ = listener; }

private:
    // The state machine (transfer_controller.cpp).
    void GoTo(LinkState state);
    void RunEntryAction();
    void RunTickAction();
    // Entry actions.
    void EnterIdle();
    void EnterIdentify();
    void EnterAwaitIdentity();
    void EnterFinished();
    void EnterFinishing();
    void EnterIdentified();
    void EnterNextManual();
    // Tick actions.
    void WhileCounting();
    void WhileAwaitingIdentity();
    void WhilePausingBeforeRequest();
    void WhileFinishing();
    void WhileAwaitingData();
    bool RepeatDue(int every);
    void Repeat(const std::vector<Bytes>& request);
    // Whether a transfer is under way, with something still to send or to wait for.
    bool Running() const;
    // Whether the state machine is idle or past its last manual.
    bool Ended() const;
    // Ends the transfer under way: nothing more is sent; a read leaves the console as it was.
    void Abandon();

    // Steps shared by both directions.
    bool DevicesChosen() const;
    bool BeginStep();
    // A read fills a copy of the console, taken over whole once its last manual is in; a
    // write works on the console itself.
    ConsoleModel& Target();
    const ConsoleModel& Target() const;
    bool PastLastManual() const;
    std::uint8_t CurrentDevice() const;
    // Whether a reply's device byte names the current manual (7F: any).
    bool FromCurrentManual(std::span<const std::uint8_t> message, std::size_t at) const;
    std::vector<Bytes> IdentifyRequest() const;
    // Queues a message the manual needs: it counts as progress when it leaves.
    void QueueNeeded(Bytes message, int manual);
    void Pump();
    void ReportProgress();
    void Report(const TransferReport& report) { observer_.Report(report); }
    // Reports what brings the transfer into view, or takes it out of view.
    void IntoView(const TransferReport& report);
    void OutOfView(const TransferReport& report);
    void OutputFailed(int code, const std::string& message);
    void ReportConversionErrors(const ConversionFaults& faults) override;

    // Reading (transfer_read.cpp).
    void CountManuals(int tagValue);
    void ReadManual();
    void CollectResponse(std::span<const std::uint8_t> response);
    void DecodeManual();

    // Writing (transfer_write.cpp).
    void WriteManual();

    // Receiving (receive.cpp).
    void Drain();

    // Every transfer reads and writes program 1.
    static constexpr std::uint32_t kProgramIndex = 0;

    ConsoleModel& model_;
    MidiInput& input_;
    OutputQueue& queue_;
    MidiSettings& settings_;
    TransferObserver& observer_;
    ChooseDevices chooseDevices_;
    TrafficListener* traffic_ = nullptr;

    LinkState linkState_ = LinkState::Idle;
    // The state whose entry action has run.
    LinkState entered_ = LinkState::Idle;
    TransferMode transferMode_ = TransferMode::None;
    ConsoleModel incoming_;
    // The count of the last TAG refused while counting.
    std::optional<int> refusedCount_;
    // The MCUs a TAG passed that came back while the current manual did not answer.
    std::optional<int> echoed_;
    // An MCU that answered while the counting TAG stayed away; 0: none.
    int passesNothing_ = 0;
    Bytes programBuffer_;
    std::size_t expectedProgramLength_ = 0;

    int retryTick_ = 0;
    int retryCount_ = 0;
    // Counts the finishing hold and the pause before a read request; reset only when a
    // transfer finishes, so a later read's first pause is short.
    int waitTicks_ = 0;
    // The transfer was brought into view, and neither taken out of it nor dismissed since.
    bool inView_ = false;
    // The finishing state still holds the finished transfer in view.
    bool holding_ = false;
    int pumpTick_ = 0;
    int pauseTicks_ = 0;
    // The entry whose pause runs: a written message counts once the MCU had its time.
    std::optional<Bytes> storing_;
    ProgressCounter progress_;
    long tickCount_ = 0;
};

} // namespace vtl
