#pragma once
// The MCU link wired to an in-process MCU chain and ticked by hand, as the transfer tests
// and the transfer benchmark drive it. Every message that leaves or arrives and every change
// of the status text is kept with its tick, and so is what the timer did on each tick.

#include "link/output_queue.h"
#include "link/transfer.h"
#include "recording_host.h"
#include "sim/mcu_chain.h"
#include "sim/sim_midi.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace vtl::test {

struct TrafficRecord {
    long tick;
    TrafficListener::Direction direction;
    Bytes message;
};

class TrafficLog : public TrafficListener {
public:
    void Traffic(long tick, Direction direction, std::span<const std::uint8_t> message) override {
        records.push_back({tick, direction, Bytes(message.begin(), message.end())});
    }
    std::vector<TrafficRecord> records;
};

// A status window that also keeps each change of its text with the tick it happened on.
class TranscriptStatus : public RecordingStatus {
public:
    struct Change {
        long tick;
        bool appended; // false: the text was replaced
        std::string text;
    };
    void setText(const std::string& t) override {
        RecordingStatus::setText(t);
        changes.push_back({now, false, t});
    }
    void append(const std::string& t) override {
        RecordingStatus::append(t);
        changes.push_back({now, true, t});
    }
    // The ticks of the changes that are exactly this text.
    std::vector<long> TicksOf(bool appended, const std::string& t) const {
        std::vector<long> ticks;
        for (const auto& c : changes) {
            if (c.appended == appended && c.text == t) ticks.push_back(c.tick);
        }
        return ticks;
    }

    long now = 0;
    std::vector<Change> changes;
};

class SimLink {
public:
    // A chain of mcus MCUs on input device 0 and output device 0.
    explicit SimLink(int mcus) : chain(mcus) { transfer.setTrafficListener(&traffic); }

    McuChain chain;
    SimMidiInput input{chain};
    SimMidiOutput output{chain, input};
    MidiSettings settings{1, 2};
    TranscriptStatus status;
    RecordingView view;
    RecordingHost host;
    OutputQueue queue{input, output, settings, host};
    ConsoleModel model;
    TransferController transfer{model, input, queue, settings, status, view, host};
    TrafficLog traffic;
    // The tick on which the completion text appeared, and the one that hid the window.
    long finishedTick = -1;
    long hiddenTick = -1;
    // The ticks that ran (were not spent in the pause after a message while writing), and
    // those that began in state 1, which queues the identity requests.
    std::vector<long> runningTicks;
    std::vector<long> identifyTicks;

    // One 100 ms tick: what the chain sent arrives first, as between two timer events.
    // Whatever happens on arrival carries the number of the tick before.
    void Tick() {
        status.now = transfer.tickCount();
        input.advance();
        const long tick = transfer.tickCount() + 1;
        status.now = tick;
        if (!transfer.pausing()) runningTicks.push_back(tick);
        if (transfer.linkState() == LinkState::Identify) identifyTicks.push_back(tick);
        const bool wasVisible = status.visible;
        transfer.Tick();
        if (transfer.linkState() != LinkState::Finishing) return;
        if (finishedTick < 0) finishedTick = tick;
        if (wasVisible && !status.visible) hiddenTick = tick;
    }

    // Ticks that ran after tick from, up to and including tick to.
    long RunningTicks(long from, long to) const {
        return std::count_if(runningTicks.begin(), runningTicks.end(),
                             [&](long t) { return t > from && t <= to; });
    }

    void Run(long ticks) {
        for (long i = 0; i < ticks; ++i)
            Tick();
    }

    // Ticks until the transfer is over: finished, everything sent and, unless only the
    // traffic counts, the window gone. False when that has not happened within limit ticks.
    enum class Until { TrafficDone, WindowGone };
    bool RunToEnd(long limit, Until until = Until::WindowGone) {
        for (long i = 0; i < limit; ++i) {
            Tick();
            if (TrafficDone() && (until == Until::TrafficDone || !status.visible)) return true;
        }
        return false;
    }

    // Finished, with nothing left to send and no pause running: where the command-line
    // tool stops.
    bool TrafficDone() const {
        return transfer.linkState() == LinkState::Finishing && queue.empty() && !transfer.pausing();
    }

    std::vector<TrafficRecord> Traffic(TrafficListener::Direction direction) const {
        std::vector<TrafficRecord> out;
        std::copy_if(traffic.records.begin(), traffic.records.end(), std::back_inserter(out),
                     [&](const TrafficRecord& r) { return r.direction == direction; });
        return out;
    }
    std::vector<TrafficRecord> Sent() const { return Traffic(TrafficListener::Direction::Sent); }
};

} // namespace vtl::test
