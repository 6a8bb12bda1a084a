#include "tools/vtl_mcu_sim/stop_request.h"

#include <csignal>
#include <ctime>

#include <pthread.h>

namespace vtl {
namespace {

sigset_t StopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

} // namespace

StopRequest::StopRequest() {
    const sigset_t signals = StopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

StopRequest::~StopRequest() = default;

bool StopRequest::WaitFor(std::chrono::milliseconds time) {
    const sigset_t signals = StopSignals();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(time);
    const timespec timeout{static_cast<time_t>(seconds.count()),
                           static_cast<long>((time - seconds).count() * 1'000'000)};
    return sigtimedwait(&signals, nullptr, &timeout) >= 0;
}

} // namespace vtl
