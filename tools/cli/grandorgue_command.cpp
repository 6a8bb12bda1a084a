// grandorgue: GrandOrgue's MIDI settings for an organ, made from a console file, so that the
// organ follows the console's keyboards, shoes and program-change pistons without setting up
// every one by hand in GrandOrgue.

#include "grandorgue/organ_mapping.h"
#include "grandorgue/settings_file.h"
#include "model/file_path.h"
#include "session/grandorgue_target.h"
#include "tools/cli/file_commands.h"

#include <QCommandLineParser>

#include <ostream>

namespace vtl::cli {
namespace {

std::filesystem::path PathOf(const QString& name) {
    return PathFromUtf8(name.toStdString());
}

// "M=NNN" choices: console manual M onto the organ's part NNN.
std::optional<std::map<int, int>> Choices(const QStringList& values) {
    std::map<int, int> choices;
    for (const QString& value : values) {
        const QStringList parts = value.split(QLatin1Char('='));
        bool manualOk = false;
        bool partOk = false;
        const int manual = parts.value(0).toInt(&manualOk);
        const int part = parts.value(1).toInt(&partOk);
        if (parts.size() != 2 || !manualOk || !partOk) return std::nullopt;
        choices[manual] = part;
    }
    return choices;
}

} // namespace

int RunGrandOrgue(const Command& command, const QStringList& args, CommandIo& io) {
    QCommandLineParser parser;
    const QCommandLineOption organOption(QStringLiteral("organ"), {}, QStringLiteral("ORGAN"));
    const QCommandLineOption output(QStringLiteral("o"), {}, QStringLiteral("OUT"));
    const QCommandLineOption install(QStringLiteral("install"));
    const QCommandLineOption device(QStringLiteral("device"), {}, QStringLiteral("NAME"));
    const QCommandLineOption manual(QStringLiteral("manual"), {}, QStringLiteral("M=NNN"));
    const QCommandLineOption shoe(QStringLiteral("shoe"), {}, QStringLiteral("M=NNN"));
    parser.addOptions({organOption, output, install, device, manual, shoe});
    const auto files = ParseArguments(parser, command, args, 1, io);
    if (!files) return kExitFailure;
    if (!parser.isSet(organOption)) return UsageError(command, "--organ is missing", io);
    if (parser.isSet(output) && parser.isSet(install))
        return UsageError(command, "-o and --install exclude each other", io);
    const auto manuals = Choices(parser.values(manual));
    const auto shoes = Choices(parser.values(shoe));
    if (!manuals || !shoes) return UsageError(command, "a choice is not M=NNN", io);

    const auto console = LoadConsole(files->front());
    if (!console) return Fail(console.error(), io);
    const auto organ = LoadOrgan(PathOf(parser.value(organOption)));
    if (!organ) return Fail(organ.error(), io);
    const MappingChoice choice{*manuals, *shoes, parser.value(device).toStdString(), {}};
    const auto mapping = MapConsole(*console, organ->definition, choice);
    if (!mapping) return Fail({Utf8Name(organ->file) + ": " + mapping.error().message}, io);
    for (const std::string& line : DescribeMapping(*mapping))
        io.out << line << '\n';

    std::optional<std::filesystem::path> target;
    if (parser.isSet(output)) target = PathOf(parser.value(output));
    if (parser.isSet(install)) {
        auto installed = GrandOrgueSettingsFile(*organ);
        if (!installed) return Fail(installed.error(), io);
        target = *installed;
    }
    if (!target) return kExitOk;
    if (const auto written = ExportSettings(*target, *mapping); !written)
        return Fail(written.error(), io);
    io.out << "GrandOrgue's settings written to " << Utf8Name(*target) << '\n';
    return kExitOk;
}

} // namespace vtl::cli
