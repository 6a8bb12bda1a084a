#include "platform/ini_file.h"

#include "model/atomic_file.h"
#include "model/file_path.h"

#include <algorithm>
#include <system_error>

namespace vtl {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}
bool IsSpaceOrTab(char c) {
    return c == ' ' || c == '\t';
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// A name handed to the operating system as a C string ends at its first NUL.
std::string_view AsCString(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

// The first `count` characters of UTF-8 text; a multi-byte sequence is never split.
std::string FirstCharacters(std::string_view text, std::size_t count) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool continuation = (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
        if (!continuation && characters++ == count) return std::string(text.substr(0, i));
    }
    return std::string(text);
}

// What one line of the file is. Views and positions index the line as stored.
enum class LineKind { Blank, Comment, Section, Key };
struct LineInfo {
    LineKind kind = LineKind::Blank;
    std::string_view name;
    bool hasValue = false;      // the key line holds "="
    std::size_t valueStart = 0; // after "=" and the blanks behind it
    std::string_view value;     // without the blanks around it
};

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

// Gives a key line the value, keeping what stands before it and the line's CR. False when
// the line holds that value already.
bool ReplaceValue(std::string& line, std::string_view text) {
    const LineInfo info = Classify(line);
    if (info.hasValue && info.value == text) return false;
    const std::string head = info.hasValue ? line.substr(0, info.valueStart) : Entry(info.name, "");
    line = head + std::string(text) + (line.ends_with('\r') ? "\r" : "");
    return true;
}

// The file as lines, each without its LF but with a CR before it if it had one, so that
// writing it back gives the same bytes.
struct IniText {
    std::string byteOrderMark;
    std::vector<std::string> lines;
    bool lastTerminated = true;
    bool crlf = false; // the line end of lines the program adds

    // The header line of a section and the line after its last.
    struct Span {
        std::size_t header;
        std::size_t end;
    };

    std::string Serialise() const {
        std::string out = byteOrderMark;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            out += lines[i];
            if (i + 1 < lines.size() || lastTerminated) out += '\n';
        }
        return out;
    }

    void Insert(std::size_t index, std::string text) {
        if (index == lines.size()) {
            // The last line gets the file's line end, of which a CR it ends in is half.
            if (!lastTerminated && crlf && !lines.empty() && !lines.back().ends_with('\r'))
                lines.back() += '\r';
            lastTerminated = true;
        }
        if (crlf) text += '\r';
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(index), std::move(text));
    }

    // The first section of that name.
    std::optional<Span> FindSection(std::string_view name) const {
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

    std::optional<std::size_t> FindKey(Span span, std::string_view name) const {
        for (std::size_t i = span.header + 1; i < span.end; ++i) {
            const LineInfo info = Classify(lines[i]);
            if (info.kind == LineKind::Key && SameName(info.name, name)) return i;
        }
        return std::nullopt;
    }

    // After the section's last entry, so that comments and blank lines before the next
    // section stay with that one.
    std::size_t EndOfEntries(Span span) const {
        std::size_t after = span.header + 1;
        for (std::size_t i = after; i < span.end; ++i) {
            if (Classify(lines[i]).kind == LineKind::Key) after = i + 1;
        }
        return after;
    }

    // Lines from `first` up to `end` go; the line before them keeps its line end.
    void Erase(std::size_t first, std::size_t end) {
        if (end == lines.size()) lastTerminated = true;
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(first),
                    lines.begin() + static_cast<std::ptrdiff_t>(end));
    }

    // The edits return whether they changed anything.
    bool EraseSection(std::string_view section) {
        const auto span = FindSection(section);
        if (!span) return false;
        Erase(span->header, span->end);
        return true;
    }

    bool EraseKey(std::string_view section, std::string_view key) {
        const auto span = FindSection(section);
        const auto index = span ? FindKey(*span, key) : std::nullopt;
        if (!index) return false;
        Erase(*index, *index + 1);
        return true;
    }

    // In place when the key exists, else after its section's last entry, else in a new
    // section at the end of the file.
    bool SetEntry(std::string_view section, std::string_view key, std::string_view text) {
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
};

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

// A missing file reads as an empty one; one that cannot be settings is an error.
std::optional<IniText> LoadIni(const std::filesystem::path& path, std::string& error) {
    std::error_code ignored;
    if (!std::filesystem::exists(path, ignored)) return IniText{};
    const auto content = ReadWholeFile(path, cInifile::kMaxFileSize, "a settings file");
    if (!content) {
        error = content.error().message;
        return std::nullopt;
    }
    if (content->find('\0') != std::string::npos) {
        error = Utf8Name(path) + ": NUL bytes, so not the text of a settings file";
        return std::nullopt;
    }
    return ParseIni(*content);
}

// For reads, which never fail.
IniText LoadIniOrEmpty(const std::filesystem::path& path) {
    std::string ignored;
    return LoadIni(path, ignored).value_or(IniText{});
}

// A value without one pair of enclosing quotes.
std::string_view WithoutQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// The default as a read returns it: a C string without trailing blanks.
std::string DefaultResult(std::string_view fallback, std::size_t limit) {
    std::string_view text = AsCString(fallback);
    while (!text.empty() && IsSpaceOrTab(text.back()))
        text.remove_suffix(1);
    return FirstCharacters(text, limit);
}

// Names each followed by a NUL, cut as the operating system cuts a list that does not fit
// its buffer: the last name is left without its NUL, so enumeration drops it.
std::string NulSeparated(const std::vector<std::string_view>& names) {
    std::string list;
    for (const auto name : names) {
        list += name;
        list += '\0';
    }
    if (list.size() + 1 > cInifile::kListBuffer) list.resize(cInifile::kListBuffer - 2);
    return list;
}

std::vector<std::string> SplitNames(std::string_view list, bool skipEmpty) {
    std::vector<std::string> names;
    for (std::size_t nul = list.find('\0'); nul != std::string_view::npos; nul = list.find('\0')) {
        if (nul > 0 || !skipEmpty) names.emplace_back(list.substr(0, nul));
        list.remove_prefix(nul + 1);
    }
    return names;
}

bool HoldsLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// Why a write cannot be made at all; nullopt when it can.
std::optional<std::string> Refusal(std::string_view section, std::optional<std::string_view> key,
                                   std::optional<std::string_view> text) {
    if (section.empty() || (key && key->empty())) return "a setting needs a section and a key name";
    if (HoldsLineBreak(section) || (key && HoldsLineBreak(*key)) ||
        (text && HoldsLineBreak(*text))) {
        return "a setting cannot hold a line break";
    }
    return std::nullopt;
}

} // namespace

Status cInifile::CheckFile() const {
    std::string error;
    if (LoadIni(path_, error)) return Ok();
    return Error{error};
}

std::optional<std::string> cInifile::Lookup(std::string_view section, std::string_view key) const {
    const IniText ini = LoadIniOrEmpty(path_);
    const auto span = ini.FindSection(AsCString(section));
    const auto index = span ? ini.FindKey(*span, AsCString(key)) : std::nullopt;
    if (!index) return std::nullopt;
    const LineInfo info = Classify(ini.lines[*index]);
    if (!info.hasValue) return std::nullopt;
    return FirstCharacters(WithoutQuotes(info.value), kValueLength);
}

std::string cInifile::value() const {
    if (auto found = Lookup(section_, key_)) return *std::move(found);
    return DefaultResult(defaultValue_, kValueLength);
}

void cInifile::Store(std::string_view section, std::string_view key, std::string_view text) {
    std::string withoutNuls(text);
    std::erase(withoutNuls, '\0');
    Write(section, AsCString(key), withoutNuls);
}

void cInifile::setValue(std::string_view text) {
    Store(section_, key_, text);
}

void cInifile::DeleteKey() {
    Write(section_, AsCString(key_), std::nullopt);
}

void cInifile::DeleteSection() {
    Write(section_, std::nullopt, std::nullopt);
}

void cInifile::setIniSection(std::string_view text) {
    Write(section_, std::nullopt, text);
}

std::string cInifile::iniSection() const {
    const IniText ini = LoadIniOrEmpty(path_);
    std::vector<std::string_view> names;
    if (const auto span = ini.FindSection(AsCString(section_))) {
        for (std::size_t i = span->header + 1; i < span->end; ++i) {
            const LineInfo info = Classify(ini.lines[i]);
            if (info.kind == LineKind::Key && info.hasValue) names.push_back(info.name);
        }
    }
    if (names.empty()) return DefaultResult(defaultValue_, kListBuffer - 1);
    return NulSeparated(names);
}

std::string cInifile::sections() const {
    const IniText ini = LoadIniOrEmpty(path_);
    std::vector<std::string_view> names;
    for (const auto& line : ini.lines) {
        const LineInfo info = Classify(line);
        if (info.kind == LineKind::Section && !info.name.empty()) names.push_back(info.name);
    }
    return NulSeparated(names);
}

std::vector<std::string> cInifile::EnumerateCurrentSection() const {
    return SplitNames(iniSection(), false);
}

std::vector<std::string> cInifile::EnumerateAllSections() const {
    return SplitNames(sections(), true);
}

void cInifile::Write(std::string_view section, std::optional<std::string_view> key,
                     std::optional<std::string_view> text) {
    lastReturnCode_ = 0;
    section = AsCString(section);
    if (auto refusal = Refusal(section, key, text)) {
        lastError_ = std::move(*refusal);
        return;
    }
    auto ini = LoadIni(path_, lastError_);
    if (!ini) return;
    const bool changed = !key    ? ini->EraseSection(section)
                         : !text ? ini->EraseKey(section, *key)
                                 : ini->SetEntry(section, *key, *text);
    if (changed) {
        if (const Status written = WriteFileAtomically(path_, ini->Serialise()); !written) {
            lastError_ = Utf8Name(path_) + ": " + written.error().message;
            return;
        }
    }
    lastError_.clear();
    lastReturnCode_ = 1;
}

} // namespace vtl
