#include "tools/cli/terminal.h"

#include <cstdio>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace vtl::cli {

TerminalSetup::TerminalSetup() {
    std::fflush(stdout);
    std::fflush(stderr);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    const UINT before = GetConsoleOutputCP();
    if (before != 0 && before != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) restoreCodePage_ = before;
}

TerminalSetup::~TerminalSetup() {
    if (restoreCodePage_ != 0) SetConsoleOutputCP(restoreCodePage_);
}

int StandardErrorColumns() {
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO screen{};
    DWORD mode = 0;
    if (!GetConsoleScreenBufferInfo(err, &screen) || !GetConsoleMode(err, &mode)) return 0;
    // The progress line is redrawn in place with an escape sequence that erases a line.
    if (!SetConsoleMode(err, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) return 0;
    return screen.srWindow.Right - screen.srWindow.Left + 1;
}

} // namespace vtl::cli
