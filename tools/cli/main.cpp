// vtlconfig-cli: a console's configuration from a terminal. This file only finds the
// command named first on the command line and hands it the remaining arguments.

#include "tools/cli/file_commands.h"
#include "tools/cli/link_commands.h"
#include "tools/cli/monitor_command.h"
#include "tools/cli/terminal.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <iostream>

namespace {

using namespace vtl::cli;

// Every command of the tool; a new command is one more entry here.
constexpr std::array kCommands{&kShowCommand,   &kBuildCommand,   &kDiffCommand,
                               &kRandomCommand, &kPortsCommand,   &kProbeCommand,
                               &kReadCommand,   &kWriteCommand,   &kVerifyCommand,
                               &kCheckCommand,  &kMonitorCommand, &kGrandOrgueCommand};

void PrintUsage(std::ostream& out) {
    out << "Usage: " << kProgramName << " COMMAND ARGUMENTS\n\nCommands:\n";
    for (const Command* command : kCommands) {
        out << "  " << command->name << ' ' << command->synopsis << "\n      " << command->summary
            << '\n';
    }
    out << "\nExit status: 0 done (diff: no differences), 1 differences found, 2 failure.\n";
}

int Dispatch(const QStringList& args, CommandIo& io) {
    if (args.isEmpty()) {
        io.err << kProgramName << ": no command given (try " << kProgramName << " --help)\n";
        return kExitFailure;
    }
    const std::string name = args.front().toStdString();
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(io.out);
        return kExitOk;
    }
    const auto found = std::find_if(kCommands.begin(), kCommands.end(),
                                    [&](const Command* c) { return c->name == name; });
    if (found == kCommands.end()) {
        io.err << kProgramName << ": unknown command '" << name << "' (try " << kProgramName
               << " --help)\n";
        return kExitFailure;
    }
    const Command& command = **found;
    const QStringList rest = args.mid(1);
    if (rest.contains(QStringLiteral("--help"))) {
        io.out << "Usage: " << kProgramName << ' ' << command.name << ' ' << command.synopsis
               << '\n'
               << command.summary << '\n';
        return kExitOk;
    }
    return command.run(command, rest, io);
}

} // namespace

int main(int argc, char* argv[]) {
    const TerminalSetup terminal;
    QCoreApplication app(argc, argv);
    CommandIo io{std::cin, std::cout, std::cerr};
    return Dispatch(QCoreApplication::arguments().mid(1), io);
}
