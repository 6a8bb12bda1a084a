#include "model/console_diff.h"

#include "model/console_text.h"

#include <algorithm>

namespace vtl {
namespace {

std::string Quoted(std::string_view name, const std::string& text) {
    return std::string(name) + " has \"" + text + "\"";
}

// The differing lines of one manual under its heading.
void AddManualDifferences(int manual, const std::vector<TextLine>& a,
                          const std::vector<TextLine>& b, const ConsoleNames& names,
                          std::vector<std::string>& lines) {
    bool heading = false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].text == b[i].text) continue;
        if (!heading) lines.push_back("Manual " + std::to_string(manual));
        heading = true;
        lines.push_back("  " + a[i].label + ": " + Quoted(names.a, a[i].text) + ", " +
                        Quoted(names.b, b[i].text));
    }
}

} // namespace

std::vector<std::string> DescribeDifferences(const ConsoleModel& a, const ConsoleModel& b,
                                             const ConsoleNames& names) {
    const int manualsA = ManualsIn(a);
    const int manualsB = ManualsIn(b);
    std::vector<std::string> lines;
    if (manualsA != manualsB) {
        lines.push_back("Manuals: " + std::string(names.a) + " has " + std::to_string(manualsA) +
                        ", " + std::string(names.b) + " has " + std::to_string(manualsB));
    }
    const FunctionCatalogue catalogue = BuildCatalogue();
    for (int m = 1; m <= std::max(manualsA, manualsB); ++m) {
        if (m > manualsA || m > manualsB) {
            lines.push_back("Manual " + std::to_string(m) + ": only in " +
                            std::string(m > manualsA ? names.b : names.a));
            continue;
        }
        AddManualDifferences(m, DescribeManual(a, m, catalogue), DescribeManual(b, m, catalogue),
                             names, lines);
    }
    return lines;
}

} // namespace vtl
