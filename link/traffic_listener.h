#pragma once

#include <cstdint>
#include <span>

namespace vtl {

// Sees every message that leaves or arrives, with the tick it happened on.
class TrafficListener {
public:
    enum class Direction { Sent, Received };
    virtual ~TrafficListener() = default;
    virtual void Traffic(long tick, Direction direction, std::span<const std::uint8_t> message) = 0;
};

} // namespace vtl
