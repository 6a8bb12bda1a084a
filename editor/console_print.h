#pragma once
// File > Print… and Export as PDF…: the console sheet of the console in memory, one A4 page
// per manual, on a printer or in a PDF file.

class QAction;
class QMenu;
class QWidget;

namespace vtl {

struct ConsoleModel;
struct FunctionCatalogue;

// Adds both items to the menu. The sheet is headed with the file name of the window's
// windowFilePath (empty: a console read from the VTL) and today's date; the items are
// enabled while `enabledLike` is, since printing needs a console as saving does.
void AddPrintItems(QMenu& menu, QWidget& window, const ConsoleModel& console,
                   const FunctionCatalogue& catalogue, const QAction& enabledLike);

} // namespace vtl
