#pragma once
// The MIDI traffic log a user sends in when a console does not answer: one line per
// message, "<tick> > <hex>" for sent and "<tick> < <hex>" for received.

#include "link/traffic_listener.h"
#include "sysex/result.h"

#include <fstream>
#include <memory>
#include <string>

namespace vtl {

class TrafficTrace : public TrafficListener {
public:
    // Creates (or empties) the trace file; the error names it.
    static Expected<std::unique_ptr<TrafficTrace>> Open(const std::string& path);

    void Traffic(long tick, Direction direction, std::span<const std::uint8_t> message) override;

private:
    explicit TrafficTrace(std::ofstream file) : out_(std::move(file)) {}

    std::ofstream out_;
};

} // namespace vtl
