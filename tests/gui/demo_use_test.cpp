// One whole use in demo mode: read, edit in the editors, write, read back, save, check the file.

#include "editor/frm_main.h"
#include "link/transfer_controller.h"
#include "shell/application.h"
#include "shell/frm_choice.h"
#include "shell/frm_splash.h"
#include "shell/frm_status.h"

#include <QComboBox>
#include <QFileDialog>
#include <QJsonDocument>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Clicks the console element of that accessible name; in the editor it opens, sets each
// "list=entry" or "button=1|0" (checked or not), then presses Save.
void Edit(QWidget& main, const QString& name, const QStringList& settings) {
    QWidget* element = nullptr;
    for (QWidget* w : main.findChildren<QWidget*>())
        if (w->accessibleName() == name) element = w;
    QVERIFY2(element, qPrintable(name));
    QTimer::singleShot(0, &main, [settings] {
        QWidget& editor = *QApplication::activeModalWidget();
        for (const QString& setting : settings) {
            const QString child = setting.section('=', 0, 0), value = setting.section('=', 1);
            if (auto* list = editor.findChild<QComboBox*>(child))
                list->setCurrentIndex(list->findText(value));
            else if (auto* button = editor.findChild<QPushButton*>(child);
                     button->isChecked() != (value == QLatin1String("1")))
                QTest::mouseClick(button, Qt::LeftButton);
        }
        QTest::mouseClick(editor.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    QTest::mouseClick(element, Qt::LeftButton);
}

// Ticks until the transfer has finished and its status window has closed.
bool Settle(vtl::Application& app) {
    for (int i = 0; i < 5000; ++i, app.Tick())
        if (app.transfer().linkState() == vtl::LinkState::Finishing && !app.status().isVisible())
            return true;
    return false;
}

} // namespace

class DemoUseTest : public QObject {
    Q_OBJECT

private slots:
    void readEditWriteReadBackAndSave() {
        QTemporaryDir home; // settings, backups, the single-instance socket and the file saved
        qputenv("HOME", home.path().toUtf8());
        qputenv("TMPDIR", home.path().toUtf8());
        qunsetenv("XDG_CONFIG_HOME");
        vtl::Application app(
            {.demo = true, .api = {}, .tracePath = {}, .programFolder = VTL_PROGRAM_FOLDER});
        // The file dialog is given the name; every message box is kept and closed with Escape.
        const QString saved = home.path() + QStringLiteral("/whole-use");
        QStringList messages;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* files = qobject_cast<QFileDialog*>(modal)) {
                files->selectFile(saved);
                static_cast<QDialog*>(files)->accept(); // with the file dialog's own checks
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                messages << box->text();
                QTest::keyClick(box, Qt::Key_Escape);
            }
        });
        answer.start(10);

        QVERIFY(app.Start());
        QTest::mouseClick(&app.splash(), Qt::LeftButton);
        QTest::mouseClick(app.choice().findChild<QWidget*>("lblWizard"), Qt::LeftButton);
        app.mainWindow()->stopTimer();
        QTRY_COMPARE(app.transfer().transferMode(), vtl::TransferMode::Reading);
        QVERIFY(Settle(app));
        QWidget& main = *app.mainWindow();
        Edit(main, "Manual 2, piston 5",
             {"cboFunction=Hauptwerk/Program Change function", "cboProgramChange6=100",
              "cboMidiChannel6=9"});
        QStringList channels; // 2 and 7
        for (int i = 0; i < 16; ++i)
            channels << QStringLiteral("chkChannel%1=%2").arg(i).arg(i == 1 || i == 6);
        Edit(main, "Manual 3, keyboard", channels);
        Edit(main, "Manual 1, shoe", {"cboType0=Volume (MIDI Controller 7)", "cboMidiChannel0=12"});
        app.WriteToVtl();
        QVERIFY(Settle(app));
        app.ReadFromVtl();
        QVERIFY(Settle(app));
        QCOMPARE(app.transfer().transferMode(), vtl::TransferMode::Reading);
        app.SaveConfigurationFile(); // the console as read back
        QCOMPARE(messages, QStringList{"Successfully saved to file: whole-use.vtl"});

        QProcess cli;
        cli.start(QStringLiteral(VTL_PROGRAM_FOLDER "/vtlconfig-cli"),
                  {"show", "--json", saved + ".vtl"});
        QVERIFY(cli.waitForFinished(20000));
        const QJsonValue manuals = QJsonDocument::fromJson(cli.readAllStandardOutput())["manuals"];
        const QJsonValue piston = manuals[1]["pistons"][4], shoe = manuals[0]["shoe"];
        const QList<int> held{
            piston["functionGroup"].toInt(), piston["programNumber"].toInt(),
            piston["midiChannel"].toInt(),   manuals[2]["divisionChannels"].toInt(),
            shoe["expressionOn"].toBool(),   shoe["volumeControl"].toBool(),
            shoe["midiChannel"].toInt()};
        QCOMPARE(held, (QList<int>{6, 100, 9, 0b1000010, true, true, 11})); // shoe channel 0-based
    }
};

QTEST_MAIN(DemoUseTest)
#include "demo_use_test.moc"
