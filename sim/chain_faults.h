#pragma once
// Faults of an MCU chain named in words, for the command-line options of the simulator and
// of the tool's simulated console: "silent:2" makes MCU 2 silent, "drop:1:3" loses MCU 1's
// next three replies. Lets anyone see what the programs say when a console misbehaves.

#include "sysex/result.h"

#include <string_view>

namespace vtl {

class McuChain;

// One line per fault, for the options' help.
inline constexpr std::string_view kChainFaultHelp =
    "mcus:N (N MCUs on the chain, 0 to 4), silent:M (MCU M never answers), no-pass:M (MCU M "
    "passes nothing on), drop:M:N (MCU M loses its next N replies), late:M:T (MCU M answers T "
    "ticks late), twice:M (MCU M sends every reply twice), high-byte:M (MCU M's next response "
    "carries a byte above 127), vanish:N (the MIDI device vanishes after N messages), "
    "port-error:N (the MIDI device refuses every message after N)";

// Applies one fault; the error quotes it and says what is wrong with it.
Status ApplyChainFault(McuChain& chain, std::string_view fault);

} // namespace vtl
