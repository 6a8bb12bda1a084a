// vtlconfig: the desktop application.

#include "shell/application.h"

#include <QApplication>
#include <QCommandLineParser>

#include <iostream>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Configure the MIDI controllers of an organ console."));
    parser.addHelpOption();
    parser.addOption({"demo", "Use a simulated three-manual console instead of MIDI ports."});
    parser.addOption({"api", "MIDI system: alsa or jack (default: alsa where it exists).", "api"});
    parser.addOption({"trace", "Write every MIDI message sent and received to this file.", "file"});
    parser.process(app);

    vtl::AppOptions options;
    options.demo = parser.isSet("demo");
    options.tracePath = parser.value("trace");
    options.programFolder = QCoreApplication::applicationDirPath();
    if (parser.isSet("api")) {
        const auto api = vtl::parseMidiApi(parser.value("api").toStdString());
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
