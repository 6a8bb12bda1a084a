// Whole uses in demo mode: read, edit in the editors, write, read back, save, check the file;
// verify after write.

#include "editor/frm_main.h"
#include "link/transfer_controller.h"
#include "shell/application.h"
#include "shell/frm_choice.h"
#include "shell/frm_splash.h"
#include "shell/frm_status.h"
#include "sim/mcu_chain.h"
#include "tests/gui/app_test_support.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QJsonDocument>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

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

using vtl::test::Settle;
using vtl::test::TickUntil;

} // namespace

class DemoUseTest : public QObject {
    Q_OBJECT

    // Settings, backups, the single-instance socket and the files saved; the application
    // goes first.
    QString tmp_; // the temporary folder before any test changed TMPDIR
    std::unique_ptr<QTemporaryDir> home_;
    std::unique_ptr<vtl::Application> app_;
    QString saved_; // the name a file dialog is given
    QStringList messages_;
    QTimer answer_;

private slots:
    // A file dialog is given the name; every message box is kept and closed with Escape.
    void initTestCase() {
        tmp_ = QDir::tempPath();
        connect(&answer_, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* files = qobject_cast<QFileDialog*>(modal)) {
                files->selectFile(saved_);
                static_cast<QDialog*>(files)->accept(); // with the file dialog's own checks
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                messages_ << box->text();
                QTest::keyClick(box, Qt::Key_Escape);
            }
        });
        answer_.start(10);
    }

    // The application in demo mode after its first read, ticked by the test.
    void init() {
        app_.reset();
        home_.reset(); // each home beside the last, never inside it
        home_ = std::make_unique<QTemporaryDir>(tmp_ + QLatin1Char('/') +
                                                QCoreApplication::applicationName() + "-XXXXXX");
        vtl::test::UseScratchHome(home_->path());
        app_ = std::make_unique<vtl::Application>(vtl::test::DemoOptions());
        saved_ = home_->path() + QStringLiteral("/whole-use");
        messages_.clear();
        vtl::test::StartWithDemoRead(*app_);
    }

    void ReadEditWriteReadBackAndSave() {
        vtl::Application& app = *app_;
        QWidget& main = *app.Window();
        Edit(main, "Manual 2, piston 5",
             {"cboFunction=Hauptwerk/Program Change function", "cboProgramChange6=100",
              "cboMidiChannel6=9"});
        QStringList channels; // 2 and 7
        for (int i = 0; i < 16; ++i)
            channels << QStringLiteral("chkChannel%1=%2").arg(i).arg(i == 1 || i == 6);
        Edit(main, "Manual 3, keyboard", channels);
        Edit(main, "Manual 1, shoe", {"cboType0=Volume (MIDI Controller 7)", "cboMidiChannel0=12"});
        app.Link().StartWrite();
        QVERIFY(Settle(app));
        app.Link().StartRead();
        QVERIFY(Settle(app));
        QCOMPARE(app.Link().Transfer().Mode(), vtl::TransferMode::Reading);
        app.Files().SaveConfigurationFile(); // the console as read back
        QCOMPARE(messages_, QStringList{"Successfully saved to file: whole-use.vtl"});

        QProcess cli;
        cli.start(QStringLiteral(VTL_PROGRAM_FOLDER "/vtlconfig-cli"),
                  {"show", "--json", saved_ + ".vtl"});
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

    // Off, a write is not read back; on, the read-back is "Verified" in the status window, or,
    // when the MCU stored something else, the differences are told in words.
    void VerifyAfterWriteReadsBackAndTellsTheDifferences() {
        vtl::Application& app = *app_;
        auto* option = app.Window()->findChild<QAction*>("mnuVerifyAfterWrite");
        QVERIFY(option && !option->isChecked());
        const auto* statusText = app.Status().findChild<QPlainTextEdit*>("txtStatus");
        app.State().console.Piston(2, 4) = {
            .programNumber = 100, .midiChannel = 9, .functionType = 100, .functionGroup = 6};
        constexpr std::size_t kPiston5Function = 219; // image byte 220
        const struct {
            bool verify, changedByte;
        } passes[] = {{false, false}, {true, false}, {true, true}};
        for (const auto [verify, changedByte] : passes) {
            if (option->isChecked() != verify) option->trigger();
            app.Link().StartWrite();
            QVERIFY(TickUntil(app, [&] {
                const auto& sent = app.Link().Transfer().Progress();
                return app.Link().Transfer().Mode() == vtl::TransferMode::Reading ||
                       (!app.Status().isVisible() && sent.done == sent.total);
            }));
            app.Link().Tick(); // a read-back starts at the latest here
            QCOMPARE(app.Link().Transfer().Mode() == vtl::TransferMode::Reading, verify);
            if (!verify) continue;
            if (!changedByte) {
                QVERIFY(TickUntil(app, [&] {
                    return statusText->toPlainText().contains(
                        "Verified: the VTL holds what was written.");
                }));
                QVERIFY(Settle(app));
                continue;
            }
            vtl::Bytes held = app.Link().Session().SimulatedChain()->Program(2, 0);
            held[kPiston5Function] = 100; // program 101
            app.Link().Session().SimulatedChain()->StoreProgram(2, 0, held);
            QVERIFY(Settle(app));
            QTRY_COMPARE(messages_,
                         QStringList{"The VTL does not hold what was written:\n\nManual 2\n"
                                     "  Piston 5: the PC has \"Hauptwerk/Program Change "
                                     "function: program 100 on channel 9\", the VTL has "
                                     "\"Hauptwerk/Program Change function: program 101 on "
                                     "channel 9\"\n\nWrite it again, or load it from the VTL "
                                     "to see what it holds."});
            QCOMPARE(app.State().console.Piston(2, 4).programNumber, 100); // as written
        }
    }
};

VTL_APP_TEST_MAIN(DemoUseTest)
#include "demo_use_test.moc"
