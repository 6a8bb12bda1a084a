#pragma once
// Where the program keeps its files: the per-user settings folder (settings file, backups),
// the folder configuration files start in, and the program's own folder (pictures, manual,
// log).

#include "sysex/result.h"

#include <QString>

#include <filesystem>

namespace vtl {

// The folder where the user's programs keep their settings: the configuration folder
// (~/.config) on Linux, the roaming application data folder (%APPDATA%) on Windows.
QString UserConfigFolder();
// UserConfigFolder() + "/Larchmont Consoles/VTLConfig", without a trailing separator.
QString AppDataFolder();
// The user's documents folder, or the home folder while there is none: where configuration
// files are opened and saved at first.
QString DocumentsFolder();
// The folder a file dialog starts in: this one, or the documents folder when it is gone.
QString ExistingFolder(const QString& folder);
// The settings file, "VTLConfig.ini" in the per-user folder.
std::filesystem::path SettingsFile(const QString& appDataFolder);

// The application folder, holding the splash, toolbar bitmaps, cursor, manual, sample console
// and log: the installed data folder (VTL_DATA_FROM_BIN beside the program's folder, e.g.
// /usr/bin/../share/vtlconfig) where there is one, otherwise the program's own folder, as in a
// build.
QString ResourceFolder(const QString& programFolder);

// Creates every missing folder along the path; one that exists already is fine.
Status MakePath(const QString& folder);

} // namespace vtl
