#pragma once
// The lines of a GrandOrgue INI text, each kept as it stands so that a rewrite can copy the
// lines it does not change byte for byte.

#include <string_view>
#include <vector>

namespace vtl {

struct IniLine {
    std::string_view whole;   // the line with its line end
    std::string_view section; // a header's name, "Manual001" of "[Manual001]"; else empty
    std::string_view key;     // a key line's key and value, blanks around them dropped
    std::string_view value;
};

// Comments (';') and blank lines have neither section nor key.
std::vector<IniLine> SplitIniLines(std::string_view text);

} // namespace vtl
