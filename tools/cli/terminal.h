#pragma once
// Where the terminals of the platforms differ: how standard output and error carry the
// program's UTF-8 text, and how wide the terminal standard error writes to is.

namespace vtl::cli {

// While it lives, standard output and error pass the program's bytes as they are (Windows
// would turn each LF into CR LF) and a Windows console shows them as UTF-8; the console's
// code page is put back at the end. Nothing to do on POSIX.
class TerminalSetup {
public:
    TerminalSetup();
    ~TerminalSetup();
    TerminalSetup(const TerminalSetup&) = delete;
    TerminalSetup& operator=(const TerminalSetup&) = delete;

private:
    // Windows: the console's output code page before; 0: none.
    [[maybe_unused]] unsigned int restoreCodePage_ = 0;
};

// The columns of the terminal standard error writes to, or 0 when it is none (a file or a
// pipe), or a Windows console too old to take the escape sequences that redraw a line.
int StandardErrorColumns();

} // namespace vtl::cli
