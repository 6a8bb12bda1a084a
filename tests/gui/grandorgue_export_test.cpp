// File > Export for GrandOrgue…: the window maps a console onto an organ file written here, a
// row per keyboard, shoe and general with its target in a drop-down, lists what fits nowhere,
// and writes the settings file the user names with the targets the user chose.

#include "editor/frm_grandorgue_export.h"
#include "grandorgue/settings_place.h"
#include "model/catalogue.h"
#include "model/file_path.h"

#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Pedal, Great and Swell, one enclosure and one general, in ISO-8859-1 as the demo organ is.
constexpr char kOrgan[] = "[Organ]\r\nChurchName=St. M\xE4rien\r\nNumberOfManuals=2\r\n"
                          "HasPedals=Y\r\nNumberOfEnclosures=1\r\nNumberOfGenerals=1\r\n"
                          "[Manual000]\r\nName=Pedal\r\n[Manual001]\r\nName=Great\r\n"
                          "[Manual002]\r\nName=Swell\r\n[Enclosure001]\r\nName=Swell box\r\n"
                          "[General001]\r\nName=Tutti\r\n";

vtl::ConsoleModel Console() {
    vtl::ConsoleModel console;
    console.manualCount = 2;
    console.Channels(1) = 0x0009;
    console.Channels(2) = 0x0002;
    console.Shoe(1) = vtl::ShoeInfo{5, false, true};
    console.Piston(1, 10) = vtl::PistonInfo{1, 16, 0, vtl::kProgramChangeGroup};
    console.Piston(2, 0) = vtl::PistonInfo{60, 1, 59, vtl::kProgramChangeGroup};
    return console;
}

QStringList Rows(const QTableWidget& table) {
    QStringList rows;
    for (int row = 0; row < table.rowCount(); ++row) {
        rows << table.item(row, 0)->text() + QStringLiteral(" → ") +
                    qobject_cast<QComboBox*>(table.cellWidget(row, 1))->currentText();
    }
    return rows;
}

// The test's organ file in the folder; empty when it cannot be written.
QString WriteOrgan(const QTemporaryDir& folder) {
    const QString organ = folder.filePath(QStringLiteral("test.organ"));
    QFile file(organ);
    if (!file.open(QIODevice::WriteOnly) || file.write(kOrgan) != qint64(sizeof kOrgan) - 1)
        return {};
    return organ;
}

} // namespace

class GrandOrgueExportTest : public QObject {
    Q_OBJECT

private slots:
    void MapsChangesAndWrites() {
        QTemporaryDir folder;
        const QString organ = WriteOrgan(folder);
        QVERIFY(!organ.isEmpty());
        const vtl::ConsoleModel console = Console();
        vtl::GrandOrgueExportWindow form(console, nullptr);
        form.OpenOrgan(organ);
        QCOMPARE(form.findChild<QLabel*>(QStringLiteral("lblOrganName"))->text(),
                 QStringLiteral("St. Märien"));
        auto* table = form.findChild<QTableWidget*>(QStringLiteral("tblMapping"));
        QCOMPARE(Rows(*table),
                 QStringList({"Manual 1, keyboard, channels 1, 4 → Great",
                              "Manual 2, keyboard, channels 2 → Swell",
                              "Manual 1, shoe, Expression on channel 6 → Swell box",
                              "Manual 1, piston 11, program 1 on channel 16 → General 1 (Tutti)"}));
        auto* unmapped = form.findChild<QListWidget*>(QStringLiteral("lstUnmapped"));
        QCOMPARE(unmapped->count(), 1);
        QCOMPARE(unmapped->item(0)->text(),
                 QStringLiteral("Manual 2, piston 1, program 60 on channel 1: the organ has 1 "
                                "generals and GrandOrgue 50 programmable ones"));
        // The default is the file GrandOrgue reads for this organ, in its data folder.
        auto* destination = form.findChild<QLineEdit*>(QStringLiteral("txtDestination"));
        const std::string hash =
            vtl::OrganHash(vtl::OrganFileIdentity(vtl::PathFromUtf8(
                               QFileInfo(organ).absoluteFilePath().toStdString())),
                           vtl::HostWideText());
        QVERIFY(destination->text().startsWith(QDir::homePath()));
        QVERIFY(destination->text().endsWith(QString::fromStdString(hash) + "-0.cmb"));

        // The Swell keyboard plays the Pedal, the piston GrandOrgue's first programmable general.
        QTest::keyClick(form.findChild<QComboBox*>(QStringLiteral("cboTarget2")), Qt::Key_Home);
        QTest::keyClick(form.findChild<QComboBox*>(QStringLiteral("cboTarget4")), Qt::Key_Down);
        QCOMPARE(Rows(*table)[1], QStringLiteral("Manual 2, keyboard, channels 2 → Pedal"));
        QCOMPARE(Rows(*table)[3], QStringLiteral("Manual 1, piston 11, program 1 on channel 16 → "
                                                 "Setter general 1"));
        form.findChild<QLineEdit*>(QStringLiteral("txtDevice"))->setText(QStringLiteral("VTL"));
        const QString written = folder.filePath(QStringLiteral("settings.cmb"));
        destination->setText(written);
        QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("cmdExport")),
                          Qt::LeftButton);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QFile settings(written);
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QCOMPARE(settings.readAll(),
                 QByteArray("\xEF\xBB\xBF; GrandOrgue 3.9 MIDI settings, written by VTLConfig from "
                            "the console's configuration\n\n[Organ]\nChurchName=St. M\xC3\xA4rien\n"
                            "\n[Manual001]\nNumberOfMIDIEvents=2\n"
                            "MIDIDevice001=VTL\nMIDIEventType001=Note\nMIDIChannel001=1\n"
                            "MIDIKeyShift001=0\nMIDIDevice002=VTL\nMIDIEventType002=Note\n"
                            "MIDIChannel002=4\nMIDIKeyShift002=0\n"
                            "\n[Manual000]\nNumberOfMIDIEvents=1\nMIDIDevice001=VTL\n"
                            "MIDIEventType001=Note\nMIDIChannel001=2\nMIDIKeyShift001=0\n"
                            "\n[Enclosure001]\nNumberOfMIDIEvents=1\nMIDIDevice001=VTL\n"
                            "MIDIEventType001=ControlChange\nMIDIChannel001=6\nMIDIKey001=11\n"
                            "MIDILowerLimit001=0\nMIDIUpperLimit001=127\n"
                            "\n[SetterGeneral0]\nNumberOfMIDIEvents=1\nMIDIDevice001=VTL\n"
                            "MIDIEventType001=ProgramChange\nMIDIChannel001=16\nMIDIKey001=1\n"));
    }

    void SaysWhatItCannotRead() {
        const vtl::ConsoleModel console = Console();
        vtl::GrandOrgueExportWindow form(console, nullptr);
        form.OpenOrgan(QStringLiteral("missing.organ"));
        QVERIFY(form.findChild<QLabel*>(QStringLiteral("lblMessage"))
                    ->text()
                    .contains("missing.organ"));
        QCOMPARE(form.findChild<QTableWidget*>(QStringLiteral("tblMapping"))->rowCount(), 0);
        QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("cmdExport")),
                          Qt::LeftButton);
        QCOMPARE(form.findChild<QLabel*>(QStringLiteral("lblMessage"))->text(),
                 QStringLiteral("Choose the organ first."));
    }

    // Every control a user can act on is named for a screen reader and for the manual.
    void EveryControlIsNamed() {
        QTemporaryDir folder;
        const QString organ = WriteOrgan(folder);
        QVERIFY(!organ.isEmpty());
        const vtl::ConsoleModel console = Console();
        vtl::GrandOrgueExportWindow form(console, nullptr);
        form.OpenOrgan(organ);
        for (QWidget* widget : form.findChildren<QWidget*>()) {
            if (widget->focusPolicy() == Qt::NoFocus || !widget->isVisibleTo(&form)) continue;
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            QVERIFY2(accessible && !accessible->text(QAccessible::Name).isEmpty(),
                     qPrintable(widget->metaObject()->className()));
        }
    }
};

QTEST_MAIN(GrandOrgueExportTest)
#include "grandorgue_export_test.moc"
