#include "session/grandorgue_target.h"

#include "grandorgue/settings_place.h"
#include "model/file_path.h"

#include <QDir>
#include <QStandardPaths>

namespace vtl {

Expected<std::filesystem::path> GrandOrgueSettingsFile(const LoadedOrgan& organ) {
    std::optional<std::filesystem::path> documents;
    const QString documentsFolder =
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documentsFolder.isEmpty() && QDir(documentsFolder).exists())
        documents = PathFromUtf8(documentsFolder.toStdString());
    return InstallTarget(PathFromUtf8(QDir::homePath().toStdString()), documents, organ);
}

} // namespace vtl
