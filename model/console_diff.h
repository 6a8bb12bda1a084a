#pragma once
// What differs between two consoles, in the words the console is shown in, manual by manual.
// The command line's diff and verify and the application's verify after write all use it.

#include "model/console_model.h"

#include <string>
#include <string_view>
#include <vector>

namespace vtl {

// What the two consoles are called in the lines: "A" and "B", or "the PC" and "the VTL".
struct ConsoleNames {
    std::string_view a = "A";
    std::string_view b = "B";
};

// One line per difference, those of a manual under its heading ("Manual 2", then
// "  Piston 5: A has \"...\", B has \"...\""); none when the consoles say the same.
std::vector<std::string> DescribeDifferences(const ConsoleModel& a, const ConsoleModel& b,
                                             const ConsoleNames& names = {});

} // namespace vtl
