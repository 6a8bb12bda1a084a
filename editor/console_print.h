#pragma once
// File > Print… and Export as PDF…: the console sheet of the document's console, one A4 page
// per manual, on a printer or in a PDF file. The sheet is headed with the name of the
// document's file (none: a console read from the VTL) and today's date.

class QWidget;

namespace vtl {

class ConsoleDocument;

// Asks for a printer over the window and prints the sheet there.
void PrintConsoleSheet(QWidget& window, const ConsoleDocument& document);
// Asks for a file name, proposing the console file's with .pdf beside it, and writes the sheet.
void ExportConsoleSheet(QWidget& window, const ConsoleDocument& document);

} // namespace vtl
