#pragma once
// The program's only access to its settings file: an INI reader and writer that behaves as
// the Windows private-profile functions do, so that a file written by either reads the same.
// The caller selects a file, a section and a key, then reads or writes the value.
//
// - Section and key names are looked up without regard to ASCII case; the first match wins.
// - Reads never fail: a missing file, section or key gives the default text. A value comes
//   back without the blanks around it and without one pair of enclosing quotes, cut to 254
//   characters (a UTF-8 sequence counts as one character and is never split).
// - A write changes only the line it concerns: a new key goes after the last entry of its
//   section, a new section at the end of the file; every other line, comment and line end
//   stays byte for byte. The file is replaced atomically, so a failed write leaves it as it
//   was. Lines the program adds end as the file's first line does (LF in a new file).
// - Lines starting with ";" are comments; a line without "=" in a section is kept but is
//   never listed as a key and reads as missing.
// - Text is UTF-8. Section, key and default end at their first NUL, as C strings do.
// - A file bigger than kMaxFileSize, holding NUL bytes or unreadable is damaged: reads give
//   the defaults and writes fail, so it is never overwritten; CheckFile tells why.

#include "sysex/result.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vtl {

class IniFile {
public:
    // Longest value a read returns, and the size of the buffer the name lists fit in.
    static constexpr std::size_t kValueLength = 254;
    static constexpr std::size_t kListBuffer = 8192;
    // The program writes under 1 KiB; a hand-edited file with comments stays far below this.
    // Every access reads the whole file, as the profile functions do, so the size also
    // bounds what the start-up's few dozen accesses cost.
    static constexpr std::size_t kMaxFileSize = 64 * 1024;

    // The result of the last write: non-zero when it succeeded. Reads leave it alone.
    int LastReturnCode() const { return lastReturnCode_; }
    bool Success() const { return lastReturnCode_ != 0; }
    // Why the last write failed; empty after a success.
    const std::string& LastError() const { return lastError_; }

    const std::string& DefaultValue() const { return defaultValue_; }
    void SetDefaultValue(std::string text) { defaultValue_ = std::move(text); }
    const std::filesystem::path& Path() const { return path_; }
    void SetPath(std::filesystem::path file) { path_ = std::move(file); }
    const std::string& Key() const { return key_; }
    void SetKey(std::string name) { key_ = std::move(name); }
    const std::string& Section() const { return section_; }
    void SetSection(std::string name) { section_ = std::move(name); }

    // The current key's value, or the default.
    std::string value() const;
    // Stores the value (NUL characters removed) under the current section and key, creating
    // the file, section and key as needed. Fails for an empty section or key name and for
    // text holding a line break, which would corrupt the file.
    void SetValue(std::string_view text);
    void DeleteKey();
    void DeleteSection();

    // The key names of the current section, each followed by a NUL; the default when the
    // section is missing or holds no keys.
    std::string IniSection() const;
    // As the operating system does for a write without a key: deletes the current section.
    void SetIniSection(std::string_view text);
    // The section names of the file, each followed by a NUL.
    std::string Sections() const;

    // Why the file is damaged; Ok for a sound or missing file.
    Status CheckFile() const;

    std::vector<std::string> EnumerateCurrentSection() const;
    // Without nameless sections.
    std::vector<std::string> EnumerateAllSections() const;

    // Reading and writing one entry named in full, whatever the current section, key and
    // default are: a missing entry is nullopt, a write is the same as setValue's.
    std::optional<std::string> Lookup(std::string_view section, std::string_view key) const;
    void Store(std::string_view section, std::string_view key, std::string_view text);

private:
    // A write of the operating system's kind: no key deletes the section, no value the key.
    void Write(std::string_view section, std::optional<std::string_view> key,
               std::optional<std::string_view> text);

    std::filesystem::path path_;
    std::string key_;
    std::string section_;
    std::string defaultValue_;
    int lastReturnCode_ = 0;
    std::string lastError_;
};

} // namespace vtl
