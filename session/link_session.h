#pragma once
// One link to the console, for the application and every command of the command-line tool:
// the ports (real or simulated), the output queue, the transfer controller, the traffic
// trace and the tick. Whoever owns it calls Tick() every kTickMilliseconds.

#include "link/midi_settings.h"
#include "link/traffic_listener.h"
#include "link/transfer_report.h"
#include "session/link_ports.h"
#include "sysex/result.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace vtl {

class McuChain;
class OutputQueue;
class TrafficTrace;
class TransferController;
struct ConsoleModel;

class LinkSession : private TrafficListener {
public:
    // Makes the ports; none is opened before the first message leaves. The transfers report
    // to the observer, errors of the ports included, and ask chooseDevices for MIDI devices
    // when none are chosen.
    LinkSession(const PortChoice& choice, ConsoleModel& model, MidiSettings& settings,
                TransferObserver& observer, ChooseDevices chooseDevices);
    ~LinkSession() override;
    LinkSession(const LinkSession&) = delete;
    LinkSession& operator=(const LinkSession&) = delete;

    // Writes every message sent and received to this file from now on; the error names it.
    Status StartTrace(const std::string& path);

    MidiInput& Input();
    MidiOutput& Output();
    bool Simulated() const { return ports_.Simulated(); }
    // The simulated console's chain, to make it misbehave; none on real ports.
    McuChain* SimulatedChain();
    const Status& DemoPreloaded() const { return ports_.Preloaded(); }
    TransferController& Transfer() { return *transfer_; }
    const TransferController& Transfer() const { return *transfer_; }

    // The simulated console's time moves on, then the transfer's.
    void Tick();
    // A transfer has run to its end and nothing waits to be sent.
    bool Completed() const;
    // No transfer is under way: none has begun yet, or the last one has run to its end or
    // was abandoned.
    bool Quiet() const;
    // Hears every message that arrives, as the transfer takes it in.
    void OnReceived(std::function<void(std::span<const std::uint8_t>)> received) {
        received_ = std::move(received);
    }
    // The simulated console played (LinkPorts::Play).
    Status Play(const PlayStep& step) { return ports_.Play(step); }
    // Between transfers: opens the input on the chosen device, so that what the console sends
    // is heard (OnReceived), or closes it again. A transfer closes it when it ends. False when
    // no input device is chosen.
    bool Listen(bool on);
    // At shutdown: stops receiving, closes the input, closes the output.
    void Close();

private:
    void Traffic(long tick, Direction direction, std::span<const std::uint8_t> message) override;

    LinkPorts ports_;
    MidiSettings& settings_;
    std::unique_ptr<OutputQueue> queue_;
    std::unique_ptr<TransferController> transfer_;
    std::unique_ptr<TrafficTrace> trace_;
    std::function<void(std::span<const std::uint8_t>)> received_;
};

} // namespace vtl
