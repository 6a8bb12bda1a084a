#pragma once
// What the user sees of a read's end besides the console: a backup kept of every console read
// from the MCUs, and the verdict of a read-back after a write.

#include <string>
#include <vector>

class QWidget;

namespace vtl {

struct AppState;
class StatusWindow;

// Keeps a backup of the console just read, so that the console's state before any later write
// can be restored; the status window says when none could be kept.
void KeepReadBackup(const AppState& state, StatusWindow& status);

// The status window's last line, and with differences a message box over window that lists
// them, once the receive path that got here has returned.
void ShowVerifyResult(StatusWindow& status, QWidget& window,
                      const std::vector<std::string>& differences);

} // namespace vtl
