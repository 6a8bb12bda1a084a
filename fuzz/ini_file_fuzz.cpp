// The settings file after anything else wrote it: a read gives at most a value's length, one
// write (a value, a key's or a section's deletion) keeps every other line, a refused write
// keeps the file, and a plain value written reads back.

#include "fuzz_check.h"
#include "platform/ini_file.h"
#include "scratch_folder.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

using vtl::fuzz::ReadAll;
using vtl::fuzz::Require;
using vtl::fuzz::ScratchFolder;

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The lines as a reader sees them: the line ends apart, so the one line end a write may add
// to an unterminated last line does not count as a change, and the byte-order mark apart.
std::vector<std::string_view> Lines(std::string_view text) {
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::string_view line = text.substr(0, text.find('\n'));
        text.remove_prefix(std::min(text.size(), line.size() + 1));
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
    }
    return lines;
}

// Lines taken out and put in between the longest unchanged head and tail.
struct Change {
    std::size_t removed;
    std::size_t added;
};
Change Compare(const std::vector<std::string_view>& before,
               const std::vector<std::string_view>& after) {
    std::size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head])
        ++head;
    std::size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    return {before.size() - head - tail, after.size() - head - tail};
}

// Names and values a reader gives back as written: no blanks around, quotes, separators or
// brackets.
bool Plain(std::string_view text, bool mayBeEmpty) {
    if (text.empty()) return mayBeEmpty;
    if (text.front() == ' ' || text.back() == ' ' || text.size() > vtl::IniFile::kValueLength)
        return false;
    return std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == ' ' || c == '/' || c == '_' || c == '.';
    });
}

enum class Write { Value, DeleteKey, DeleteSection, kMaxValue = DeleteSection };

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFolder kScratch("vtl-ini-fuzz");
    FuzzedDataProvider in(data, size);
    const Write write = in.ConsumeEnum<Write>();
    const std::string section = in.ConsumeRandomLengthString(40);
    const std::string key = in.ConsumeRandomLengthString(40);
    const std::string value = in.ConsumeRandomLengthString(80);
    const std::string before = in.ConsumeRemainingBytesAsString();
    std::ofstream(kScratch.Path("VTLConfig.ini"), std::ios::binary | std::ios::trunc) << before;

    vtl::IniFile ini;
    ini.SetPath(kScratch.Path("VTLConfig.ini"));
    ini.SetSection(section);
    ini.SetKey(key);
    ini.SetDefaultValue(value);
    const std::string read = ini.value();
    Require(std::count_if(read.begin(), read.end(), [](char c) { return (c & 0xC0) != 0x80; }) <=
                static_cast<std::ptrdiff_t>(vtl::IniFile::kValueLength),
            "a read gives more characters than a value holds");
    (void)ini.EnumerateAllSections();
    (void)ini.EnumerateCurrentSection();
    switch (write) {
    case Write::Value:
        ini.SetValue(value);
        break;
    case Write::DeleteKey:
        ini.DeleteKey();
        break;
    case Write::DeleteSection:
        ini.DeleteSection();
        break;
    }

    const std::string after = ReadAll(kScratch.Path("VTLConfig.ini"));
    if (!ini.Success()) {
        Require(after == before, "a refused write changed the file");
        return 0;
    }
    Require(before.starts_with(kByteOrderMark) == after.starts_with(kByteOrderMark),
            "a write changed the byte-order mark");
    const Change change = Compare(Lines(before), Lines(after));
    switch (write) {
    case Write::Value:
        // The key's line replaced, a line added to its section, or a new section at the end.
        Require(change.removed == 0 ? change.added <= 2 : change.removed == 1 && change.added == 1,
                "a write changed other lines");
        if (Plain(section, false) && Plain(key, false) && Plain(value, true)) {
            Require(ini.Lookup(section, key) == value, "a written value reads back differently");
        }
        break;
    case Write::DeleteKey:
        Require(change.removed <= 1 && change.added == 0, "a key's deletion changed other lines");
        break;
    case Write::DeleteSection:
        Require(change.added == 0, "a section's deletion added lines");
        break;
    }
    return 0;
}
