#pragma once
// Where GrandOrgue 3.9 looks for an organ's settings: <SettingPath>/<OrganHash>-0.cmb.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vtl {

// The upper-case hex SHA-1 of the organ file's path (absolute, as GrandOrgue has it) as UTF-32LE
// with its closing NUL.
std::string OrganHash(const std::filesystem::path& organFile);

// GrandOrgue's data folder: SettingPath of [General] in the text of ~/GrandOrgueConfig where it
// is set; else Documents/GrandOrgue/Data under the user's documents folder where there is one,
// else ~/GrandOrgue/Data.
std::filesystem::path GrandOrgueDataFolder(const std::filesystem::path& home,
                                           const std::optional<std::filesystem::path>& documents,
                                           std::string_view configText);

// The settings file GrandOrgue reads for the organ file.
std::filesystem::path InstalledSettingsFile(const std::filesystem::path& dataFolder,
                                            const std::filesystem::path& organFile);

} // namespace vtl
