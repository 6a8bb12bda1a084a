// diff: what differs between two console files, in the words of show, manual by manual.

#include "tools/cli/file_commands.h"

#include <QCommandLineParser>

namespace vtl::cli {

int RunDiff(const Command& command, const QStringList& args, CommandIo& io) {
    QCommandLineParser parser;
    const auto files = ParseArguments(parser, command, args, 2, io);
    if (!files) return kExitFailure;
    const auto a = LoadConsole(files->at(0));
    if (!a) return Fail(a.error(), io);
    const auto b = LoadConsole(files->at(1));
    if (!b) return Fail(b.error(), io);
    return PrintDifferences(*a, *b, io);
}

} // namespace vtl::cli
