#pragma once
// The MCU link wired to an in-process MCU chain and ticked by hand, as the transfer tests
// and the transfer benchmark drive it. Every message that leaves or arrives and every change
// of the status text and of the progress figures is kept with its tick, and so are the ticks
// the timer ran.

#include "link/output_queue.h"
#include "link/transfer_controller.h"
#include "recording_host.h"
#include "sim/mcu_chain.h"
#include "sim/sim_midi.h"
#include "sysex/hex.h"

#include <algorithm>
#include <string>
#include <vector>

namespace vtl::test {

// A status window that keeps its caption, text and visibility, and each change of its text
// and of the progress figures with the tick it happened on.
class TranscriptStatus : public StatusSink {
public:
    void setCaption(const std::string& c) override { caption = c; }
    void setText(const std::string& t) override {
        text = t;
        changes.push_back({now, t});
    }
    void append(const std::string& t) override {
        text += t;
        changes.push_back({now, t});
    }
    void centre() override {}
    void show() override { visible = true; }
    void hide() override { visible = false; }
    void unload() override {
        visible = false;
        text.clear();
    }
    bool isVisible() const override { return visible; }
    void setProgress(const TransferProgress& p) override { progress.push_back({now, p}); }

    // The ticks of the changes that set or appended exactly this text.
    std::vector<long> TicksOf(const std::string& t) const {
        std::vector<long> ticks;
        for (const auto& [tick, changed] : changes) {
            if (changed == t) ticks.push_back(tick);
        }
        return ticks;
    }

    std::string caption;
    std::string text;
    bool visible = false;
    long now = 0;
    std::vector<std::pair<long, std::string>> changes;
    std::vector<std::pair<long, TransferProgress>> progress;
};

class RecordingView : public ConsoleView {
public:
    void ShowManuals() override { ++manualsShown; }
    void SetCommandsDataLoaded() override { ++dataLoaded; }
    void ShowReading() override { ++readingShown; }
    void ShowConsoleKept() override { ++keptShown; }

    int manualsShown = 0;
    int dataLoaded = 0;
    int readingShown = 0;
    int keptShown = 0;
};

struct TrafficRecord {
    long tick;
    TrafficListener::Direction direction;
    Bytes message;
};

class SimLink : public TrafficListener {
public:
    // A chain of mcus MCUs on input device 0 and output device 0.
    explicit SimLink(int mcus) : chain(mcus) { transfer.setTrafficListener(this); }

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
    std::vector<TrafficRecord> traffic;
    // The tick on which the completion text appeared, the one after which nothing was left
    // to send, and the one that hid the window.
    long finishedTick = -1;
    long trafficDoneTick = -1;
    long hiddenTick = -1;
    // The ticks that ran (were not spent in the pause after a message while writing).
    std::vector<long> runningTicks;

    void Traffic(long tick, Direction direction, std::span<const std::uint8_t> message) override {
        traffic.push_back({tick, direction, Bytes(message.begin(), message.end())});
    }

    // One 100 ms tick: what the chain sent arrives first, as between two timer events.
    // Whatever happens on arrival carries the number of the tick before.
    void Tick() {
        status.now = transfer.tickCount();
        input.advance();
        const long tick = transfer.tickCount() + 1;
        status.now = tick;
        if (!transfer.pausing()) runningTicks.push_back(tick);
        const bool wasVisible = status.visible;
        transfer.Tick();
        if (transfer.linkState() != LinkState::Finishing) return;
        if (finishedTick < 0) finishedTick = tick;
        if (trafficDoneTick < 0 && TrafficDone()) trafficDoneTick = tick;
        if (wasVisible && !status.visible) hiddenTick = tick;
    }

    // Ticks that ran after tick from, up to and including tick to.
    long RunningTicks(long from, long to) const {
        return static_cast<long>(std::count_if(runningTicks.begin(), runningTicks.end(),
                                               [&](long t) { return t > from && t <= to; }));
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

    // The messages sent, as hex text.
    std::vector<std::string> Sent() const {
        std::vector<std::string> sent;
        for (const auto& r : traffic) {
            if (r.direction == Direction::Sent) sent.push_back(BytesToHex(r.message));
        }
        return sent;
    }
};

} // namespace vtl::test
