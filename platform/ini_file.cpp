#include "platform/ini_file.h"

#include "model/atomic_file.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <sstream>
#include <system_error>

namespace vtl {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::int64_t kNumberCap = 1'000'000'000'000'000;

bool IsLineBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}
bool IsNumberBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
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

// What one line of the file is. Positions index the line as stored.
enum class LineKind { Blank, Comment, Section, Key };
struct LineInfo {
    LineKind kind = LineKind::Blank;
    std::string_view name;
    bool hasValue = false;      // the key line holds "="
    std::size_t valueStart = 0; // after "=" and the blanks behind it
    std::size_t valueEnd = 0;   // before the trailing blanks
};

LineInfo Classify(std::string_view line) {
    std::size_t begin = 0;
    std::size_t end = line.size();
    while (begin < end && IsLineBlank(line[begin]))
        ++begin;
    while (end > begin && IsLineBlank(line[end - 1]))
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
    while (!name.empty() && IsLineBlank(name.back()))
        name.remove_suffix(1);
    info.name = name;
    info.hasValue = true;
    info.valueStart = begin + equals + 1;
    while (info.valueStart < end && IsLineBlank(line[info.valueStart]))
        ++info.valueStart;
    info.valueEnd = end;
    return info;
}

// The file as lines, each without its LF but with a CR before it if it had one, so that
// writing it back gives the same bytes.
struct IniText {
    std::string byteOrderMark;
    std::vector<std::string> lines;
    bool lastTerminated = true;
    bool crlf = false; // the line end of lines the program adds

    std::string serialise() const {
        std::string out = byteOrderMark;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            out += lines[i];
            if (i + 1 < lines.size() || lastTerminated) out += '\n';
        }
        return out;
    }

    std::string newLine(std::string text) const { return crlf ? text + '\r' : text; }

    void insert(std::size_t index, std::string text) {
        if (index == lines.size()) {
            if (!lastTerminated && !lines.empty() && crlf) lines.back() += '\r';
            lastTerminated = true;
        }
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(index), newLine(std::move(text)));
    }

    // The header line of the first section of that name and the line after its last.
    struct Span {
        std::size_t header;
        std::size_t end;
    };
    std::optional<Span> findSection(std::string_view name) const {
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

    std::optional<std::size_t> findKey(Span span, std::string_view name) const {
        for (std::size_t i = span.header + 1; i < span.end; ++i) {
            const LineInfo info = Classify(lines[i]);
            if (info.kind == LineKind::Key && SameName(info.name, name)) return i;
        }
        return std::nullopt;
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

// A missing file reads as an empty one; a file that exists but cannot be read is an error.
std::optional<IniText> LoadIni(const std::filesystem::path& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::error_code ignored;
        if (!std::filesystem::exists(path, ignored)) return IniText{};
        error = "cannot read " + path.string();
        return std::nullopt;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        error = "cannot read " + path.string();
        return std::nullopt;
    }
    return ParseIni(content.str());
}

IniText ReadIni(const std::filesystem::path& path) {
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
    while (!text.empty() && IsNumberBlank(text.back()))
        text.remove_suffix(1);
    return FirstCharacters(text, limit);
}

// Names each followed by a NUL, cut as the operating system cuts a list that does not fit
// its buffer: the last name is left without its NUL, so enumeration drops it.
std::string NameList(const std::vector<std::string_view>& names) {
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

// Fits one axis of a window on the screen, keeping a margin on both sides.
void FitOnScreen(std::int64_t& position, std::int64_t& size, std::int64_t screen,
                 std::int64_t margin) {
    if (position < margin) position = margin;
    if (position + size > screen - margin) {
        position = screen - margin - size;
        if (position < margin) position = margin;
        if (position + size > screen - margin) size = screen - position - margin;
    }
}

} // namespace

std::string cInifile::value() const {
    const IniText text = ReadIni(path_);
    if (const auto span = text.findSection(AsCString(section_))) {
        if (const auto index = text.findKey(*span, AsCString(key_))) {
            const std::string& line = text.lines[*index];
            const LineInfo info = Classify(line);
            if (info.hasValue) {
                const std::string_view stored(line.data() + info.valueStart,
                                              info.valueEnd - info.valueStart);
                return FirstCharacters(WithoutQuotes(stored), kValueLength);
            }
        }
    }
    return DefaultResult(default_, kValueLength);
}

void cInifile::setValue(std::string_view text) {
    std::string stored(text);
    std::erase(stored, '\0');
    write(std::string(AsCString(key_)), stored);
}

void cInifile::deleteKey() {
    write(std::string(AsCString(key_)), std::nullopt);
}

void cInifile::deleteSection() {
    write(std::nullopt, std::nullopt);
}

void cInifile::setIniSection(std::string_view text) {
    write(std::nullopt, std::string(text));
}

std::string cInifile::iniSection() const {
    const IniText text = ReadIni(path_);
    std::vector<std::string_view> names;
    if (const auto span = text.findSection(AsCString(section_))) {
        for (std::size_t i = span->header + 1; i < span->end; ++i) {
            const LineInfo info = Classify(text.lines[i]);
            if (info.kind == LineKind::Key && info.hasValue) names.push_back(info.name);
        }
    }
    if (names.empty()) return DefaultResult(default_, kListBuffer - 1);
    return NameList(names);
}

std::string cInifile::sections() const {
    const IniText text = ReadIni(path_);
    std::vector<std::string_view> names;
    for (const auto& line : text.lines) {
        const LineInfo info = Classify(line);
        if (info.kind == LineKind::Section && !info.name.empty()) names.push_back(info.name);
    }
    return NameList(names);
}

std::vector<std::string> cInifile::enumerateCurrentSection() const {
    return SplitNames(iniSection(), false);
}

std::vector<std::string> cInifile::enumerateAllSections() const {
    return SplitNames(sections(), true);
}

void cInifile::write(const std::optional<std::string>& key,
                     const std::optional<std::string>& text) {
    lastReturnCode_ = 0;
    const std::string_view section = AsCString(section_);
    if (section.empty() || (key && key->empty())) {
        lastError_ = "a setting needs a section and a key name";
        return;
    }
    if (HoldsLineBreak(section) || (key && HoldsLineBreak(*key)) ||
        (text && HoldsLineBreak(*text))) {
        lastError_ = "a setting cannot hold a line break";
        return;
    }
    auto loaded = LoadIni(path_, lastError_);
    if (!loaded) return;
    IniText& ini = *loaded;

    bool changed = false;
    const auto span = ini.findSection(section);
    if (!key) {
        if (span) {
            ini.lines.erase(ini.lines.begin() + static_cast<std::ptrdiff_t>(span->header),
                            ini.lines.begin() + static_cast<std::ptrdiff_t>(span->end));
            changed = true;
        }
    } else if (!text) {
        if (const auto index = span ? ini.findKey(*span, *key) : std::nullopt) {
            ini.lines.erase(ini.lines.begin() + static_cast<std::ptrdiff_t>(*index));
            changed = true;
        }
    } else if (!span) {
        ini.insert(ini.lines.size(), "[" + std::string(section) + "]");
        ini.insert(ini.lines.size(), *key + "=" + *text);
        changed = true;
    } else if (const auto index = ini.findKey(*span, *key)) {
        std::string& line = ini.lines[*index];
        const LineInfo info = Classify(line);
        const std::string_view stored(line.data() + info.valueStart,
                                      info.valueEnd - info.valueStart);
        if (!info.hasValue || stored != *text) {
            const bool cr = line.ends_with('\r');
            line =
                (info.hasValue ? line.substr(0, info.valueStart) : std::string(info.name) + "=") +
                *text + (cr ? "\r" : "");
            changed = true;
        }
    } else {
        // After the section's last entry, so that comments and blank lines before the next
        // section stay with it.
        std::size_t after = span->header + 1;
        for (std::size_t i = after; i < span->end; ++i) {
            if (Classify(ini.lines[i]).kind == LineKind::Key) after = i + 1;
        }
        ini.insert(after, *key + "=" + *text);
        changed = true;
    }

    if (changed) {
        const Status written = WriteFileAtomically(path_, ini.serialise());
        if (!written) {
            lastError_ = path_.string() + ": " + written.error().message;
            return;
        }
    }
    lastError_.clear();
    lastReturnCode_ = 1;
}

void cInifile::SaveFormPosition(const WindowPlacement& window) {
    const std::string rememberedKey = key_;
    if (!window.isMinimised()) {
        const bool maximised = window.isMaximised();
        key_ = "Maximised";
        setValue(maximised ? "1" : "0");
        if (!maximised) {
            const std::pair<const char*, int> placement[] = {{"Left", window.left()},
                                                             {"Top", window.top()},
                                                             {"Width", window.width()},
                                                             {"Height", window.height()}};
            for (const auto& [name, number] : placement) {
                key_ = name;
                setValue(std::to_string(number));
            }
        }
    }
    key_ = rememberedKey;
}

void cInifile::LoadFormPosition(WindowPlacement& window, int minWidth, int minHeight) {
    const std::string rememberedKey = key_;
    const std::string rememberedDefault = default_;
    default_ = "FAIL";
    const auto stored = [&](const char* name, int current) -> std::int64_t {
        key_ = name;
        return CLngDefault(value(), current);
    };
    std::int64_t left = stored("Left", window.left());
    std::int64_t top = stored("Top", window.top());
    std::int64_t width = stored("Width", window.width());
    std::int64_t height = stored("Height", window.height());
    width = std::max<std::int64_t>(width, minWidth);
    height = std::max<std::int64_t>(height, minHeight);

    FitOnScreen(left, width, window.screenWidth(), 4 * std::int64_t{window.unitsPerPixelX()});
    FitOnScreen(top, height, window.screenHeight(), 4 * std::int64_t{window.unitsPerPixelY()});
    // Every value lies between a stored 32-bit number and the screen's size here.
    if (width >= minWidth && height >= minHeight) {
        window.move(static_cast<int>(left), static_cast<int>(top), static_cast<int>(width),
                    static_cast<int>(height));
    }
    if (stored("Maximised", 0) != 0) window.maximise();
    key_ = rememberedKey;
    default_ = rememberedDefault;
}

LeadingNumber ReadLeadingNumber(std::string_view text) {
    LeadingNumber number;
    std::size_t i = 0;
    while (i < text.size() && IsNumberBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    std::int64_t whole = 0;
    bool digits = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        whole = std::min(whole * 10 + (text[i] - '0'), kNumberCap);
        digits = true;
    }
    bool roundUp = false;
    if (i < text.size() && text[i] == '.' &&
        (digits || (i + 1 < text.size() && IsDigit(text[i + 1])))) {
        const std::size_t first = ++i;
        bool beyondHalf = false;
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            if (i > first && text[i] != '0') beyondHalf = true;
        }
        digits = true;
        if (i > first) {
            const char lead = text[first];
            roundUp = lead > '5' || (lead == '5' && (beyondHalf || whole % 2 != 0));
        }
    }
    if (!digits) return number;
    if (roundUp) whole = std::min(whole + 1, kNumberCap);
    number.found = true;
    number.rounded = negative ? -whole : whole;
    number.end = i;
    return number;
}

std::int32_t CLngDefault(std::string_view text, std::int32_t fallback) {
    const LeadingNumber number = ReadLeadingNumber(text);
    if (!number.found) return fallback;
    for (std::size_t i = number.end; i < text.size(); ++i) {
        if (!IsNumberBlank(text[i])) return fallback;
    }
    if (number.rounded < std::numeric_limits<std::int32_t>::min() ||
        number.rounded > std::numeric_limits<std::int32_t>::max()) {
        return fallback;
    }
    return static_cast<std::int32_t>(number.rounded);
}

} // namespace vtl
