#include "shell/app_paths.h"

#include "link/product.h"
#include "model/file_path.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <system_error>

namespace vtl {

QString AppDataFolder() {
    return UserConfigFolder() + QLatin1Char('/') + QString::fromLatin1(kOrganisationName) +
           QLatin1Char('/') + QString::fromLatin1(kProductName);
}

QString DocumentsFolder() {
    // A fresh account may have no documents folder yet: a file dialog started in a missing
    // folder starts elsewhere and offers the folder's name as the file name.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString ExistingFolder(const QString& folder) {
    return QFileInfo(folder).isDir() ? folder : DocumentsFolder();
}

std::filesystem::path SettingsFile(const QString& appDataFolder) {
    return PathFromUtf8((appDataFolder + QLatin1Char('/') + QString::fromLatin1(kProductName) +
                         QStringLiteral(".ini"))
                            .toStdString());
}

QString ResourceFolder(const QString& programFolder) {
    const QDir installed(programFolder + QStringLiteral("/" VTL_DATA_FROM_BIN));
    return installed.exists() ? installed.canonicalPath() : programFolder;
}

Status MakePath(const QString& folder) {
    const std::filesystem::path path = PathFromUtf8(folder.toStdString());
    std::error_code error;
    std::filesystem::create_directories(path, error);
    // An existing file of that name is not a folder.
    if (!error && !std::filesystem::is_directory(path)) {
        error = std::make_error_code(std::errc::not_a_directory);
    }
    if (error) {
        return Error{"Cannot create the folder " + folder.toStdString() + ": " + error.message()};
    }
    return Ok();
}

} // namespace vtl
