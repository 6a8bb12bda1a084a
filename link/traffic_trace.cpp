#include "link/traffic_trace.h"

#include "model/file_path.h"
#include "sysex/hex.h"

namespace vtl {

Expected<std::unique_ptr<TrafficTrace>> TrafficTrace::Open(const std::string& path) {
    // Binary, so that the trace holds the same bytes on every platform (no CR before each LF).
    std::ofstream file(PathFromUtf8(path), std::ios::out | std::ios::trunc | std::ios::binary);
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
