#include "model/console_sheet.h"

#include "model/console_text.h"

namespace vtl {
namespace {

// Where DescribeManual puts its lines.
constexpr std::size_t kChannelsLine = 0;
constexpr std::size_t kShoeLine = 1;
constexpr std::size_t kFirstPistonLine = 2;

// The subset of CSS that Qt's rich text reads the same way a browser does.
constexpr std::string_view kStyle =
    "body { font-family: 'DejaVu Sans', Verdana, sans-serif; font-size: 10pt; }\n"
    "p.product { font-size: 8pt; color: #606060; margin: 0; }\n"
    "h1 { font-size: 20pt; margin-top: 2pt; margin-bottom: 4pt; }\n"
    "span.of { font-size: 12pt; font-weight: normal; color: #606060; }\n"
    "h2 { font-size: 12pt; color: #1f3f6f; margin-top: 16pt; margin-bottom: 4pt; }\n"
    "td { padding: 2pt 6pt; vertical-align: top; }\n"
    "td.label { color: #404040; white-space: nowrap; }\n"
    "td.piston { font-size: 7pt; text-align: center; }\n"
    "p.note { font-size: 8pt; color: #606060; margin-top: 0; }\n";

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
    return "<tr>" + cell + " class=\"label\">" + Escaped(line.label) + "</td>" + cell + ">" +
           Escaped(line.text) + "</td></tr>\n";
}

// The rail as the console view draws it: white pistons on black, numbered from the left,
// with a wider gap between two groups.
std::string Rail() {
    std::string html = "<table bgcolor=\"#000000\" cellspacing=\"3\" cellpadding=\"3\"><tr>";
    for (const PistonGroup& group : kRailGroups) {
        if (group.first != 0) html += "<td width=\"12\">&nbsp;</td>";
        for (int p = group.first; p <= group.last; ++p) {
            html += "<td class=\"piston\" width=\"18\" bgcolor=\"#ffffff\">" +
                    std::to_string(p + 1) + "</td>";
        }
    }
    return html + "</tr></table>\n";
}

// The pistons in the rail's groups, every other group on a coloured band.
std::string PistonList(const std::vector<TextLine>& lines) {
    std::string html = "<table width=\"100%\" cellspacing=\"0\">\n";
    for (std::size_t g = 0; g < kRailGroups.size(); ++g) {
        const std::string_view colour = g % 2 == 0 ? std::string_view("#ffffff") : kBandColour;
        for (int p = kRailGroups[g].first; p <= kRailGroups[g].last; ++p)
            html += LabelRow(lines[kFirstPistonLine + static_cast<std::size_t>(p)], colour);
    }
    return html + "</table>\n";
}

std::string Page(const std::vector<TextLine>& lines, int manual, int manuals,
                 std::string_view fileName, std::string_view date) {
    std::string html = manual == 1 ? "<p class=\"product\">"
                                   : "<p class=\"product\" style=\"page-break-before: always\">";
    html += "VTLConfig console sheet</p>\n<h1>Manual " + std::to_string(manual) +
            " <span class=\"of\">of " + std::to_string(manuals) + "</span></h1>\n";
    html += "<table width=\"100%\" cellspacing=\"0\"><tr><td class=\"label\">File: <b>" +
            Escaped(fileName) +
            "</b></td><td align=\"right\" class=\"label\">Date: " + Escaped(date) +
            "</td></tr></table>\n<hr />\n";
    html += "<h2>Keyboard</h2>\n<table cellspacing=\"0\">\n" + LabelRow(lines[kChannelsLine]) +
            "</table>\n";
    html += "<h2>" + Escaped(lines[kShoeLine].label) + "</h2>\n<p>" +
            Escaped(lines[kShoeLine].text) + "</p>\n";
    html += "<h2>Pistons</h2>\n<p class=\"note\">The rail from the left, in its groups:</p>\n" +
            Rail() + "<p></p>\n" + PistonList(lines);
    return html;
}

} // namespace

std::string ConsoleSheetHtml(const ConsoleModel& model, const FunctionCatalogue& catalogue,
                             std::string_view fileName, std::string_view date) {
    std::string html = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\" />\n<title>" +
                       Escaped(fileName) + ": console sheet</title>\n<style>\n" +
                       std::string(kStyle) + "</style></head><body>\n";
    const int manuals = ManualsIn(model);
    for (int m = 1; m <= manuals; ++m)
        html += Page(DescribeManual(model, m, catalogue), m, manuals, fileName, date);
    if (manuals == 0) {
        html +=
            "<h1>" + Escaped(fileName) + "</h1>\n<p>No manuals. Date: " + Escaped(date) + "</p>\n";
    }
    return html + "</body></html>\n";
}

} // namespace vtl
