#pragma once
// The log: a plain-text file in the program's folder, off unless the settings file switches
// it on. It holds the start line of every run and two kinds of MIDI error.

#include "shell/app_state.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace vtl {

inline constexpr char kLogFileName[] = "VTLConfig.log";

// Appends the text as one line (LF-terminated) to the log in state.programFolder, or in
// state.appDataFolder where the program's folder cannot be written (installed), when
// logging is on; a log that cannot be written loses the line silently.
void WriteLog(const AppState& state, const QString& text);

// "MCU Config: start at " + the date in the locale's short format and the time with seconds.
QString StartLogLine(const QDateTime& now, const QLocale& locale = QLocale::system());

} // namespace vtl
