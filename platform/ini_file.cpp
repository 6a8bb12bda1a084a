#include "platform/ini_file.h"

#include "model/atomic_file.h"
#include "model/file_path.h"
#include "platform/ini_text.h"

#include <algorithm>
#include <system_error>

namespace vtl {
namespace {

bool IsSpaceOrTab(char c) {
    return c == ' ' || c == '\t';
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

// A missing file reads as an empty one; one that cannot be settings is an error.
std::optional<IniText> LoadIni(const std::filesystem::path& path, std::string& error) {
    std::error_code ignored;
    if (!std::filesystem::exists(path, ignored)) return IniText{};
    const auto content = ReadWholeFile(path, IniFile::kMaxFileSize, "a settings file");
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
    if (list.size() + 1 > IniFile::kListBuffer) list.resize(IniFile::kListBuffer - 2);
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

Status IniFile::CheckFile() const {
    std::string error;
    if (LoadIni(path_, error)) return Ok();
    return Error{error};
}

std::optional<std::string> IniFile::Lookup(std::string_view section, std::string_view key) const {
    const IniText ini = LoadIniOrEmpty(path_);
    const auto span = ini.FindSection(AsCString(section));
    const auto index = span ? ini.FindKey(*span, AsCString(key)) : std::nullopt;
    if (!index) return std::nullopt;
    const LineInfo info = Classify(ini.lines[*index]);
    if (!info.hasValue) return std::nullopt;
    return FirstCharacters(WithoutQuotes(info.value), kValueLength);
}

std::string IniFile::value() const {
    if (auto found = Lookup(section_, key_)) return *std::move(found);
    return DefaultResult(defaultValue_, kValueLength);
}

void IniFile::Store(std::string_view section, std::string_view key, std::string_view text) {
    std::string withoutNuls(text);
    std::erase(withoutNuls, '\0');
    Write(section, AsCString(key), withoutNuls);
}

void IniFile::SetValue(std::string_view text) {
    Store(section_, key_, text);
}

void IniFile::DeleteKey() {
    Write(section_, AsCString(key_), std::nullopt);
}

void IniFile::DeleteSection() {
    Write(section_, std::nullopt, std::nullopt);
}

void IniFile::SetIniSection(std::string_view text) {
    Write(section_, std::nullopt, text);
}

std::string IniFile::IniSection() const {
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

std::string IniFile::Sections() const {
    const IniText ini = LoadIniOrEmpty(path_);
    std::vector<std::string_view> names;
    for (const auto& line : ini.lines) {
        const LineInfo info = Classify(line);
        if (info.kind == LineKind::Section && !info.name.empty()) names.push_back(info.name);
    }
    return NulSeparated(names);
}

std::vector<std::string> IniFile::EnumerateCurrentSection() const {
    return SplitNames(IniSection(), false);
}

std::vector<std::string> IniFile::EnumerateAllSections() const {
    return SplitNames(Sections(), true);
}

void IniFile::Write(std::string_view section, std::optional<std::string_view> key,
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
