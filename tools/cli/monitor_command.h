#pragma once
// monitor: what the console sends, event by event, in the console's own terms.

#include "tools/cli/command.h"

namespace vtl::cli {

int RunMonitor(const Command& command, const QStringList& args, CommandIo& io);

inline constexpr Command kMonitorCommand{
    "monitor", "[--in P] [--api alsa|jack] [--file F | --read --out P] [--json] [--duration S]",
    "show what the console sends and which element sent it, until Ctrl+C or the duration; "
    "then a summary on standard error",
    RunMonitor};

} // namespace vtl::cli
