#pragma once
// The console played by hand, one line at a time: "key M NOTE on|off [VELOCITY]",
// "piston M P", "shoe M VALUE", "wait MS". What an MCU sends for such a step follows from the
// configuration it holds: a key on every channel of its division, a program-change piston its
// program change, an enabled shoe its controller. What a piston of the organ-module groups
// sends is not known, so it sends nothing.

#include "model/console_model.h"
#include "sysex/bytes.h"
#include "sysex/result.h"

#include <string_view>
#include <vector>

namespace vtl {

struct PlayStep {
    enum class Kind { Nothing, Key, Piston, Shoe, Wait };
    Kind kind = Kind::Nothing; // Nothing: a blank line or a comment (#)
    int manual = 0;            // 1 to 3, the MCU's place on the chain
    int number = 0;            // the note, the piston (1 to 20), the shoe's value or the ms
    bool on = true;            // a key pressed or released
    int velocity = -1;         // -1: 100 for a key pressed, 0 for one released
};

// One line of a script; an error says what is wrong with it.
Expected<PlayStep> ParsePlayStep(std::string_view line);

// What the MCU of step.manual sends for the step, whose configuration console holds as
// manual step.manual; an error says why it sends nothing. A wait sends nothing.
Expected<std::vector<Bytes>> PlayedMessages(const ConsoleModel& console, const PlayStep& step);

// A short passage that shows every kind of element at work on the console: a scale on manual
// 1, a chord on manual 2, the first program-change piston, and the first enabled shoe swept
// from 0 to 127 and back; what the console has none of is left out.
std::vector<PlayStep> DemoPassage(const ConsoleModel& console);

} // namespace vtl
