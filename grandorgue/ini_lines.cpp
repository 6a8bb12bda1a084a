#include "grandorgue/ini_lines.h"

namespace vtl {
namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

} // namespace

std::vector<IniLine> SplitIniLines(std::string_view text) {
    std::vector<IniLine> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        IniLine line;
        line.whole = text.substr(0, end == std::string_view::npos ? text.size() : end + 1);
        text.remove_prefix(line.whole.size());
        const std::string_view content = Trimmed(line.whole);
        if (content.starts_with('[') && content.ends_with(']')) {
            line.section = content.substr(1, content.size() - 2);
        } else if (!content.starts_with(';')) {
            if (const auto equals = content.find('='); equals != std::string_view::npos) {
                line.key = Trimmed(content.substr(0, equals));
                line.value = Trimmed(content.substr(equals + 1));
            }
        }
        lines.push_back(line);
    }
    return lines;
}

} // namespace vtl
