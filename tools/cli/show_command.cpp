// show: a console file for reading by an organ builder, or as JSON for scripts.

#include "model/config_file.h"
#include "model/program_image.h"
#include "tools/cli/console_json.h"
#include "tools/cli/console_text.h"
#include "tools/cli/file_commands.h"

#include <QCommandLineParser>
#include <QFile>

#include <fstream>
#include <iomanip>
#include <ostream>

namespace vtl::cli {
namespace {

// Wide enough for the longest label, "Division channels:", and two blanks.
constexpr int kLabelWidth = 20;

void PrintConsole(const ConsoleModel& model, const QString& fileName, std::ostream& out) {
    const int manuals = ManualsIn(model);
    out << fileName.toStdString() << ": ";
    if (manuals == 0) {
        out << "no manuals\n";
        return;
    }
    out << manuals << (manuals == 1 ? " manual\n" : " manuals\n");
    const FunctionCatalogue catalogue = BuildCatalogue();
    for (int m = 1; m <= manuals; ++m) {
        out << "\nManual " << m << '\n';
        for (const TextLine& line : DescribeManual(model, m, catalogue)) {
            out << "  " << std::left << std::setw(kLabelWidth) << line.label + ":" << line.text
                << '\n';
        }
    }
}

// The identity byte that makes a save give the file's format bytes back: the application
// writes format 13 for every manual when the MCUs' identity byte 21 is 0x12, else 12.
std::uint8_t IdentityByte21Of(const QString& path) {
    std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
    std::uint8_t identity = 0;
    // The file has been loaded, so its first line is read without fault.
    static_cast<void>(ForEachConsoleLine(
        in, path.toStdString(), kMaxManuals, {},
        [&identity](int number, const Expected<Bytes>& image) -> Status {
            if (number == 1 && image && !image->empty() && image->at(image::kFormat) == 0x13) {
                identity = 0x12;
            }
            return Ok();
        }));
    return identity;
}

} // namespace

int RunShow(const Command& command, const QStringList& args, CommandIo& io) {
    QCommandLineParser parser;
    const QCommandLineOption json(QStringLiteral("json"));
    parser.addOption(json);
    const auto files = ParseArguments(parser, command, args, 1, io);
    if (!files) return kExitFailure;

    auto model = LoadConsole(files->front());
    if (!model) return Fail(model.error(), io);
    if (parser.isSet(json)) {
        model->identityByte21 = IdentityByte21Of(files->front());
        io.out << ConsoleToJson(*model);
    } else {
        PrintConsole(*model, files->front(), io.out);
    }
    return kExitOk;
}

} // namespace vtl::cli
