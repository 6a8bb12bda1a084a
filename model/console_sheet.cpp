#include "model/console_sheet.h"

#include "model/console_check.h"
#include "model/console_text.h"

namespace vtl {
namespace {

// Where DescribeManual puts its lines.
constexpr std::size_t kChannelsLine = 0;
constexpr std::size_t kShoeLine = 1;
constexpr std::size_t kFirstPistonLine = 2;

// The subset of CSS that Qt's rich text reads the same way a browser does. A page is one
// table, so that the texts of every section start at the same place.
constexpr std::string_view kStyle =
    "body { font-family: 'DejaVu Sans', Verdana, sans-serif; font-size: 11pt; }\n"
    "p.product { font-size: 9pt; color: #606060; margin: 0; }\n"
    "h1 { font-size: 22pt; margin-top: 2pt; margin-bottom: 6pt; }\n"
    "span.of { font-size: 14pt; font-weight: normal; color: #606060; }\n"
    "td { vertical-align: top; }\n"
    "td.section { font-size: 13pt; font-weight: bold; color: #1f3f6f; padding-top: 18px; }\n"
    "td.label { color: #404040; white-space: nowrap; }\n"
    "td.note { font-size: 9pt; color: #606060; padding-top: 0px; }\n"
    "td.piston { font-size: 9pt; font-weight: bold; text-align: center; white-space: nowrap; }\n";

constexpr std::string_view kBandColour = "#e9eff7"; // every other group of the piston list

std::string Escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string LabelRow(const TextLine& line, std::string_view colour = "#ffffff") {
    const std::string cell = "<td bgcolor=\"" + std::string(colour) + "\"";
    return "<tr>" + cell + " width=\"140\" class=\"label\">" + Escaped(line.label) + "</td>" +
           cell + ">" + Escaped(line.text) + "</td></tr>\n";
}

std::string WholeRow(std::string_view cellClass, const std::string& html) {
    return "<tr><td colspan=\"2\" class=\"" + std::string(cellClass) + "\">" + html +
           "</td></tr>\n";
}

// The rail as the console view draws it: white pistons on black, numbered from the left,
// with a wider gap between two groups.
std::string Rail() {
    std::string html =
        "<table width=\"100%\" bgcolor=\"#000000\" cellspacing=\"3\" cellpadding=\"2\"><tr>";
    for (const PistonGroup& group : kRailGroups) {
        if (group.first != 0) html += "<td width=\"2%\">&nbsp;</td>";
        for (int p = group.first; p <= group.last; ++p) {
            html += "<td class=\"piston\" width=\"4%\" bgcolor=\"#ffffff\">" +
                    std::to_string(p + 1) + "</td>";
        }
    }
    return html + "</tr></table>";
}

// The pistons in the rail's groups, every other group on a coloured band.
std::string PistonRows(const std::vector<TextLine>& lines) {
    std::string html;
    for (std::size_t g = 0; g < kRailGroups.size(); ++g) {
        const std::string_view colour = g % 2 == 0 ? std::string_view("#ffffff") : kBandColour;
        for (int p = kRailGroups[g].first; p <= kRailGroups[g].last; ++p)
            html += LabelRow(lines[kFirstPistonLine + static_cast<std::size_t>(p)], colour);
    }
    return html;
}

// What the console check finds, a row each: "Warning", "Note" and the sentence.
std::string FindingRows(const std::vector<Finding>& findings) {
    if (findings.empty()) return {};
    std::string html = WholeRow("section", "Console check");
    for (const Finding& finding : findings) {
        std::string severity(SeverityName(finding.severity));
        severity[0] = static_cast<char>(severity[0] - 'a' + 'A');
        html += LabelRow({severity, finding.text});
    }
    return html;
}

// findings: those of the console, on the first page.
std::string Page(const std::vector<TextLine>& lines, int manual, int manuals,
                 std::string_view fileName, std::string_view date,
                 const std::vector<Finding>& findings) {
    std::string html = manual == 1 ? "<p class=\"product\">"
                                   : "<p class=\"product\" style=\"page-break-before: always\">";
    html += "VTLConfig console sheet</p>\n<h1>Manual " + std::to_string(manual) +
            " <span class=\"of\">of " + std::to_string(manuals) + "</span></h1>\n";
    html += "<table width=\"100%\" cellspacing=\"0\"><tr><td class=\"label\">File: <b>" +
            Escaped(fileName) +
            "</b></td><td align=\"right\" class=\"label\">Date: " + Escaped(date) +
            "</td></tr></table>\n<hr />\n";
    // The rail is a table of its own: inside a cell it would widen the label column.
    const std::string table = "<table width=\"100%\" cellspacing=\"0\" cellpadding=\"4\">\n";
    html += table + (manual == 1 ? FindingRows(findings) : std::string()) +
            WholeRow("section", "Keyboard") + LabelRow(lines[kChannelsLine]);
    html += WholeRow("section", "Shoe") + LabelRow(lines[kShoeLine]);
    html += WholeRow("section", "Pistons") +
            WholeRow("note", "The rail from the left, in its groups:") + "</table>\n";
    html += Rail() + "<p></p>\n" + table + PistonRows(lines);
    return html + "</table>\n";
}

} // namespace

std::string ConsoleSheetHtml(const ConsoleModel& model, const FunctionCatalogue& catalogue,
                             std::string_view fileName, std::string_view date) {
    std::string html = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\" />\n<title>" +
                       Escaped(fileName) + ": console sheet</title>\n<style>\n" +
                       std::string(kStyle) + "</style></head><body>\n";
    const int manuals = ManualsIn(model);
    const std::vector<Finding> findings = CheckConsole(model, catalogue);
    for (int m = 1; m <= manuals; ++m)
        html += Page(DescribeManual(model, m, catalogue), m, manuals, fileName, date, findings);
    if (manuals == 0) {
        html +=
            "<h1>" + Escaped(fileName) + "</h1>\n<p>No manuals. Date: " + Escaped(date) + "</p>\n";
    }
    return html + "</body></html>\n";
}

} // namespace vtl
