#pragma once
// Remembers the console as it was last read, loaded, saved or written, so that edits made
// since are never lost without the user being asked.

#include <string>

namespace vtl {

struct ConsoleModel;

class SavedConsole {
public:
    // The console in memory is now safe: it matches the MCUs or a file.
    void Mark(const ConsoleModel& console);
    // True when the console's file text differs from the one at the last mark (a console that
    // cannot be encoded has none).
    bool Differs(const ConsoleModel& console) const;

private:
    std::string text_; // the console file text at the mark; empty before any
};

} // namespace vtl
