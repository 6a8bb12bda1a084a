#pragma once
// The settings file GrandOrgue reads for an organ on this computer: in the data folder of the
// user's GrandOrgue, for the app's export window and the command-line tool alike.

#include "grandorgue/organ_definition.h"
#include "sysex/result.h"

#include <filesystem>

namespace vtl {

// Known from the user's home and documents folders and GrandOrgue's configuration there; the
// folder may not exist yet.
Expected<std::filesystem::path> GrandOrgueSettingsFile(const LoadedOrgan& organ);

} // namespace vtl
