#include "link/traffic_trace.h"

#include "sysex/hex.h"

namespace vtl {

Expected<std::unique_ptr<TrafficTrace>> TrafficTrace::Open(const std::string& path) {
    std::ofstream file(path, std::ios::out | std::ios::trunc);
    if (!file) return Error{path + ": cannot create the file"};
    return std::unique_ptr<TrafficTrace>(new TrafficTrace(std::move(file)));
}

void TrafficTrace::Traffic(long tick, Direction direction, std::span<const std::uint8_t> message) {
    std::string hex = BytesToHex(message);
    if (!hex.empty()) hex.pop_back(); // no blank at the end of the line
    // Flushed line by line: the log matters most when the program is stuck or killed.
    out_ << tick << (direction == Direction::Sent ? " > " : " < ") << hex << '\n' << std::flush;
}

} // namespace vtl
