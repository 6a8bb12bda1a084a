#include "shell/read_results.h"

#include "link/product.h"
#include "shell/app_state.h"
#include "shell/backups.h"
#include "shell/status_window.h"

#include <QDateTime>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

namespace vtl {

void KeepReadBackup(const AppState& state, StatusWindow& status) {
    if (const auto kept =
            KeepBackup(state.console, state.appDataFolder, QDateTime::currentDateTime());
        !kept) {
        status.Append("\nNo backup kept: " + kept.error().message);
    }
}

void ShowVerifyResult(StatusWindow& status, QWidget& window,
                      const std::vector<std::string>& differences) {
    if (differences.empty()) {
        status.Append("\nVerified: the VTL holds what was written.");
        return;
    }
    status.Append("\nNot verified: the VTL holds something else.");
    QStringList lines;
    for (const auto& line : differences)
        lines << QString::fromStdString(line);
    // A longer list would make the box taller than a screen: the rest is under its details.
    constexpr qsizetype kShownLines = 24;
    QString text = QStringLiteral("The VTL does not hold what was written:\n\n") +
                   lines.mid(0, kShownLines).join(QLatin1Char('\n'));
    if (lines.size() > kShownLines) {
        text +=
            QStringLiteral("\n(and %1 more under Show Details)").arg(lines.size() - kShownLines);
    }
    text += QStringLiteral("\n\nWrite it again, or load it from the VTL to see what it holds.");
    const QString details = lines.size() > kShownLines ? lines.join(QLatin1Char('\n')) : QString();
    QTimer::singleShot(0, &window, [&window, text, details] {
        QMessageBox box(QMessageBox::Warning, kWindowTitle, text, QMessageBox::Ok, &window);
        box.setDetailedText(details);
        box.exec();
    });
}

} // namespace vtl
