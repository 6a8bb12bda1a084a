#include "shell/main_commands.h"

#include "editor/check_marks.h"
#include "editor/check_window.h"
#include "editor/console_document.h"
#include "editor/console_print.h"
#include "editor/frm_grandorgue_export.h"
#include "editor/frm_main.h"
#include "editor/write_question.h"
#include "shell/application.h"
#include "shell/console_files.h"
#include "shell/frm_midi_setup.h"
#include "shell/link_controller.h"
#include "shell/live_console.h"
#include "shell/open_document.h"
#include "shell/start_flow.h"

namespace vtl {
namespace {

QKeySequence Ctrl(Qt::Key key) {
    return QKeySequence(Qt::CTRL | key);
}

std::vector<Command> FileCommands(Application& app) {
    ConsoleDocument& document = app.Document();
    ConsoleFiles& files = app.Files();
    LinkController& link = app.Link();
    QWidget& window = *app.Window();
    // Saving, printing and writing need a console.
    const auto withConsole = [&document] { return document.HasConsole(); };
    return {
        {.menu = "&File",
         .text = "&Open Program Data File",
         .shortcut = Ctrl(Qt::Key_O),
         .bitmap = "load",
         .tooltip = "Open VTL Configuration File",
         .handler = [&files] { files.LoadConfigurationFile(); }},
        {.menu = "&File",
         .text = "&Save Program Data File",
         .shortcut = Ctrl(Qt::Key_S),
         .bitmap = "save",
         .tooltip = "Save VTL Configuration File",
         .enabled = withConsole,
         .handler = [&files] { files.SaveConfigurationFile(); }},
        {.menu = "&File",
         .text = "&Load Program Data from VTL",
         .shortcut = Ctrl(Qt::Key_L),
         .bitmap = "loado",
         .tooltip = "Load Program Data From VTL",
         .toolbarGap = true,
         .handler = [&link] { link.StartRead(); }},
        {.menu = "&File",
         .text = "&Write Program Data to VTL",
         .shortcut = Ctrl(Qt::Key_W),
         .bitmap = "write",
         .tooltip = "Write Program Data To VTL",
         .enabled = withConsole,
         .handler =
             [&app, &link, &window] {
                 if (MayWrite(window, app.Check().Findings())) link.StartWrite();
             }},
        {.menu = "&File"},
        {.menu = "&File",
         .text = "&Print\u2026",
         .shortcut = Ctrl(Qt::Key_P),
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
        {.menu = "&File",
         .text = "Export for &GrandOrgue\u2026",
         .name = "mnuExportGrandOrgue",
         .about = "Write GrandOrgue's MIDI settings for an organ, so that it plays from this "
                  "console",
         .enabled = withConsole,
         .handler = [&window, &document] { ExportForGrandOrgue(window, document); }},
        {.menu = "&File"},
        {.menu = "&File", .text = "E&xit", .handler = [&window] { window.close(); }},
    };
}

} // namespace

std::vector<Command> MainCommands(Application& app) {
    AppState& state = app.State();
    QWidget& window = *app.Window();
    StartFlow& flow = app.Flow();
    LiveConsole& live = app.Live();
    const auto never = [] { return false; };
    std::vector<Command> rows = FileCommands(app);
    rows.insert(
        rows.end(),
        {
            // Not there yet: never enabled.
            {.menu = "&Edit",
             .text = "&Copy",
             .shortcut = Ctrl(Qt::Key_C),
             .bitmap = "copy",
             .toolbarGap = true,
             .enabled = never},
            {.menu = "&Edit",
             .text = "&Paste",
             .shortcut = Ctrl(Qt::Key_V),
             .bitmap = "paste",
             .enabled = never},
            {.menu = "&View",
             .text = "Console &Check",
             .shortcut = QKeySequence(Qt::Key_F7),
             .name = "mnuConsoleCheck",
             .about = "List the settings the organ cannot tell apart or never hears",
             .handler = [&app] { app.CheckList().Bring(); }},
            {.menu = "&Options",
             .text = "&MIDI I/O Setup",
             .shortcut = Ctrl(Qt::Key_M),
             .bitmap = "midi",
             .tooltip = "Setup MIDI Input and Output",
             .toolbarGap = true,
             .handler = [&app] { app.MidiSetup().ShowModal(); }},
            {.menu = "&Options"},
            {.menu = "&Options",
             .text = "&Verify after Write",
             .name = "mnuVerifyAfterWrite",
             .about = "After each write, read the VTL back and compare it with what was written",
             .checked = [&state] { return state.verifyAfterWrite; },
             .handler = [&state] { state.verifyAfterWrite = !state.verifyAfterWrite; }},
            {.menu = "&Options",
             .text = "&Live Console",
             .shortcut = Ctrl(Qt::Key_K),
             .bitmap = "live",
             .tooltip = "Live Console: See What the Console Sends",
             .toolbarGap = true,
             .name = "mnuLiveConsole",
             .about = "Show each key, piston and shoe the console sends in the picture and in "
                      "a log",
             .checked = [&live] { return live.IsOn(); },
             .handler = [&live] { live.SetOn(!live.IsOn()); }},
            {.menu = "&Help",
             .text = "&View VTLConfig Documentation",
             .handler =
                 [&state, &window] {
                     OpenDocument(state.programFolder +
                                      QStringLiteral("/Documentation/VTL Manual.htm"),
                                  &window);
                 }},
            {.menu = "&Help",
             .text = "&About Larchmont VTLConfig",
             .handler = [&flow] { flow.About(); }},
        });
    return rows;
}

} // namespace vtl
