// check: the console check of a console file, in words or as JSON for scripts. The exit status
// says whether it found anything, so that a script can stop before a write.

#include "tools/cli/file_commands.h"

#include <QCommandLineParser>

#include <ostream>
#include <string>

namespace vtl::cli {
namespace {

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

std::string ElementToJson(const FindingElement& element) {
    std::string json = "{\"manual\": " + std::to_string(element.manual) + ", \"element\": ";
    switch (element.kind) {
    case FindingElement::Kind::Keyboard:
        return json + "\"keyboard\"}";
    case FindingElement::Kind::Shoe:
        return json + "\"shoe\"}";
    case FindingElement::Kind::Piston:
        break;
    }
    return json + "\"piston\", \"piston\": " + std::to_string(element.piston) + "}";
}

// {"findings": [{"kind": ..., "severity": ..., "text": ..., "elements": [...], "channel": 5}]}
// on one line, the channel, program and controller only where the kind has one.
std::string FindingsToJson(const std::vector<Finding>& findings) {
    std::string json = "{\"findings\": [";
    for (const Finding& finding : findings) {
        if (&finding != &findings.front()) json += ", ";
        json += "{\"kind\": " + Quoted(KindName(finding.kind)) +
                ", \"severity\": " + Quoted(SeverityName(finding.severity)) +
                ", \"text\": " + Quoted(finding.text) + ", \"elements\": [";
        for (const FindingElement& element : finding.elements) {
            if (&element != &finding.elements.front()) json += ", ";
            json += ElementToJson(element);
        }
        json += "]";
        for (const auto& [key, value] : {std::pair{"channel", finding.channel},
                                         {"program", finding.program},
                                         {"controller", finding.controller}}) {
            if (value != 0) json += ", " + Quoted(key) + ": " + std::to_string(value);
        }
        json += "}";
    }
    return json + "]}\n";
}

} // namespace

int RunCheck(const Command& command, const QStringList& args, CommandIo& io) {
    QCommandLineParser parser;
    const QCommandLineOption json(QStringLiteral("json"));
    parser.addOption(json);
    const auto files = ParseArguments(parser, command, args, 1, io);
    if (!files) return kExitFailure;
    const auto model = LoadConsole(files->front());
    if (!model) return Fail(model.error(), io);
    const std::vector<Finding> findings = CheckConsole(*model, BuildCatalogue());
    if (parser.isSet(json)) {
        io.out << FindingsToJson(findings);
    } else {
        PrintFindings(findings, io.out);
    }
    return findings.empty() ? kExitOk : kExitDifferent;
}

} // namespace vtl::cli
