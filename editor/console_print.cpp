#include "editor/console_print.h"

#include "model/console_sheet.h"

#include <QAction>
#include <QDate>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

namespace vtl {
namespace {

QString SheetName(const QWidget& window) {
    const QString path = window.windowFilePath();
    return path.isEmpty() ? QStringLiteral("Console read from the VTL")
                          : QFileInfo(path).fileName();
}

// The console file's name with .pdf, beside it.
QString ProposedPdf(const QWidget& window) {
    const QFileInfo file(window.windowFilePath());
    return file.fileName().isEmpty() ? QStringLiteral("VTL console.pdf")
                                     : file.dir().filePath(file.completeBaseName() + ".pdf");
}

// An A4 printer named after the console.
void SetUp(QPrinter& printer, const QWidget& window) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(SheetName(window));
    printer.setCreator(QStringLiteral("VTLConfig"));
}

// Prints the sheet; false when the printer could not start.
bool PrintSheet(QPrinter& printer, const ConsoleModel& console,
                const FunctionCatalogue& catalogue) {
    QTextDocument sheet;
    sheet.setHtml(QString::fromStdString(
        ConsoleSheetHtml(console, catalogue, printer.docName().toStdString(),
                         QDate::currentDate().toString(Qt::ISODate).toStdString())));
    if (!printer.isValid()) return false;
    sheet.print(&printer);
    return printer.printerState() != QPrinter::Error;
}

void Print(QWidget& window, const ConsoleModel& console, const FunctionCatalogue& catalogue) {
    QPrinter printer(QPrinter::HighResolution);
    SetUp(printer, window);
    // Where no printer is set up the dialog can only print to a file: propose one.
    if (printer.printerName().isEmpty()) printer.setOutputFileName(ProposedPdf(window));
    QPrintDialog dialog(&printer, &window);
    dialog.setWindowTitle(QStringLiteral("Print Console Sheet"));
    if (dialog.exec() != QDialog::Accepted || PrintSheet(printer, console, catalogue)) return;
    QMessageBox::warning(&window, QStringLiteral("Print"),
                         QStringLiteral("The console sheet could not be printed."));
}

void ExportPdf(QWidget& window, const ConsoleModel& console, const FunctionCatalogue& catalogue) {
    QString path =
        QFileDialog::getSaveFileName(&window, QStringLiteral("Export Console Sheet as PDF"),
                                     ProposedPdf(window), QStringLiteral("PDF file (*.pdf)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    QPrinter printer(QPrinter::HighResolution);
    SetUp(printer, window);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    if (!PrintSheet(printer, console, catalogue) || !QFileInfo(path).size()) {
        QMessageBox::warning(&window, QStringLiteral("Export as PDF"),
                             QStringLiteral("The PDF file could not be written: ") + path);
    }
}

} // namespace

void AddPrintItems(QMenu& menu, QWidget& window, const ConsoleModel& console,
                   const FunctionCatalogue& catalogue, const QAction& enabledLike) {
    const struct {
        const char* name;
        const char* caption;
        const char* description;
        QKeySequence shortcut;
        void (*act)(QWidget&, const ConsoleModel&, const FunctionCatalogue&);
    } items[] = {
        {"mnuPrint", "&Print\u2026", "Print the console sheet: one page per manual",
         QKeySequence(Qt::CTRL | Qt::Key_P), &Print},
        {"mnuExportPdf",
         "Export as P&DF\u2026",
         "Save the console sheet as a PDF file: one page per manual",
         {},
         &ExportPdf},
    };
    for (const auto& item : items) {
        QAction* action = menu.addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        action->setShortcut(item.shortcut);
        // A screen reader names the item by its text and describes it by this.
        action->setWhatsThis(QString::fromLatin1(item.description));
        action->setStatusTip(action->whatsThis());
        action->setEnabled(enabledLike.isEnabled());
        QObject::connect(&enabledLike, &QAction::changed, action,
                         [action, &enabledLike] { action->setEnabled(enabledLike.isEnabled()); });
        QObject::connect(
            action, &QAction::triggered, &window,
            [&window, &console, &catalogue, act = item.act] { act(window, console, catalogue); });
    }
}

} // namespace vtl
