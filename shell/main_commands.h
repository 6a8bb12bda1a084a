#pragma once
// Every command of the main window's menus and toolbar, in their order.

#include "editor/command_table.h"

#include <vector>

namespace vtl {

class Application;

std::vector<Command> MainCommands(Application& app);

} // namespace vtl
