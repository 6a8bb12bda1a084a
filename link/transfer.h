#pragma once
// Reading the configuration from the MCUs and writing it back: a state machine advanced by
// the 100 ms tick and by received messages. It never waits: pauses are counted in ticks.

#include "model/console_model.h"
#include "sysex/bytes.h"

#include <span>

namespace vtl {

class ConsoleView;
class LinkHost;
class MidiInput;
class OutputQueue;
class StatusSink;
class TrafficListener;
struct MidiSettings;

// State codes of a transfer; the values are the stored codes.
enum class LinkState : int {
    Idle = 0,
    Identify = 1,            // next tick: TAG and identity request queued
    Finished = 11,           // next tick: completion text
    Finishing = 27,          // status window kept for about 2 s
    Writing = 28,            // writing the current manual
    AwaitIdentity = 40,      // waiting for the identity reply of the current manual
    AwaitFirstResponse = 42, // program data requested
    AwaitMoreResponses = 43,
    Identified = 44, // identity received while reading
    PauseBeforeRequest = 45,
    NextManual = 61, // next manual to be written
    Counting = 62,   // counting manuals, waiting for the TAG
};

enum class TransferMode : int { None = 0, Reading = 1, Writing = 2, FileLoaded = 3 };

class TransferController {
public:
    TransferController(ConsoleModel& model, MidiInput& input, OutputQueue& queue,
                       MidiSettings& settings, StatusSink& status, ConsoleView& view,
                       LinkHost& host);
    ~TransferController();
    TransferController(const TransferController&) = delete;
    TransferController& operator=(const TransferController&) = delete;

    // Commands.
    void StartRead();
    void StartWrite();
    // A console file was decoded: report it through the completion state.
    void FileLoaded();
    // The status window's Close: the transfer stops waiting.
    void CloseInput();

    // Events.
    void Tick();
    // Messages are waiting at the input.
    void OnMessage();
    void Dispatch(std::span<const std::uint8_t> message);

    // Accessors.
    LinkState linkState() const { return linkState_; }
    TransferMode transferMode() const { return transferMode_; }
    long tickCount() const { return tickCount_; }
    bool pausing() const { return pauseTicks_ > 0; }
    void setTrafficListener(TrafficListener* listener) { traffic_ = listener; }

private:
    bool DevicesChosen();
    void TransferStep();
    void RunEntryActions();
    void RunRepeats();
    void QueueUnlessWaiting(Bytes message);
    void QueueIdentify();
    void Queue(Bytes message);
    void Pump();
    void Drain();
    void CompleteResponse();
    bool PastLastManual() const;

    ConsoleModel& model_;
    MidiInput& input_;
    OutputQueue& queue_;
    MidiSettings& settings_;
    StatusSink& status_;
    ConsoleView& view_;
    LinkHost& host_;
    TrafficListener* traffic_ = nullptr;

    LinkState linkState_ = LinkState::Idle;
    TransferMode transferMode_ = TransferMode::None;
    Bytes programBuffer_;
    std::size_t expectedProgramLength_ = 0;

    LinkState prevState_ = LinkState::Idle;
    int retryTick_ = 0;
    int retryCount_ = 0;
    int waitTicks_ = 0;
    int pumpTick_ = 0;
    int pauseTicks_ = 0;
    long tickCount_ = 0;
};

} // namespace vtl
