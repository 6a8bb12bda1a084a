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

#include "platform/window_placement.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vtl {

class cInifile {
public:
    // Longest value a read returns, and the size of the buffer the name lists fit in.
    static constexpr std::size_t kValueLength = 254;
    static constexpr std::size_t kListBuffer = 8192;

    // The result of the last write: non-zero when it succeeded. Reads leave it alone.
    int lastReturnCode() const { return lastReturnCode_; }
    bool success() const { return lastReturnCode_ != 0; }
    // Why the last write failed; empty after a success.
    const std::string& lastError() const { return lastError_; }

    const std::string& defaultValue() const { return default_; }
    void setDefault(std::string text) { default_ = std::move(text); }
    const std::filesystem::path& path() const { return path_; }
    void setPath(std::filesystem::path file) { path_ = std::move(file); }
    const std::string& key() const { return key_; }
    void setKey(std::string name) { key_ = std::move(name); }
    const std::string& section() const { return section_; }
    void setSection(std::string name) { section_ = std::move(name); }

    // The current key's value, or the default.
    std::string value() const;
    // Stores the value (NUL characters removed) under the current section and key, creating
    // the file, section and key as needed. Fails for an empty section or key name and for
    // text holding a line break, which would corrupt the file.
    void setValue(std::string_view text);
    void deleteKey();
    void deleteSection();

    // The key names of the current section, each followed by a NUL; the default when the
    // section is missing or holds no keys.
    std::string iniSection() const;
    // As the operating system does for a write without a key: deletes the current section.
    void setIniSection(std::string_view text);
    // The section names of the file, each followed by a NUL.
    std::string sections() const;

    std::vector<std::string> enumerateCurrentSection() const;
    // Without nameless sections.
    std::vector<std::string> enumerateAllSections() const;

    // Stores the window's placement under the current section: nothing for a minimised
    // window, only "Maximised" = "1" for a maximised one (its older normal placement stays),
    // else "Maximised" = "0" and "Left", "Top", "Width", "Height". The key stays as it was.
    void SaveFormPosition(const WindowPlacement& window);
    // Restores the placement stored under the current section: missing or bad numbers keep
    // the window's own, the size grows to the minimum, and the window is fitted on the
    // screen with a margin of four pixels; then it is maximised when stored so. The key and
    // the default stay as they were.
    void LoadFormPosition(WindowPlacement& window, int minWidth = 0, int minHeight = 0);

private:
    // A write of the operating system's kind: no key deletes the section, no value the key.
    void write(const std::optional<std::string>& key, const std::optional<std::string>& text);

    std::filesystem::path path_;
    std::string key_;
    std::string section_;
    std::string default_;
    int lastReturnCode_ = 0;
    std::string lastError_;
};

// The text as a whole number, rounded half to even ("2.5" gives 2, "-3.5" gives -4): blanks
// around it, a sign right before the digits and a decimal fraction are accepted; anything
// else, an empty text, or a number outside 32 bits gives the fallback.
std::int32_t CLngDefault(std::string_view text, std::int32_t fallback = 0);

// The decimal number at the start of a text: blanks, a sign right before the digits, digits
// with an optional fraction, rounded half to even. Magnitudes beyond 10^15 are cut to 10^15
// (beyond every range the program takes). Shared by CLngDefault and the settings reader.
struct LeadingNumber {
    bool found = false; // at least one digit
    std::int64_t rounded = 0;
    std::size_t end = 0; // where the number ends in the text
};
LeadingNumber ReadLeadingNumber(std::string_view text);

} // namespace vtl
