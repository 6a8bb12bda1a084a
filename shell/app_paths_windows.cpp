#include "shell/app_paths.h"

#include <QDir>

#include <shlobj.h>

namespace vtl {

// %APPDATA%, the roaming application data folder, which follows the user from machine to
// machine; Qt's configuration locations are the local one on Windows (and its AppDataLocation
// has the application's names added). The variable is read first, as the system's own tools
// do, so that a scratch folder can stand in for it.
QString UserConfigFolder() {
    const QString variable = QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA"));
    if (QDir::isAbsolutePath(variable)) return variable;
    wchar_t* path = nullptr;
    QString folder;
    if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DONT_VERIFY, nullptr, &path) == S_OK)
        folder = QDir::fromNativeSeparators(QString::fromWCharArray(path));
    CoTaskMemFree(path);
    return folder;
}

} // namespace vtl
