#pragma once
// The MCU link wired to an in-process MCU chain and ticked by hand, as the transfer tests
// and the transfer benchmark drive it. Every message that leaves or arrives and every report
// is kept with its tick, and so are the ticks the timer ran.

#include "link/output_queue.h"
#include "link/traffic_listener.h"
#include "link/transfer_controller.h"
#include "report_log.h"
#include "sim/mcu_chain.h"
#include "sim/sim_midi.h"
#include "sysex/hex.h"

#include <algorithm>
#include <string>
#include <vector>

namespace vtl::test {

struct TrafficRecord {
    long tick;
    TrafficListener::Direction direction;
    Bytes message;
};

class SimLink : public TrafficListener {
public:
    // A chain of mcus MCUs on input device 0 and output device 0.
    explicit SimLink(int mcus) : chain(mcus) { transfer.SetTrafficListener(this); }

    McuChain chain;
    SimMidiInput input{chain};
    SimMidiOutput output{chain, input};
    MidiSettings settings{1, 2};
    ReportLog log;
    // How the user answers the MIDI setup dialog, and how often it was shown.
    bool chooses = false;
    int setupShown = 0;
    ChooseDevices choose = [this] {
        ++setupShown;
        return chooses;
    };
    OutputQueue queue{input, output, settings};
    ConsoleModel model;
    TransferController transfer{model, input, queue, settings, log, [this] { return choose(); }};
    std::vector<TrafficRecord> traffic;
    // The tick on which the transfer finished, the one after which nothing was left to send,
    // and the one that took it out of view.
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
        log.now = transfer.TickCount();
        input.Advance();
        const long tick = transfer.TickCount() + 1;
        log.now = tick;
        if (!transfer.Pausing()) runningTicks.push_back(tick);
        const bool wasInView = log.inView;
        transfer.Tick();
        if (transfer.State() != LinkState::Finishing) return;
        if (finishedTick < 0) finishedTick = tick;
        if (trafficDoneTick < 0 && TrafficDone()) trafficDoneTick = tick;
        if (wasInView && !log.inView) hiddenTick = tick;
    }

    // The user's Close, and the window closed by its title bar.
    void Close() {
        log.inView = false;
        transfer.CloseInput();
    }
    void Dismiss() {
        log.inView = false;
        transfer.Dismissed();
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
    // traffic counts, out of view. False when that has not happened within limit ticks.
    enum class Until { TrafficDone, OutOfView };
    bool RunToEnd(long limit, Until until = Until::OutOfView) {
        for (long i = 0; i < limit; ++i) {
            Tick();
            if (TrafficDone() && (until == Until::TrafficDone || !log.inView)) return true;
        }
        return false;
    }

    // Finished, with nothing left to send and no pause running: where the command-line
    // tool stops.
    bool TrafficDone() const {
        return transfer.State() == LinkState::Finishing && queue.empty() && !transfer.Pausing();
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
