#include "shell/main_commands.h"

#include "editor/console_document.h"
#include "editor/console_print.h"
#include "editor/frm_main.h"
#include "shell/application.h"

namespace vtl {

std::vector<Command> MainCommands(Application& app) {
    ConsoleDocument& document = app.Document();
    AppState& state = app.state();
    QWidget& window = *app.mainWindow();
    // Saving, printing and writing need a console.
    const auto withConsole = [&document] { return document.HasConsole(); };
    const auto never = [] { return false; };
    const auto ctrl = [](Qt::Key key) { return QKeySequence(Qt::CTRL | key); };
    return {
        {.menu = "&File",
         .text = "&Open Program Data File",
         .shortcut = ctrl(Qt::Key_O),
         .bitmap = "load",
         .tooltip = "Open VTL Configuration File",
         .handler = [&app] { app.LoadConfigurationFile(); }},
        {.menu = "&File",
         .text = "&Save Program Data File",
         .shortcut = ctrl(Qt::Key_S),
         .bitmap = "save",
         .tooltip = "Save VTL Configuration File",
         .enabled = withConsole,
         .handler = [&app] { app.SaveConfigurationFile(); }},
        {.menu = "&File",
         .text = "&Load Program Data from VTL",
         .shortcut = ctrl(Qt::Key_L),
         .bitmap = "loado",
         .tooltip = "Load Program Data From VTL",
         .toolbarGap = true,
         .handler = [&app] { app.ReadFromVtl(); }},
        {.menu = "&File",
         .text = "&Write Program Data to VTL",
         .shortcut = ctrl(Qt::Key_W),
         .bitmap = "write",
         .tooltip = "Write Program Data To VTL",
         .enabled = withConsole,
         .handler = [&app] { app.WriteToVtl(); }},
        {.menu = "&File"},
        {.menu = "&File",
         .text = "&Print\u2026",
         .shortcut = ctrl(Qt::Key_P),
         .name = "mnuPrint",
         .about = "Print the console sheet: one page per manual",
         .enabled = withConsole,
         .handler = [&window, &document] { PrintConsoleSheet(window, document); }},
        {.menu = "&File",
         .text = "Export as P&DF\u2026",
         .name = "mnuExportPdf",
         .about = "Save the console sheet as a PDF file: one page per manual",
         .enabled = withConsole,
         .handler = [&window, &document] { ExportConsoleSheet(window, document); }},
        {.menu = "&File"},
        {.menu = "&File", .text = "E&xit", .handler = [&window] { window.close(); }},
        // Not there yet: never enabled.
        {.menu = "&Edit",
         .text = "&Copy",
         .shortcut = ctrl(Qt::Key_C),
         .bitmap = "copy",
         .toolbarGap = true,
         .enabled = never},
        {.menu = "&Edit",
         .text = "&Paste",
         .shortcut = ctrl(Qt::Key_V),
         .bitmap = "paste",
         .enabled = never},
        {.menu = "&Options",
         .text = "&MIDI I/O Setup",
         .shortcut = ctrl(Qt::Key_M),
         .bitmap = "midi",
         .tooltip = "Setup MIDI Input and Output",
         .toolbarGap = true,
         .handler = [&app] { app.MidiSetup(); }},
        {.menu = "&Options"},
        {.menu = "&Options",
         .text = "&Verify after Write",
         .name = "mnuVerifyAfterWrite",
         .about = "After each write, read the VTL back and compare it with what was written",
         .checked = [&state] { return state.verifyAfterWrite; },
         .handler = [&state] { state.verifyAfterWrite = !state.verifyAfterWrite; }},
        {.menu = "&Help",
         .text = "&View VTLConfig Documentation",
         .handler = [&app] { app.ViewDocumentation(); }},
        {.menu = "&Help", .text = "&About Larchmont VTLConfig", .handler = [&app] { app.About(); }},
    };
}

} // namespace vtl
