#include "tools/cli/command.h"

#include "model/config_file.h"
#include "model/console_diff.h"
#include "model/file_path.h"

#include <QCommandLineParser>

#include <ostream>
#include <string>

namespace vtl::cli {

int Fail(const Error& error, CommandIo& io) {
    io.err << error.message << '\n';
    return kExitFailure;
}

int UsageError(const Command& command, std::string_view what, CommandIo& io) {
    io.err << kProgramName << ' ' << command.name << ": " << what << " (usage: " << kProgramName
           << ' ' << command.name << ' ' << command.synopsis << ")\n";
    return kExitFailure;
}

std::optional<QStringList> ParseArguments(QCommandLineParser& parser, const Command& command,
                                          const QStringList& args, qsizetype positionalCount,
                                          CommandIo& io) {
    // The parser takes the first element as the program's name.
    if (!parser.parse(QStringList{QString::fromUtf8(command.name)} + args)) {
        std::string what = parser.errorText().toStdString();
        if (what.ends_with('.')) what.pop_back();
        UsageError(command, what, io);
        return std::nullopt;
    }
    QStringList positional = parser.positionalArguments();
    if (positional.size() != positionalCount) {
        UsageError(command,
                   "expected " + std::to_string(positionalCount) + " argument" +
                       (positionalCount == 1 ? "" : "s") + ", got " +
                       std::to_string(positional.size()),
                   io);
        return std::nullopt;
    }
    return positional;
}

Expected<ConsoleModel> LoadConsole(const QString& path) {
    ConsoleModel model;
    if (const auto loaded = LoadConfigFile(model, PathFromUtf8(path.toStdString())); !loaded) {
        return loaded.error();
    }
    return model;
}

int PrintDifferences(const ConsoleModel& a, const ConsoleModel& b, CommandIo& io) {
    const auto lines = DescribeDifferences(a, b);
    for (const auto& line : lines)
        io.out << line << '\n';
    return lines.empty() ? kExitOk : kExitDifferent;
}

void PrintFindings(const std::vector<Finding>& findings, std::ostream& out,
                   std::string_view indent) {
    for (const Finding& finding : findings)
        out << indent << SeverityName(finding.severity) << ": " << finding.text << '\n';
}

} // namespace vtl::cli
