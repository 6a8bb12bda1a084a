#include "shell/app_paths.h"

#include <QStandardPaths>

namespace vtl {

QString UserConfigFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

} // namespace vtl
