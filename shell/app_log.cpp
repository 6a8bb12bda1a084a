#include "shell/app_log.h"

#include <QFile>
#include <QLocale>

namespace vtl {

void WriteLog(const AppState& state, const QString& text) {
    if (!state.logEnabled) return;
    QFile log(state.programFolder + QLatin1Char('/') + QLatin1String(kLogFileName));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append)) return;
    log.write((text + QLatin1Char('\n')).toUtf8());
}

QString StartLogLine(const QDateTime& now) {
    const QLocale locale = QLocale::system();
    return QStringLiteral("MCU Config: start at ") +
           locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(now.time(), QLocale::ShortFormat);
}

} // namespace vtl
