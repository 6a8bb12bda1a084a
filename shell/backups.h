#pragma once
// A copy of every configuration read from the MCUs, so that what a console held before a
// later write can always be restored. Backups are ordinary console files in the per-user
// folder, "Backups/VTL yyyy-MM-dd HH-mm-ss.vtl", of which the newest 50 are kept.

#include "model/console_model.h"
#include "sysex/result.h"

#include <QDateTime>
#include <QString>

namespace vtl {

inline constexpr int kBackupsKept = 50;

// Saves the console (never changing it) under the time given, with "-2", "-3", ... added
// when that name exists, then removes the oldest console files of the folder by name until
// 50 are left. Returns the file written, or an error to show; an error after the file was
// written says so.
Expected<QString> KeepBackup(const ConsoleModel& console, const QString& appDataFolder,
                             const QDateTime& now);

} // namespace vtl
