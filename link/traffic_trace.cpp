#include "link/traffic_trace.h"

#include "link/hex.h"

namespace vtl {

void TrafficTrace::Traffic(long tick, Direction direction, std::span<const std::uint8_t> message) {
    std::string hex = BytesToHex(message);
    if (!hex.empty()) hex.pop_back(); // no blank at the end of the line
    out_ << tick << (direction == Direction::Sent ? " > " : " < ") << hex << '\n';
    out_.flush();
}

} // namespace vtl
