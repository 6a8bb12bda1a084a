#include "platform/ini_text.h"

#include <algorithm>

namespace vtl {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Gives a key line the value, keeping what stands before it and the line's CR. False when
// the line holds that value already.
bool ReplaceValue(std::string& line, std::string_view text) {
    const LineInfo info = Classify(line);
    if (info.hasValue && info.value == text) return false;
    const std::string head = info.hasValue ? line.substr(0, info.valueStart) : Entry(info.name, "");
    line = head + std::string(text) + (line.ends_with('\r') ? "\r" : "");
    return true;
}

} // namespace

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

LineInfo Classify(std::string_view line) {
    std::size_t begin = 0;
    std::size_t end = line.size();
    while (begin < end && IsBlank(line[begin]))
        ++begin;
    while (end > begin && IsBlank(line[end - 1]))
        --end;
    LineInfo info;
    if (begin == end) return info;
    const std::string_view text = line.substr(begin, end - begin);
    if (text.front() == '[') {
        const std::size_t close = text.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            info.kind = LineKind::Section;
            info.name = text.substr(1, close - 1);
            return info;
        }
    }
    if (text.front() == ';') {
        info.kind = LineKind::Comment;
        return info;
    }
    info.kind = LineKind::Key;
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        info.name = text;
        return info;
    }
    std::string_view name = text.substr(0, equals);
    while (!name.empty() && IsBlank(name.back()))
        name.remove_suffix(1);
    info.name = name;
    info.hasValue = true;
    info.valueStart = begin + equals + 1;
    while (info.valueStart < end && IsBlank(line[info.valueStart]))
        ++info.valueStart;
    info.value = line.substr(info.valueStart, end - info.valueStart);
    return info;
}

std::string Entry(std::string_view key, std::string_view text) {
    return std::string(key) + "=" + std::string(text);
}

std::string IniText::Serialise() const {
    std::string out = byteOrderMark;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += lines[i];
        if (i + 1 < lines.size() || lastTerminated) out += '\n';
    }
    return out;
}

void IniText::Insert(std::size_t index, std::string text) {
    if (index == lines.size()) {
        // The last line gets the file's line end, of which a CR it ends in is half.
        if (!lastTerminated && crlf && !lines.empty() && !lines.back().ends_with('\r'))
            lines.back() += '\r';
        lastTerminated = true;
    }
    if (crlf) text += '\r';
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(index), std::move(text));
}

std::optional<IniText::Span> IniText::FindSection(std::string_view name) const {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LineInfo info = Classify(lines[i]);
        if (info.kind != LineKind::Section || !SameName(info.name, name)) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && Classify(lines[end]).kind != LineKind::Section)
            ++end;
        return Span{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> IniText::FindKey(Span span, std::string_view name) const {
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        const LineInfo info = Classify(lines[i]);
        if (info.kind == LineKind::Key && SameName(info.name, name)) return i;
    }
    return std::nullopt;
}

std::size_t IniText::EndOfEntries(Span span) const {
    std::size_t after = span.header + 1;
    for (std::size_t i = after; i < span.end; ++i) {
        if (Classify(lines[i]).kind == LineKind::Key) after = i + 1;
    }
    return after;
}

void IniText::Erase(std::size_t first, std::size_t end) {
    if (end == lines.size()) lastTerminated = true;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(first),
                lines.begin() + static_cast<std::ptrdiff_t>(end));
}

bool IniText::EraseSection(std::string_view section) {
    const auto span = FindSection(section);
    if (!span) return false;
    Erase(span->header, span->end);
    return true;
}

bool IniText::EraseKey(std::string_view section, std::string_view key) {
    const auto span = FindSection(section);
    const auto index = span ? FindKey(*span, key) : std::nullopt;
    if (!index) return false;
    Erase(*index, *index + 1);
    return true;
}

bool IniText::SetEntry(std::string_view section, std::string_view key, std::string_view text) {
    const auto span = FindSection(section);
    if (!span) {
        Insert(lines.size(), "[" + std::string(section) + "]");
        Insert(lines.size(), Entry(key, text));
        return true;
    }
    if (const auto index = FindKey(*span, key)) return ReplaceValue(lines[*index], text);
    Insert(EndOfEntries(*span), Entry(key, text));
    return true;
}

IniText ParseIni(std::string_view content) {
    IniText text;
    if (content.starts_with(kByteOrderMark)) {
        text.byteOrderMark = kByteOrderMark;
        content.remove_prefix(kByteOrderMark.size());
    }
    if (content.empty()) return text;
    text.lastTerminated = content.back() == '\n';
    if (text.lastTerminated) content.remove_suffix(1);
    std::size_t start = 0;
    for (;;) {
        const std::size_t lf = content.find('\n', start);
        text.lines.emplace_back(content.substr(start, lf - start));
        if (lf == std::string_view::npos) break;
        start = lf + 1;
    }
    const bool firstTerminated = text.lines.size() > 1 || text.lastTerminated;
    text.crlf = firstTerminated && text.lines.front().ends_with('\r');
    return text;
}

} // namespace vtl
