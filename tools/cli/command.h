#pragma once
// What every vtlconfig-cli command shares: its entry in the dispatch table, the streams it
// talks through and the one-line error convention (exit status 2, one line on standard
// error naming the file).

#include "model/console_check.h"
#include "model/console_model.h"
#include "sysex/result.h"

#include <QStringList>

#include <iosfwd>
#include <optional>
#include <string_view>
#include <vector>

class QCommandLineParser;

namespace vtl::cli {

inline constexpr std::string_view kProgramName = "vtlconfig-cli";

// Exit statuses: a command that compares answers 0 for equal and 1 for different.
inline constexpr int kExitOk = 0;
inline constexpr int kExitDifferent = 1;
inline constexpr int kExitFailure = 2;

// The streams of the process, or string streams in tests.
struct CommandIo {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
};

struct Command;
using CommandRun = int (*)(const Command& command, const QStringList& args, CommandIo& io);

// One entry of the dispatch table.
struct Command {
    std::string_view name;
    std::string_view synopsis; // the arguments after the command name
    std::string_view summary;
    CommandRun run;
};

// Writes the error as the command's one line on standard error; returns kExitFailure.
int Fail(const Error& error, CommandIo& io);

// Reports a usage error with the command's synopsis; returns kExitFailure.
int UsageError(const Command& command, std::string_view what, CommandIo& io);

// Parses the command's arguments (those after its name) with the options already added to
// the parser and checks that exactly positionalCount arguments remain. Returns them, or
// nothing after a usage error has been reported.
std::optional<QStringList> ParseArguments(QCommandLineParser& parser, const Command& command,
                                          const QStringList& args, qsizetype positionalCount,
                                          CommandIo& io);

// Loads a console file named on the command line; errors name the file and line.
Expected<ConsoleModel> LoadConsole(const QString& path);

// Prints what differs between A and B, a line each; kExitDifferent when anything does.
int PrintDifferences(const ConsoleModel& a, const ConsoleModel& b, CommandIo& io);

// The console check's findings, a line each: "warning: Manuals 1 and 2 both send ...";
// indent goes before each line.
void PrintFindings(const std::vector<Finding>& findings, std::ostream& out,
                   std::string_view indent = {});

} // namespace vtl::cli
