#pragma once
// Where GrandOrgue 3.9 looks for an organ's settings: <SettingPath>/<OrganHash>-0.cmb.

#include "grandorgue/grandorgue_host.h"
#include "grandorgue/organ_definition.h"
#include "sysex/result.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace vtl {

// What GrandOrgue's own configuration (~/GrandOrgueConfig, which it writes gzip-compressed)
// tells: the data folder it was given and the IDs of the packages it has opened.
struct GrandOrgueConfig {
    std::string settingPath;                       // [General] SettingPath; empty when not set
    std::map<std::string, std::string> packageIds; // [ArchiveNNN] Path → ID
};

Expected<GrandOrgueConfig> ParseGrandOrgueConfig(std::string_view bytes, std::string_view source);

// GrandOrgue's data folder: the configured one; else GrandOrgue/Data under the user's
// documents folder where there is one, else under the home folder.
std::filesystem::path GrandOrgueDataFolder(const std::filesystem::path& home,
                                           const std::optional<std::filesystem::path>& documents,
                                           const GrandOrgueConfig& config);

// The upper-case hex SHA-1 GrandOrgue names an organ by: of its identity (the organ file's
// absolute path; for a package its ID, a NUL and the organ file's path inside it) in its wide
// characters, with a closing NUL.
std::string OrganHash(std::string_view identity, WideText width);

// The settings file GrandOrgue reads for the organ. A package is known by the ID GrandOrgue gave
// it when it first opened it; one it has not opened yet is an error.
Expected<std::filesystem::path> InstalledSettingsFile(const std::filesystem::path& dataFolder,
                                                      const LoadedOrgan& organ,
                                                      const GrandOrgueConfig& config);

// The settings file GrandOrgue reads for the organ, as its configuration (GrandOrgueConfig, in
// the folder GrandOrgueConfigFolder names) tells; none there: GrandOrgue's defaults. The data
// folder may not exist yet.
Expected<std::filesystem::path> InstallTarget(const std::filesystem::path& home,
                                              const std::optional<std::filesystem::path>& documents,
                                              const LoadedOrgan& organ);

} // namespace vtl
