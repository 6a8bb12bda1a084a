#include "shell/app_log.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace vtl {

void WriteLog(const AppState& state, const QString& text) {
    if (!state.logEnabled) return;
    // An installed program's folder is the system's: its log goes beside the settings.
    const QString& folder =
        QFileInfo(state.programFolder).isWritable() ? state.programFolder : state.appDataFolder;
    QFile log(folder + QLatin1Char('/') + QLatin1String(kLogFileName));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append)) return;
    log.write((text + QLatin1Char('\n')).toUtf8());
}

QString StartLogLine(const QDateTime& now, const QLocale& locale) {
    // The short time format has no seconds: the long one has, and a time zone, in some
    // languages in brackets, which is dropped.
    static const QRegularExpression kTimeZone(QStringLiteral(R"(\s*[(\[]?\bt+\b[)\]]?\s*)"));
    const QString time = locale.timeFormat(QLocale::LongFormat).remove(kTimeZone);
    return QStringLiteral("MCU Config: start at ") +
           locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(now.time(), time);
}

} // namespace vtl
