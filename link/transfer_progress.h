#pragma once
// How far a transfer has got: the messages it needs, sent and taken, against the total, per
// manual and overall, and the time left as the pacing of the link allows. Repeats and our
// own messages coming back do not count, so the figures only grow and reach the total with
// the transfer's last step.

#include "model/console_model.h"
#include "sysex/bytes.h"

#include <array>
#include <optional>
#include <vector>

namespace vtl {

enum class TransferMode : int { None = 0, Reading = 1, Writing = 2, FileLoaded = 3 };

// The fewest ticks a transfer can take: the turns of the output queue it needs (its messages
// and the link openings, each of which takes a turn like a message), the ticks each turn
// takes, and the waits of the state machine on top.
struct TransferPacing {
    int turns = 0;
    int ticksPerTurn = 0;
    int waitTicks = 0;
    long MinimumTicks() const { return long{turns} * ticksPerTurn + waitTicks; }
};
TransferPacing MinimumPacing(TransferMode mode, int manuals);

// How far a transfer has got, as a presenter shows it.
struct TransferProgress {
    TransferMode mode = TransferMode::None; // Reading or Writing while a transfer shows
    int manuals = 0;                        // 0 while a read has not counted them
    int manual = 0;                         // the manual under way, 1-based; 0 while counting
    int manualsDone = 0;
    int manualDone = 0;
    int manualTotal = 0;
    int done = 0;
    int total = 0;        // 0 while unknown
    int secondsLeft = -1; // -1 while unknown
    bool stalled = false; // a connection message shows: nothing moves until an answer comes

    bool Active() const { return mode == TransferMode::Reading || mode == TransferMode::Writing; }
    int Percent() const { return total == 0 ? 0 : done * 100 / total; }
    bool operator==(const TransferProgress&) const = default;
};

// Counts what one transfer needs. Manual 0 stands for what a read does before the first
// manual: the reboot of every MCU and the counting TAG.
class ProgressCounter {
public:
    // A read does not know its manuals before the TAG comes back: manuals 0.
    void Start(TransferMode mode, int manuals);
    // No transfer to show, as after a file load.
    void Stop();

    // A message the manual needs was queued, or waits already; it counts when it leaves.
    // The same message is needed only once per manual: asking again is a repeat.
    void Expect(int manual, const Bytes& message);
    // An entry left the queue: a message, or nothing when it opened the link.
    void Left(const std::optional<Bytes>& message);
    // The counting TAG came back with this many manuals.
    void Counted(int manuals);
    // The manual identified itself; what of its request has not left is needed no more.
    void Identified(int manual);
    // Program data of the manual arrived: bytes of the length expected.
    void DataTaken(int manual, std::size_t bytes, std::size_t length);
    // A connection message shows.
    void Stall();

    const TransferProgress& Figures() const { return figures_; }
    // True once after the figures changed.
    bool TakeChanged();

private:
    struct Need {
        int manual;
        Bytes message;
        bool left;
    };
    struct Manual {
        int units = 0;
        bool identified = false;
        int dataParts = 0;
    };
    bool Known(int manual) const;
    void Add(int manual, int units);
    void Update();

    TransferMode mode_ = TransferMode::None;
    int manuals_ = 0;
    std::vector<Need> needs_;
    std::array<Manual, kMaxManuals + 1> of_{};
    int openings_ = 0;
    bool stalled_ = false;
    TransferProgress figures_;
    bool changed_ = false;
};

} // namespace vtl
