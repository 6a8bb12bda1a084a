#pragma once
// What differs between two consoles, in the words of show, manual by manual.

#include "model/console_model.h"

#include <ostream>

namespace vtl::cli {

// Prints one line per difference under the heading of its manual; true when any.
bool PrintDifferences(const ConsoleModel& a, const ConsoleModel& b, std::ostream& out);

} // namespace vtl::cli
