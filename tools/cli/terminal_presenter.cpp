#include "tools/cli/terminal_presenter.h"

#include "session/transfer_text.h"
#include "tools/cli/terminal.h"

#include <iostream>
#include <utility>

namespace vtl::cli {
namespace {

constexpr int kBarWidth = 20;
// Erases from the cursor to the end of the line.
constexpr char kEraseLine[] = "\x1b[K";

// The width of the terminal standard error is, or 0 when it is none (or a test's stream).
int TerminalColumns(const std::ostream& err) {
    return &err == &std::cerr ? StandardErrorColumns() : 0;
}

// The longest start of a UTF-8 text that fills at most this many columns.
std::string Clipped(const std::string& text, int columns) {
    int used = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xc0) != 0x80;
        if (startsCharacter && ++used > columns) return text.substr(0, i);
    }
    return text;
}

} // namespace

TerminalPresenter::TerminalPresenter(std::ostream& err)
    : err_(err), columns_(TerminalColumns(err)) {}

void TerminalPresenter::Report(const TransferReport& report) {
    if (const auto* progress = std::get_if<TransferProgress>(&report)) ShowProgress(*progress);
    for (const TextEdit& edit : TextEdits(report)) {
        switch (edit.kind) {
        case TextEdit::Kind::Title:
            ShowTitle(edit.text);
            break;
        case TextEdit::Kind::Replace:
            PrintApart(edit.text);
            break;
        case TextEdit::Kind::Add:
            Print(edit.text);
            break;
        }
    }
    if (const auto* conversion = std::get_if<ConversionError>(&report)) {
        for (const std::string& line : ConversionErrorLines(conversion->faults))
            PrintApart("warning: " + line + "\n");
        return;
    }
    const auto message = MessageText(report);
    if (message && failure_.empty()) {
        failure_ = *message;
    }
}

void TerminalPresenter::Finish() {
    if (!partLine_.empty()) Print("\n");
    if (progressLineShown_) err_ << '\n' << std::flush;
}

void TerminalPresenter::ShowProgress(const TransferProgress& progress) {
    const int before = progress_.manualsDone;
    progress_ = progress;
    if (columns_ > 0) {
        DrawProgressLine();
        err_ << std::flush;
        return;
    }
    const char* const verb = progress.mode == TransferMode::Writing ? " written" : " read";
    for (int m = before + 1; m <= progress.manualsDone; ++m) {
        err_ << "manual " << m << " of " << progress.manuals << verb << '\n';
    }
}

void TerminalPresenter::ShowTitle(const std::string& title) {
    if (title == title_) return;
    title_ = title;
    PrintApart("[" + title + "]\n");
}

void TerminalPresenter::Print(const std::string& text) {
    std::string lines;
    for (char c : text) {
        partLine_ += c;
        if (c == '\n') lines += std::exchange(partLine_, {});
    }
    if (!lines.empty()) {
        WipeProgressLine();
        err_ << lines;
    }
    DrawProgressLine();
    err_ << std::flush;
}

void TerminalPresenter::PrintApart(const std::string& text) {
    Print(std::string(partLine_.empty() ? "" : "\n") + text);
}

void TerminalPresenter::DrawProgressLine() {
    if (columns_ == 0 || !progress_.Active()) return;
    err_ << '\r' << ProgressLine() << kEraseLine;
    progressLineShown_ = true;
}

void TerminalPresenter::WipeProgressLine() {
    if (!progressLineShown_) return;
    err_ << '\r' << kEraseLine;
    progressLineShown_ = false;
}

// "[#########...........]  45 %  Manual 2 of 3 — about 12 s left", then the text of a line
// still growing (the dots of a repeated request), as much as the terminal's width takes.
std::string TerminalPresenter::ProgressLine() const {
    const int filled = progress_.total == 0 ? 0 : progress_.done * kBarWidth / progress_.total;
    const std::string percent = std::to_string(progress_.Percent());
    std::string line = "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') +
                       "] " + std::string(3 - percent.size(), ' ') + percent + " %  " +
                       ProgressSummary(progress_);
    if (!partLine_.empty()) line += "  " + partLine_;
    return Clipped(line, columns_ - 1);
}

} // namespace vtl::cli
