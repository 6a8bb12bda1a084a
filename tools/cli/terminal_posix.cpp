#include "tools/cli/terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace vtl::cli {

TerminalSetup::TerminalSetup() = default;

TerminalSetup::~TerminalSetup() = default;

int StandardErrorColumns() {
    if (isatty(STDERR_FILENO) == 0) return 0;
    winsize size{};
    const bool known = ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0;
    return known ? size.ws_col : 80;
}

} // namespace vtl::cli
