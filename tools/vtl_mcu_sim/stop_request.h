#pragma once
// A request to stop the simulator, waited for between the chain's ticks: SIGINT or SIGTERM
// on POSIX, Ctrl+C, Ctrl+Break or the console window's closing on Windows.

#include <chrono>

namespace vtl {

class StopRequest {
public:
    // Made before RtMidi starts its threads: on POSIX the signals are blocked here for every
    // thread, so that only WaitFor takes them.
    StopRequest();
    ~StopRequest();
    StopRequest(const StopRequest&) = delete;
    StopRequest& operator=(const StopRequest&) = delete;

    // Waits at most this long; true once a stop has been requested.
    bool WaitFor(std::chrono::milliseconds time);

private:
    // Windows: the event the console's handler sets (POSIX waits for its signals instead).
    [[maybe_unused]] void* event_ = nullptr;
};

} // namespace vtl
