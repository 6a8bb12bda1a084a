#pragma once

namespace vtl {

// The transfer controller advances once per tick: every 100 ms in the application and on
// real ports in the command-line tool. Every pacing of the protocol is counted in ticks.
inline constexpr int kTickMilliseconds = 100;
inline constexpr int kTicksPerSecond = 1000 / kTickMilliseconds;

} // namespace vtl
