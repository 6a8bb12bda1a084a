#pragma once
// Where the program keeps its files: the per-user settings folder (settings file, backups),
// the folder configuration files start in, and the program's own folder (pictures, manual,
// log).

#include "sysex/result.h"

#include <QString>

#include <filesystem>

namespace vtl {

// The user's configuration folder + "/Larchmont Consoles/VTLConfig", without a trailing
// separator.
QString AppDataFolder();
// The user's documents folder, or the home folder while there is none: where configuration
// files are opened and saved at first.
QString DocumentsFolder();
// The folder a file dialog starts in: this one, or the documents folder when it is gone.
QString ExistingFolder(const QString& folder);
// The settings file, "VTLConfig.ini" in the per-user folder.
std::filesystem::path SettingsFile(const QString& appDataFolder);

// Creates every missing folder along the path; one that exists already is fine.
Status MakePath(const QString& folder);

} // namespace vtl
