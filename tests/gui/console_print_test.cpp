// File > Export as PDF…: the console sheet of the document's console, one page per manual, in
// the file the user names, proposed as the console file's name with .pdf beside it. (The menu
// items themselves are among the application's commands.)

#include "editor/console_document.h"
#include "editor/console_print.h"
#include "model/catalogue.h"
#include "model/config_file.h"
#include "model/console_model.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class ConsolePrintTest : public QObject {
    Q_OBJECT

private slots:
    void ExportWritesOnePagePerManual() {
        const vtl::FunctionCatalogue catalogue = vtl::BuildCatalogue();
        vtl::ConsoleModel console;
        vtl::ConsoleDocument document(console, catalogue);
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("three-manuals.vtl"));
        QVERIFY(QFile::copy(QStringLiteral(VTL_PROGRAM_FOLDER "/samples/three-manuals.vtl"), file));
        QVERIFY(vtl::LoadConfigFile(console, file.toStdString()));
        console.manualCount = 2; // the sheet follows the count, not the slots
        document.MarkLoaded(file);
        QWidget window;
        QString proposed;
        QTimer::singleShot(0, &window, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            proposed = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            QMetaObject::invokeMethod(dialog, "accept");
        });
        vtl::ExportConsoleSheet(window, document);
        QCOMPARE(proposed, QStringLiteral("three-manuals.pdf"));
        QFile pdf(folder.filePath(proposed));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.readAll().count("/Type /Page\n"), 2);
    }
};

QTEST_MAIN(ConsolePrintTest)
#include "console_print_test.moc"
