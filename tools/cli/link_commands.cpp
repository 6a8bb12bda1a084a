// ports, probe, read, write, verify: the console's MCUs from a terminal.

#include "tools/cli/link_commands.h"

#include "model/catalogue.h"
#include "model/config_file.h"
#include "model/file_path.h"
#include "platform/midi_ports.h"
#include "session/probe.h"
#include "tools/cli/terminal_link.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <ostream>

namespace vtl::cli {
namespace {

// The arguments of a command whose only option is --api; reports failures itself.
std::optional<MidiApi> ParseApiOnly(const Command& command, const QStringList& args,
                                    CommandIo& io) {
    QCommandLineParser parser;
    parser.addOption({"api", QString::fromStdString("MIDI system: " + MidiApiHelp() + "."), "api"});
    if (!ParseArguments(parser, command, args, 0, io)) return std::nullopt;
    if (!parser.isSet("api")) return MidiApi::Automatic;
    const auto api = ParseMidiApi(parser.value("api").toStdString());
    if (!api) {
        Fail(api.error(), io);
        return std::nullopt;
    }
    return *api;
}

// Parses the link options and opens the session; reports failures itself.
std::unique_ptr<TerminalLink> OpenSession(const QCommandLineParser& parser, CommandIo& io) {
    const auto options = ReadLinkOptions(parser);
    if (!options) {
        Fail(options.error(), io);
        return nullptr;
    }
    auto session = std::make_unique<TerminalLink>(*options, io);
    if (const auto opened = session->Open(); !opened) {
        Fail(opened.error(), io);
        return nullptr;
    }
    return session;
}

// Whether the file a read saves can be made, found out before the read rather than after it,
// which on real ports takes seconds: a file is made beside it and removed again.
Status CheckCreatable(const QString& path) {
    const QFileInfo target(path);
    if (target.isDir()) return Error{path.toStdString() + ": " + std::strerror(EISDIR)};
    // Said as a save would say it, which the temporary file's own words differ from on Windows.
    if (!QFileInfo(target.absolutePath()).isDir()) {
        return Error{path.toStdString() +
                     ": cannot create a file in the folder: " + std::strerror(ENOENT)};
    }
    QTemporaryFile probe(target.absolutePath() + QStringLiteral("/.vtlconfig-XXXXXX"));
    if (!probe.open()) {
        return Error{path.toStdString() +
                     ": cannot create a file in the folder: " + probe.errorString().toStdString()};
    }
    return Ok();
}

// The console file a command names and the link its options name.
struct FileAndLink {
    ConsoleModel console;
    std::unique_ptr<TerminalLink> link;
};

// For write and verify; reports failures itself.
std::optional<FileAndLink> OpenFileAndLink(const Command& command, const QStringList& args,
                                           CommandIo& io) {
    QCommandLineParser parser;
    AddLinkOptions(parser);
    const auto files = ParseArguments(parser, command, args, 1, io);
    if (!files) return std::nullopt;
    auto console = LoadConsole(files->at(0));
    if (!console) {
        Fail(console.error(), io);
        return std::nullopt;
    }
    // Told, not asked: a script that minds runs check first.
    std::vector<Finding> warnings = CheckConsole(*console, BuildCatalogue());
    std::erase_if(warnings,
                  [](const Finding& f) { return f.severity != FindingSeverity::Warning; });
    PrintFindings(warnings, io.err);
    auto link = OpenSession(parser, io);
    if (!link) return std::nullopt;
    return FileAndLink{std::move(*console), std::move(link)};
}

// The console as the MCUs hold it.
Expected<ConsoleModel> ReadConsole(TerminalLink& session) {
    ConsoleModel model;
    if (const auto read = session.Read(model); !read) return read.error();
    return model;
}

} // namespace

int RunPorts(const Command& command, const QStringList& args, CommandIo& io) {
    const auto api = ParseApiOnly(command, args, io);
    if (!api) return kExitFailure;
    const auto ports = ListMidiPorts(*api);
    if (!ports) return Fail(ports.error(), io);
    for (const auto& warning : ports->warnings)
        io.err << "warning: " << warning << '\n';
    io.out << "MIDI system: " << MidiApiName(ResolveMidiApi(*api)) << "\nInputs:\n";
    for (std::size_t i = 0; i < ports->inputs.size(); ++i) {
        io.out << "  " << i << "  " << ports->inputs[i] << '\n';
    }
    io.out << "Outputs:\n"
           << (ports->virtualOutput ? "  -1  (this program's own virtual port, for a patchbay)\n"
                                    : "  (no virtual output on this MIDI system)\n");
    for (std::size_t i = 0; i < ports->outputs.size(); ++i) {
        io.out << "  " << i << "  " << ports->outputs[i] << '\n';
    }
    return kExitOk;
}

int RunProbe(const Command& command, const QStringList& args, CommandIo& io) {
    const auto api = ParseApiOnly(command, args, io);
    if (!api) return kExitFailure;
    const auto probed = ProbeConsole(*api, [&io](int output, const std::string& name) {
        io.err << "Trying output " << output << " (" << name << ")...\n";
    });
    if (!probed) return Fail(probed.error(), io);
    const auto& ports = probed->ports;
    for (const auto& answer : probed->answers) {
        io.out << "input " << answer.input << " \"" << ports.inputs[answer.input] << "\" / output "
               << answer.output << " \"" << ports.outputs[answer.output] << "\": ";
        if (answer.manuals == 0) {
            io.out << "a loop without MCUs\n";
        } else {
            io.out << answer.manuals << (answer.manuals == 1 ? " manual" : " manuals")
                   << (answer.manuals > 3 ? " (more than a console can have)" : "") << '\n';
        }
    }
    if (probed->answers.empty()) {
        return Fail(Error{"no input/output pair answered; check that the console is on and that "
                          "the last MCU's MIDI out reaches the PC"},
                    io);
    }
    return kExitOk;
}

int RunRead(const Command& command, const QStringList& args, CommandIo& io) {
    QCommandLineParser parser;
    AddLinkOptions(parser);
    parser.addOption({{"o", "output"}, "The console file to write.", "file"});
    if (!ParseArguments(parser, command, args, 0, io)) return kExitFailure;
    if (!parser.isSet("o"))
        return UsageError(command, "the file to write is missing (-o FILE)", io);
    const QString output = parser.value("o");
    if (const auto creatable = CheckCreatable(output); !creatable) {
        return Fail(creatable.error(), io);
    }
    auto session = OpenSession(parser, io);
    if (!session) return kExitFailure;
    auto model = ReadConsole(*session);
    if (!model) return Fail(model.error(), io);
    // Written only now and atomically: a failed read never leaves a partial file.
    if (const auto saved = SaveConfigFile(*model, PathFromUtf8(output.toStdString())); !saved) {
        return Fail(saved.error(), io);
    }
    return kExitOk;
}

int RunWrite(const Command& command, const QStringList& args, CommandIo& io) {
    auto opened = OpenFileAndLink(command, args, io);
    if (!opened) return kExitFailure;
    if (const auto written = opened->link->Write(opened->console); !written) {
        return Fail(written.error(), io);
    }
    return kExitOk;
}

int RunVerify(const Command& command, const QStringList& args, CommandIo& io) {
    const auto opened = OpenFileAndLink(command, args, io);
    if (!opened) return kExitFailure;
    const auto console = ReadConsole(*opened->link);
    if (!console) return Fail(console.error(), io);
    // A is the file, B the console.
    return PrintDifferences(opened->console, *console, io);
}

} // namespace vtl::cli
