// File > Export as PDF…: the console sheet of the console in memory, one page per manual, in
// the file the user names, proposed as the console file's name with .pdf beside it.

#include "editor/frm_main.h"
#include "model/catalogue.h"
#include "model/config_file.h"
#include "model/console_model.h"
#include "tests/gui/no_actions.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class ConsolePrintTest : public QObject {
    Q_OBJECT

private slots:
    void exportWritesOnePagePerManual() {
        NoActions actions;
        const vtl::FunctionCatalogue catalogue = vtl::BuildCatalogue();
        vtl::ConsoleModel console;
        vtl::frmMain main(actions, console, catalogue, QStringLiteral(VTL_PROGRAM_FOLDER));
        auto* exportPdf = main.findChild<QAction*>(QStringLiteral("mnuExportPdf"));
        QVERIFY(!exportPdf->isEnabled()); // nothing to print before a console is there
        QCOMPARE(main.findChild<QAction*>(QStringLiteral("mnuPrint"))->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_P));

        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("three-manuals.vtl"));
        QVERIFY(QFile::copy(QStringLiteral(VTL_PROGRAM_FOLDER "/samples/three-manuals.vtl"), file));
        QVERIFY(vtl::LoadConfigFile(console, file.toStdString()));
        console.manualCount = 2; // the sheet follows the count, not the slots
        main.setWindowFilePath(file);
        main.SetCommandsDataLoaded();
        QString proposed;
        QTimer::singleShot(0, &main, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            proposed = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            QMetaObject::invokeMethod(dialog, "accept");
        });
        exportPdf->trigger();
        QCOMPARE(proposed, QStringLiteral("three-manuals.pdf"));
        QFile pdf(folder.filePath(proposed));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.readAll().count("/Type /Page\n"), 2);
    }
};

QTEST_MAIN(ConsolePrintTest)
#include "console_print_test.moc"
