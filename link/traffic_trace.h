#pragma once
// The MIDI traffic log a user sends in when a console does not answer: one line per
// message, "<tick> > <hex>" for sent and "<tick> < <hex>" for received.

#include "link/link_host.h"

#include <ostream>

namespace vtl {

class TrafficTrace : public TrafficListener {
public:
    explicit TrafficTrace(std::ostream& out) : out_(out) {}
    void Traffic(long tick, Direction direction, std::span<const std::uint8_t> message) override;

private:
    std::ostream& out_;
};

} // namespace vtl
