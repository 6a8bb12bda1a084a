// build: a console file from JSON, written exactly as the application saves it.

#include "model/config_file.h"
#include "model/file_path.h"
#include "tools/cli/console_json.h"
#include "tools/cli/file_commands.h"

#include <QCommandLineParser>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace vtl::cli {
namespace {

constexpr std::string_view kStandardInput = "<stdin>";

Expected<QByteArray> ReadAll(std::istream& in, std::string_view name) {
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return Error{std::string(name) + ": cannot read"};
    return QByteArray::fromStdString(text.str());
}

// The JSON text named on the command line: a file, or standard input for "-".
Expected<QByteArray> ReadJson(const std::string& name, std::istream& standardInput) {
    if (name == "-") return ReadAll(standardInput, kStandardInput);
    std::ifstream in(PathFromUtf8(name), std::ios::binary);
    if (!in) return Error{name + ": " + std::strerror(errno)};
    return ReadAll(in, name);
}

} // namespace

int RunBuild(const Command& command, const QStringList& args, CommandIo& io) {
    QCommandLineParser parser;
    const QCommandLineOption output(QStringList{"o", "output"}, QString(), "FILE");
    parser.addOption(output);
    const auto files = ParseArguments(parser, command, args, 1, io);
    if (!files) return kExitFailure;
    if (!parser.isSet(output)) return UsageError(command, "no output file given", io);

    const std::string inputName = files->front().toStdString();
    const std::string_view sourceName = inputName == "-" ? kStandardInput : inputName;
    const auto text = ReadJson(inputName, io.in);
    if (!text) return Fail(text.error(), io);
    auto model = ConsoleFromJson(*text, sourceName);
    if (!model) return Fail(model.error(), io);

    // Values the image cannot carry are faults of the JSON, so name it rather than the
    // output file, which is left untouched.
    if (const auto encoded = FormatConfigFile(*model); !encoded) {
        return Fail(Error{std::string(sourceName) + ": " + encoded.error().message}, io);
    }
    if (const auto saved = SaveConfigFile(*model, PathFromUtf8(parser.value(output).toStdString()));
        !saved) {
        return Fail(saved.error(), io);
    }
    return kExitOk;
}

} // namespace vtl::cli
