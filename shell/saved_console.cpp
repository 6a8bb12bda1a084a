#include "shell/saved_console.h"

#include "model/config_file.h"

namespace vtl {
namespace {

// The file text is the console's whole stored state, manual by manual. Encoding moves
// currentManual, so it runs on a copy.
std::string FileText(const ConsoleModel& console) {
    ConsoleModel copy = console;
    const auto text = FormatConfigFile(copy);
    return text ? *text : std::string();
}

} // namespace

void SavedConsole::Mark(const ConsoleModel& console) {
    text_ = FileText(console);
}

bool SavedConsole::Differs(const ConsoleModel& console) const {
    return FileText(console) != text_;
}

} // namespace vtl
