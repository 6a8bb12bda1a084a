#pragma once
// Asked before a write when the console check has warnings: they are listed, and the user
// writes anyway or goes back to the console. Without warnings nothing is asked.

#include "model/console_check.h"

#include <vector>

class QWidget;

namespace vtl {

// True when the write may start.
bool MayWrite(QWidget& parent, const std::vector<Finding>& findings);

} // namespace vtl
