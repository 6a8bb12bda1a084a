// vtlconfig: the desktop application.

#include "platform/midi_api.h"
#include "shell/app_paths.h"
#include "shell/application.h"
#include "shell/process_setup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

#include <iostream>

int main(int argc, char* argv[]) {
    vtl::PrepareProcess();
    QApplication app(argc, argv);
    // Lets the desktop match the windows to the launcher and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(VTL_APP_ID));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Configure the MIDI controllers of an organ console."));
    parser.addHelpOption();
    parser.addOption({"demo", "Use a simulated three-manual console instead of MIDI ports."});
    parser.addOption(
        {"api", QString::fromStdString("MIDI system: " + vtl::MidiApiHelp() + "."), "api"});
    parser.addOption({"trace", "Write every MIDI message sent and received to this file.", "file"});
    parser.addOption({"quit-after-start",
                      "Quit once the main window is up, printing the folder the program's files "
                      "come from; messages go to standard error, and the exit status is 1 after "
                      "one or when the file given cannot be loaded."});
    parser.addPositionalArgument("file", "A console file (.vtl) to load at start.", "[file]");
    parser.process(app);
    if (parser.positionalArguments().size() > 1) {
        std::cerr << "vtlconfig: one console file at most\n";
        return 2;
    }

    vtl::AppOptions options;
    options.demo = parser.isSet("demo");
    options.tracePath = parser.value("trace");
    options.programFolder = vtl::ResourceFolder(QCoreApplication::applicationDirPath());
    options.quitAfterStart = parser.isSet("quit-after-start");
    if (!parser.positionalArguments().isEmpty()) {
        options.openFile = QFileInfo(parser.positionalArguments().front()).absoluteFilePath();
    }
    if (parser.isSet("api")) {
        const auto api = vtl::ParseMidiApi(parser.value("api").toStdString());
        if (!api) {
            std::cerr << "vtlconfig: " << api.error().message << '\n';
            return 2;
        }
        options.api = *api;
    }

    vtl::Application application(options);
    if (!application.Start()) return 0;
    return QApplication::exec();
}
