// show: a console file for reading by an organ builder, with what the console check finds, as
// JSON for scripts, or as the printable console sheet in HTML.

#include "model/console_sheet.h"
#include "model/console_text.h"
#include "tools/cli/console_json.h"
#include "tools/cli/file_commands.h"

#include <QCommandLineParser>
#include <QDate>
#include <QFileInfo>

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
    const std::vector<Finding> findings = CheckConsole(model, catalogue);
    if (findings.empty()) return;
    out << "\nConsole check\n";
    PrintFindings(findings, out, "  ");
}

} // namespace

int RunShow(const Command& command, const QStringList& args, CommandIo& io) {
    QCommandLineParser parser;
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption html(QStringLiteral("html"));
    parser.addOptions({json, html});
    const auto files = ParseArguments(parser, command, args, 1, io);
    if (!files) return kExitFailure;

    auto model = LoadConsole(files->front());
    if (!model) return Fail(model.error(), io);
    if (parser.isSet(json)) {
        io.out << ConsoleToJson(*model);
    } else if (parser.isSet(html)) {
        io.out << ConsoleSheetHtml(*model, BuildCatalogue(),
                                   QFileInfo(files->front()).fileName().toStdString(),
                                   QDate::currentDate().toString(Qt::ISODate).toStdString());
    } else {
        PrintConsole(*model, files->front(), io.out);
    }
    return kExitOk;
}

} // namespace vtl::cli
