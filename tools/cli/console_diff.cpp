#include "tools/cli/console_diff.h"

#include "tools/cli/console_text.h"

#include <algorithm>

namespace vtl::cli {
namespace {

// Prints the differing lines of one manual under its heading; true when there were any.
bool PrintManualDifferences(int manual, const std::vector<TextLine>& a,
                            const std::vector<TextLine>& b, std::ostream& out) {
    bool heading = false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].text == b[i].text) continue;
        if (!heading) out << "Manual " << manual << '\n';
        heading = true;
        out << "  " << a[i].label << ": A has \"" << a[i].text << "\", B has \"" << b[i].text
            << "\"\n";
    }
    return heading;
}

} // namespace

bool PrintDifferences(const ConsoleModel& a, const ConsoleModel& b, std::ostream& out) {
    const int manualsA = ManualsIn(a);
    const int manualsB = ManualsIn(b);
    bool different = manualsA != manualsB;
    if (different) out << "Manuals: A has " << manualsA << ", B has " << manualsB << '\n';

    const FunctionCatalogue catalogue = BuildCatalogue();
    for (int m = 1; m <= std::max(manualsA, manualsB); ++m) {
        if (m > manualsA || m > manualsB) {
            out << "Manual " << m << ": only in " << (m > manualsA ? 'B' : 'A') << '\n';
            continue;
        }
        different |= PrintManualDifferences(m, DescribeManual(a, m, catalogue),
                                            DescribeManual(b, m, catalogue), out);
    }
    return different;
}

} // namespace vtl::cli
