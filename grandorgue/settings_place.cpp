#include "grandorgue/settings_place.h"

#include "grandorgue/ini_lines.h"
#include "grandorgue/organ_definition.h"
#include "grandorgue/sha1.h"
#include "model/file_path.h"

namespace vtl {
namespace {

// The code points of UTF-8 text as UTF-32LE, as GrandOrgue's wide strings hold them on Linux.
std::string Utf32Le(std::string_view utf8) {
    std::string bytes;
    for (std::size_t at = 0; at < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (int i = 1; i < length && at + i < utf8.size(); ++i)
            code = code << 6 | (static_cast<unsigned char>(utf8[at + i]) & 0x3F);
        at += length;
        for (int shift = 0; shift < 32; shift += 8)
            bytes += static_cast<char>(code >> shift & 0xFF);
    }
    return bytes;
}

} // namespace

std::string OrganHash(const std::filesystem::path& organFile) {
    const Sha1Digest digest = Sha1(Utf32Le(Utf8Name(organFile)) + std::string(4, '\0'));
    std::string hex;
    for (const std::uint8_t byte : digest) {
        hex += "0123456789ABCDEF"[byte >> 4];
        hex += "0123456789ABCDEF"[byte & 0xF];
    }
    return hex;
}

std::filesystem::path GrandOrgueDataFolder(const std::filesystem::path& home,
                                           const std::optional<std::filesystem::path>& documents,
                                           std::string_view configText) {
    const std::string text = GrandOrgueTextToUtf8(configText);
    std::string section;
    for (const IniLine& line : SplitIniLines(text)) {
        if (!line.section.empty()) section = line.section;
        if (section == "General" && line.key == "SettingPath" && !line.value.empty())
            return PathFromUtf8(line.value);
    }
    return (documents ? *documents : home) / "GrandOrgue" / "Data";
}

std::filesystem::path InstalledSettingsFile(const std::filesystem::path& dataFolder,
                                            const std::filesystem::path& organFile) {
    return dataFolder / PathFromUtf8(OrganHash(organFile) + "-0.cmb");
}

} // namespace vtl
