#include "shell/backups.h"

#include "model/config_file.h"
#include "model/file_path.h"
#include "shell/app_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace vtl {
namespace {

const QString kExtension = QStringLiteral(".vtl");

QString FreeName(const QDir& folder, const QDateTime& now) {
    const QString stem =
        QStringLiteral("VTL ") + now.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
    QString name = stem + kExtension;
    for (int copy = 2; folder.exists(name); ++copy)
        name = stem + QLatin1Char('-') + QString::number(copy) + kExtension;
    return name;
}

// Compared without the extension, so that "… 10-11-12.vtl" comes before "… 10-11-12-2.vtl".
QString Stem(const QString& name) {
    return name.left(name.size() - kExtension.size());
}

Status Prune(const QDir& folder) {
    QStringList names = folder.entryList({QStringLiteral("*") + kExtension}, QDir::Files);
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return Stem(a) < Stem(b); });
    for (qsizetype i = 0; i + kBackupsKept < names.size(); ++i) {
        if (!QFile::remove(folder.filePath(names[i]))) {
            return Error{"the old backup could not be removed: " +
                         folder.filePath(names[i]).toStdString()};
        }
    }
    return Ok();
}

} // namespace

Expected<QString> KeepBackup(const ConsoleModel& console, const QString& appDataFolder,
                             const QDateTime& now) {
    const QDir folder(appDataFolder + QStringLiteral("/Backups"));
    if (const Status made = MakePath(folder.path()); !made) return made.error();

    const QString path = folder.filePath(FreeName(folder, now));
    ConsoleModel copy = console;
    if (const Status saved = SaveConfigFile(copy, PathFromUtf8(path.toStdString())); !saved) {
        return Error{"The configuration read could not be kept as a backup: " +
                     saved.error().message};
    }
    if (const Status pruned = Prune(folder); !pruned) {
        return Error{"The configuration read was kept as " + path.toStdString() + ", but " +
                     pruned.error().message};
    }
    return path;
}

} // namespace vtl
