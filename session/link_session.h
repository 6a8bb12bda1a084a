#pragma once
// One link to the console, for the application and every command of the command-line tool:
// the ports (real or simulated), the output queue, the transfer controller, the traffic
// trace and the tick. Whoever owns it calls Tick() every kTickMilliseconds.

#include "link/link_host.h"
#include "link/midi_settings.h"
#include "session/link_ports.h"
#include "sysex/result.h"

#include <memory>
#include <string>

namespace vtl {

class McuChain;
class OutputQueue;
class TrafficTrace;
class TransferController;
struct ConsoleModel;

class LinkSession : private TrafficListener {
public:
    // The windows (or their printed stand-ins) the link reports to.
    struct Hosts {
        StatusSink& status;
        ConsoleDisplay& view;
        LinkHost& host;
    };

    // Makes the ports; none is opened before the first message leaves. Errors of the ports
    // end a transfer under way and are shown through the host.
    LinkSession(const PortChoice& choice, ConsoleModel& model, MidiSettings& settings, Hosts hosts);
    ~LinkSession() override;
    LinkSession(const LinkSession&) = delete;
    LinkSession& operator=(const LinkSession&) = delete;

    // Writes every message sent and received to this file from now on; the error names it.
    Status StartTrace(const std::string& path);

    MidiInput& input();
    MidiOutput& output();
    bool simulated() const { return ports_.simulated(); }
    // The simulated console's chain, to make it misbehave; none on real ports.
    McuChain* simulatedChain();
    const Status& demoPreloaded() const { return ports_.preloaded(); }
    TransferController& transfer() { return *transfer_; }
    const TransferController& transfer() const { return *transfer_; }

    // The simulated console's time moves on, then the transfer's.
    void Tick();
    // A transfer has run to its end and nothing waits to be sent.
    bool Completed() const;
    // At shutdown: stops receiving, closes the input, closes the output.
    void Close();

private:
    void Traffic(long tick, Direction direction, std::span<const std::uint8_t> message) override;

    LinkPorts ports_;
    std::unique_ptr<OutputQueue> queue_;
    std::unique_ptr<TransferController> transfer_;
    std::unique_ptr<TrafficTrace> trace_;
};

} // namespace vtl
