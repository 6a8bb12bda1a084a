#include "grandorgue/organ_definition.h"

#include "grandorgue/compressed_files.h"
#include "grandorgue/ini_lines.h"
#include "model/atomic_file.h"
#include "model/file_path.h"

#include <charconv>
#include <map>

namespace vtl {
namespace {

// Big sample sets have organ files of some megabytes; nothing real comes near this.
constexpr std::size_t kMaxOrganFileSize = 64 * 1024 * 1024;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

using Sections = std::map<std::string, std::map<std::string, std::string>, std::less<>>;

std::string Latin1ToUtf8(std::string_view text) {
    std::string utf8;
    utf8.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | byte >> 6);
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

std::string ThreeDigits(int number) {
    const std::string digits = std::to_string(number);
    return std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits;
}

std::string Value(const Sections& sections, std::string_view section, std::string_view key) {
    const auto found = sections.find(section);
    if (found == sections.end()) return {};
    const auto value = found->second.find(std::string(key));
    return value == found->second.end() ? std::string() : value->second;
}

// A count of [Organ]: missing counts 0 unless required; anything but 0 to 999 is damage.
Expected<int> Count(const Sections& sections, std::string_view key, bool required,
                    std::string_view source) {
    const std::string text = Value(sections, "Organ", key);
    int count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (text.empty() && !required) return 0;
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || count < 0 ||
        count > 999)
        return Error{std::string(source) + ": [Organ] " + std::string(key) +
                     (text.empty() ? " is missing" : " is not a number")};
    return count;
}

std::vector<OrganPart> Parts(const Sections& sections, std::string_view kind, int first, int last) {
    std::vector<OrganPart> parts;
    for (int number = first; number <= last; ++number)
        parts.push_back({number, Value(sections, std::string(kind) + ThreeDigits(number), "Name")});
    return parts;
}

} // namespace

std::string GrandOrgueTextToUtf8(std::string_view text) {
    if (text.starts_with(kUtf8Mark)) return std::string(text.substr(kUtf8Mark.size()));
    return Latin1ToUtf8(text);
}

Expected<std::string> GrandOrgueFileText(std::string_view bytes, std::size_t maxSize,
                                         std::string_view source) {
    if (!IsGzip(bytes)) return GrandOrgueTextToUtf8(bytes);
    const auto plain = Gunzip(bytes, maxSize, source);
    if (!plain) return plain.error();
    return GrandOrgueTextToUtf8(*plain);
}

Expected<OrganDefinition> ParseOrganDefinition(std::string_view text, std::string_view source) {
    const std::string utf8 = GrandOrgueTextToUtf8(text);
    Sections sections;
    std::string section;
    for (const IniLine& line : SplitIniLines(utf8)) {
        if (!line.section.empty()) section = line.section;
        if (!line.key.empty()) sections[section].emplace(line.key, line.value);
    }
    if (!sections.contains("Organ"))
        return Error{std::string(source) + ": not a GrandOrgue organ file (no [Organ] section)"};
    const auto manuals = Count(sections, "NumberOfManuals", true, source);
    if (!manuals) return manuals.error();
    const auto enclosures = Count(sections, "NumberOfEnclosures", false, source);
    if (!enclosures) return enclosures.error();
    const auto generals = Count(sections, "NumberOfGenerals", false, source);
    if (!generals) return generals.error();
    const bool pedals = Value(sections, "Organ", "HasPedals").starts_with('Y');
    return OrganDefinition{
        Value(sections, "Organ", "ChurchName"), Parts(sections, "Manual", pedals ? 0 : 1, *manuals),
        Parts(sections, "Enclosure", 1, *enclosures), Parts(sections, "General", 1, *generals)};
}

Expected<LoadedOrgan> ReadPackagedOrgan(const PackageMembers& member, std::string_view source) {
    // The package's index names its organs; the first is the one GrandOrgue offers first.
    LoadedOrgan organ;
    const auto index = member("organindex.ini", kMaxOrganFileSize);
    if (!index) return index.error();
    const std::string indexText = GrandOrgueTextToUtf8(*index);
    for (const IniLine& line : SplitIniLines(indexText)) {
        if (line.key == "Filename" && organ.pathInPackage.empty()) organ.pathInPackage = line.value;
    }
    if (organ.pathInPackage.empty())
        return Error{std::string(source) + ": the package's index names no organ file"};
    const auto text = member(organ.pathInPackage, kMaxOrganFileSize);
    if (!text) return text.error();
    auto definition = ParseOrganDefinition(*text, std::string(source) + ": " + organ.pathInPackage);
    if (!definition) return definition.error();
    organ.definition = std::move(*definition);
    return organ;
}

Expected<LoadedOrgan> LoadOrgan(const std::filesystem::path& file) {
    const std::filesystem::path absolute = std::filesystem::absolute(file);
    const std::string name = Utf8Name(absolute);
    if (std::string extension = Utf8Name(file.extension());
        extension == ".orgue" || extension == ".ORGUE") {
        auto organ = ReadPackagedOrgan(
            [&absolute](std::string_view member, std::size_t maxSize) {
                return ReadPackageMember(absolute, member, maxSize);
            },
            name);
        if (organ) organ->file = absolute;
        return organ;
    }
    const auto text = ReadWholeFile(absolute, kMaxOrganFileSize, "an organ file");
    if (!text) return text.error();
    auto definition = ParseOrganDefinition(*text, name);
    if (!definition) return definition.error();
    return LoadedOrgan{std::move(*definition), absolute, {}};
}

} // namespace vtl
