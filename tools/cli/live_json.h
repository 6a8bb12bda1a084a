#pragma once
// One live console event as one line of JSON, for scripts reading the monitor:
//   {"time_ms": 1520.4, "bytes": "91 3c 64", "kind": "note-on", "channel": 2, "note": 60,
//    "velocity": 100, "elements": [{"manual": 2, "element": "keyboard"}], "problems": []}
// A key that arrived on several channels has "channels": [5, 6] in place of "channel"; a
// controller has "controller" and "value", a program change "program" (1 to 128); a piston
// element also "piston" (1 to 20). SysEx has no channel.

#include "model/live_event.h"

#include <string>

namespace vtl::cli {

std::string LiveEventJson(const LiveEvent& event);

} // namespace vtl::cli
