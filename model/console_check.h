#pragma once
// The console check: settings that are legal bytes but a plain mistake once the console plays
// into a virtual organ or an organ module. Two manuals on one channel, two pistons sending the
// same program, two shoes moving the same controller, a keyboard on no channel: the receiver
// cannot tell them apart, or hears nothing. Each finding names its elements and says so in
// one sentence; the window, the write, the command line and the console sheet all show them.

#include "model/catalogue.h"
#include "model/console_model.h"

#include <string>
#include <string_view>
#include <vector>

namespace vtl {

// The kinds, in the order findings of one element are listed.
enum class FindingKind {
    SharedDivisionChannel,
    DuplicateProgramChange,
    DuplicateShoeController,
    SilentKeyboard,
    FunctionOutsideList,
    DuplicateFunction,
};

// A warning is most likely a mistake; a note may be meant.
enum class FindingSeverity { Warning, Note };

// An element a finding names, counted as a user counts. Ordered by manual, then keyboard,
// pistons along the rail, shoe.
struct FindingElement {
    enum class Kind { Keyboard, Piston, Shoe };

    int manual = 1; // 1 to 3
    Kind kind = Kind::Keyboard;
    int piston = 0; // 1 to 20 along the rail for a piston; 0 otherwise

    auto operator<=>(const FindingElement&) const = default;
};

struct Finding {
    FindingKind kind = FindingKind::SharedDivisionChannel;
    FindingSeverity severity = FindingSeverity::Warning;
    std::vector<FindingElement> elements; // in their order; never empty
    int channel = 0;                      // 1 to 16 where the kind has one, else 0
    int program = 0;                      // duplicate-program-change: 1 to 128
    int controller = 0;                   // duplicate-shoe-controller: 7 or 11
    std::string text;                     // one sentence naming all of the above
};

// Every finding on manuals 1 to manualCount, warnings first, then by the first element each
// names. Unassigned pistons, and those never set, never count.
std::vector<Finding> CheckConsole(const ConsoleModel& model, const FunctionCatalogue& catalogue);

bool HasWarnings(const std::vector<Finding>& findings);

// "shared-division-channel" ...: the names scripts and tests use.
std::string_view KindName(FindingKind kind);
// "warning", "note".
std::string_view SeverityName(FindingSeverity severity);

} // namespace vtl
