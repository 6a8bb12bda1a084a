#pragma once
// Words a transfer's reports on standard error: the transfer's title (in brackets) and running
// text, each line once it is complete, and how far it has got: on a terminal one line kept
// under the texts and redrawn in place, elsewhere a plain line for each finished manual. A
// failure is kept for the command to end with; data that cannot be unpacked is a warning.

#include "link/transfer_progress.h"
#include "link/transfer_report.h"

#include <ostream>
#include <string>

namespace vtl::cli {

class TerminalPresenter : public TransferObserver {
public:
    explicit TerminalPresenter(std::ostream& err);

    void Report(const TransferReport& report) override;
    // The transfer is over: a line still growing is ended, and the progress line stays where
    // the transfer left it.
    void Finish();
    // The first failure reported; empty when there was none.
    const std::string& Failure() const { return failure_; }

private:
    void ShowProgress(const TransferProgress& progress);
    void ShowTitle(const std::string& title);
    // Complete lines go out, the rest waits for its line break.
    void Print(const std::string& text);
    // The text on a line of its own.
    void PrintApart(const std::string& text);
    // The terminal's progress line, drawn in place under the texts, or wiped.
    void DrawProgressLine();
    void WipeProgressLine();
    std::string ProgressLine() const;

    std::ostream& err_;
    std::string title_;
    std::string partLine_; // text after the last line break, not printed yet
    std::string failure_;
    TransferProgress progress_;
    // Standard error is a terminal this wide; 0 when it is not a terminal.
    int columns_ = 0;
    bool progressLineShown_ = false;
};

} // namespace vtl::cli
