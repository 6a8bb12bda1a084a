#include "editor/console_print.h"

#include "editor/console_document.h"
#include "model/console_sheet.h"

#include <QDate>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

namespace vtl {
namespace {

QString SheetName(const ConsoleDocument& document) {
    const QString& path = document.FilePath();
    return path.isEmpty() ? QStringLiteral("Console read from the VTL")
                          : QFileInfo(path).fileName();
}

// The console file's name with .pdf, beside it.
QString ProposedPdf(const ConsoleDocument& document) {
    const QFileInfo file(document.FilePath());
    return file.fileName().isEmpty() ? QStringLiteral("VTL console.pdf")
                                     : file.dir().filePath(file.completeBaseName() + ".pdf");
}

// An A4 printer named after the console.
void SetUp(QPrinter& printer, const ConsoleDocument& document) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(SheetName(document));
    printer.setCreator(QStringLiteral("VTLConfig"));
}

// Prints the sheet; false when the printer could not start.
bool PrintSheet(QPrinter& printer, const ConsoleDocument& document) {
    QTextDocument sheet;
    sheet.setHtml(QString::fromStdString(
        ConsoleSheetHtml(document.Console(), document.Catalogue(), printer.docName().toStdString(),
                         QDate::currentDate().toString(Qt::ISODate).toStdString())));
    if (!printer.isValid()) return false;
    sheet.print(&printer);
    return printer.printerState() != QPrinter::Error;
}

} // namespace

void PrintConsoleSheet(QWidget& window, const ConsoleDocument& document) {
    QPrinter printer(QPrinter::HighResolution);
    SetUp(printer, document);
    // Where no printer is set up the dialog can only print to a file: propose one.
    if (printer.printerName().isEmpty()) printer.setOutputFileName(ProposedPdf(document));
    QPrintDialog dialog(&printer, &window);
    dialog.setWindowTitle(QStringLiteral("Print Console Sheet"));
    if (dialog.exec() != QDialog::Accepted || PrintSheet(printer, document)) return;
    QMessageBox::warning(&window, QStringLiteral("Print"),
                         QStringLiteral("The console sheet could not be printed."));
}

void ExportConsoleSheet(QWidget& window, const ConsoleDocument& document) {
    QString path =
        QFileDialog::getSaveFileName(&window, QStringLiteral("Export Console Sheet as PDF"),
                                     ProposedPdf(document), QStringLiteral("PDF file (*.pdf)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    QPrinter printer(QPrinter::HighResolution);
    SetUp(printer, document);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    if (!PrintSheet(printer, document) || !QFileInfo(path).size()) {
        QMessageBox::warning(&window, QStringLiteral("Export as PDF"),
                             QStringLiteral("The PDF file could not be written: ") + path);
    }
}

} // namespace vtl
