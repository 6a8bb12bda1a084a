#pragma once
// A settings file's text as lines, as the settings reader and writer see it: which line is a
// section, a key or a comment, and the edits that change one line and keep every other byte.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vtl {

// Section and key names compare without regard to ASCII case.
bool SameName(std::string_view a, std::string_view b);

// What one line of the file is. Views and positions index the line as stored.
enum class LineKind { Blank, Comment, Section, Key };
struct LineInfo {
    LineKind kind = LineKind::Blank;
    std::string_view name;
    bool hasValue = false;      // the key line holds "="
    std::size_t valueStart = 0; // after "=" and the blanks behind it
    std::string_view value;     // without the blanks around it
};

LineInfo Classify(std::string_view line);
// A key line as the program writes it.
std::string Entry(std::string_view key, std::string_view text);

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

    std::string Serialise() const;
    void Insert(std::size_t index, std::string text);
    // The first section of that name.
    std::optional<Span> FindSection(std::string_view name) const;
    std::optional<std::size_t> FindKey(Span span, std::string_view name) const;
    // After the section's last entry, so that comments and blank lines before the next
    // section stay with that one.
    std::size_t EndOfEntries(Span span) const;
    // Lines from `first` up to `end` go; the line before them keeps its line end.
    void Erase(std::size_t first, std::size_t end);

    // The edits return whether they changed anything.
    bool EraseSection(std::string_view section);
    bool EraseKey(std::string_view section, std::string_view key);
    // In place when the key exists, else after its section's last entry, else in a new
    // section at the end of the file.
    bool SetEntry(std::string_view section, std::string_view key, std::string_view text);
};

// A byte order mark at the start is kept apart.
IniText ParseIni(std::string_view content);

} // namespace vtl
