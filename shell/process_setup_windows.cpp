#include "shell/process_setup.h"

#include <QByteArray>

namespace vtl {

void PrepareProcess() {
    qputenv("QT_ENABLE_REGEXP_JIT", QByteArrayLiteral("0")); // read once, at the first match
}

} // namespace vtl
