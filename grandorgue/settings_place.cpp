#include "grandorgue/settings_place.h"

#include "grandorgue/grandorgue_host.h"
#include "grandorgue/ini_lines.h"
#include "grandorgue/organ_definition.h"
#include "grandorgue/sha1.h"
#include "model/atomic_file.h"
#include "model/file_path.h"

namespace vtl {
namespace {

constexpr std::size_t kMaxConfigSize = 16 * 1024 * 1024;

// The code points of UTF-8 text in GrandOrgue's wide strings: each one in four bytes, or in
// two (a pair of surrogates above U+FFFF).
std::string WideBytes(std::string_view utf8, WideText width) {
    std::string bytes;
    const auto put = [&bytes](std::uint32_t unit, int size) {
        for (int shift = 0; shift < 8 * size; shift += 8)
            bytes += static_cast<char>(unit >> shift & 0xFF);
    };
    for (std::size_t at = 0; at < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (int i = 1; i < length && at + i < utf8.size(); ++i)
            code = code << 6 | (static_cast<unsigned char>(utf8[at + i]) & 0x3F);
        at += length;
        if (width == WideText::Utf32Le) {
            put(code, 4);
        } else if (code < 0x10000) {
            put(code, 2);
        } else {
            put(0xD800 + ((code - 0x10000) >> 10), 2);
            put(0xDC00 + ((code - 0x10000) & 0x3FF), 2);
        }
    }
    return bytes;
}

} // namespace

Expected<GrandOrgueConfig> ParseGrandOrgueConfig(std::string_view bytes, std::string_view source) {
    const auto read = GrandOrgueFileText(bytes, kMaxConfigSize, source);
    if (!read) return read.error();
    const std::string& text = *read;
    GrandOrgueConfig config;
    std::string_view section;
    std::string path;
    std::string id;
    const auto addPackage = [&] {
        if (!path.empty() && !id.empty()) config.packageIds[path] = id;
        path.clear();
        id.clear();
    };
    for (const IniLine& line : SplitIniLines(text)) {
        if (!line.section.empty()) {
            addPackage();
            section = line.section;
        }
        if (section == "General" && line.key == "SettingPath") config.settingPath = line.value;
        if (section.starts_with("Archive") && line.key == "Path") path = line.value;
        if (section.starts_with("Archive") && line.key == "ID") id = line.value;
    }
    addPackage();
    return config;
}

std::filesystem::path GrandOrgueDataFolder(const std::filesystem::path& home,
                                           const std::optional<std::filesystem::path>& documents,
                                           const GrandOrgueConfig& config) {
    if (!config.settingPath.empty()) return PathFromUtf8(config.settingPath);
    return (documents ? *documents : home) / "GrandOrgue" / "Data";
}

std::string OrganHash(std::string_view identity, WideText width) {
    const Sha1Digest digest = Sha1(WideBytes(std::string(identity) + '\0', width));
    std::string hex;
    for (const std::uint8_t byte : digest) {
        hex += "0123456789ABCDEF"[byte >> 4];
        hex += "0123456789ABCDEF"[byte & 0xF];
    }
    return hex;
}

Expected<std::filesystem::path> InstalledSettingsFile(const std::filesystem::path& dataFolder,
                                                      const LoadedOrgan& organ,
                                                      const GrandOrgueConfig& config) {
    // A package is named by the ID GrandOrgue's configuration lists under the package's path as
    // GrandOrgue wrote it; an organ file by its own path.
    std::string identity = OrganFileIdentity(organ.file);
    if (!organ.pathInPackage.empty()) {
        const std::string package = Utf8Name(organ.file);
        const auto id = config.packageIds.find(package);
        if (id == config.packageIds.end())
            return Error{package + ": GrandOrgue has not opened this package yet; open it there "
                                   "once, or write the settings with -o"};
        identity = id->second + std::string(1, '\0') + organ.pathInPackage;
    }
    return dataFolder / PathFromUtf8(OrganHash(identity, HostWideText()) + "-0.cmb");
}

Expected<std::filesystem::path> InstallTarget(const std::filesystem::path& home,
                                              const std::optional<std::filesystem::path>& documents,
                                              const LoadedOrgan& organ) {
    GrandOrgueConfig config;
    std::error_code error;
    if (const auto file = GrandOrgueConfigFolder(home) / "GrandOrgueConfig";
        std::filesystem::exists(file, error)) {
        const auto read = ReadWholeFile(file, kMaxConfigSize, "GrandOrgue's configuration");
        if (!read) return read.error();
        auto parsed = ParseGrandOrgueConfig(*read, Utf8Name(file));
        if (!parsed) return parsed.error();
        config = std::move(*parsed);
    }
    return InstalledSettingsFile(GrandOrgueDataFolder(home, documents, config), organ, config);
}

} // namespace vtl
