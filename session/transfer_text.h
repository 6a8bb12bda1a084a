#pragma once
// The words of a transfer, for every front end: how each report changes the transfer's title
// and running text (which the status window shows and the command-line tool prints line by
// line), how far it has got, what an unanswered transfer waits for, and what the user is told
// when something fails. Lines break with '\n'.

#include "link/transfer_report.h"

#include <optional>
#include <string>
#include <vector>

namespace vtl {

struct TextEdit {
    enum class Kind {
        Title,   // the title becomes the text
        Replace, // the running text becomes the text
        Add,     // the text is added where the running text ends
    };
    Kind kind;
    std::string text;
    bool operator==(const TextEdit&) const = default;
};

// How the report changes the title and the running text, in order; nothing for most.
std::vector<TextEdit> TextEdits(const TransferReport& report);

// One short line: "Manual 2 of 3 — about 12 s left"; empty for inactive figures.
std::string ProgressSummary(const TransferProgress& progress);

// What the transfer waits for and what to check; empty for nothing in particular.
std::string WaitText(const WaitDiagnosis& diagnosis);

// What the user is told on its own (a message box, a line of its own) of a port or device
// that failed, a program that cannot be decoded or encoded, or data that cannot be unpacked.
std::optional<std::string> MessageText(const TransferReport& report);

} // namespace vtl
