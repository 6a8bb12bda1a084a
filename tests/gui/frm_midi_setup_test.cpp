// The MIDI device setup dialog: list contents, the selection rules, OK and Cancel, the
// failure path and where it appears when the main window opens it.

#include "shell/app_state.h"
#include "shell/frm_midi_setup.h"
#include "tests/gui/dialogs_test.h"
#include "tests/gui/listed_ports.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

using vtl::test::ListedInput;
using vtl::test::ListedOutput;

const QString kOutPlaceholder = QStringLiteral("[Choose a MIDI out device]");
const QString kInPlaceholder = QStringLiteral("[Choose a MIDI in device]");
const QString kDefaultOutput = QString::fromLatin1(vtl::test::kDefaultOutputName);

std::vector<std::string> DeviceNames(const char* prefix, int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back(std::string(prefix) + " " + std::to_string(i));
    return names;
}

// A dialog over listed ports, with its message boxes and log lines kept.
struct SetupRig {
    SetupRig(std::vector<std::string> inputs, std::vector<std::string> outputs)
        : input(std::move(inputs)), output(std::move(outputs)),
          dialog(state, input, output, [this](const std::string& line) { log.push_back(line); }) {
        dialog.setMessageBox(
            [this](QWidget*, const vtl::MessageBoxText& message) { messages.push_back(message); });
    }

    QComboBox& in() { return *dialog.findChild<QComboBox*>(QStringLiteral("ComboMidiIn")); }
    QComboBox& out() { return *dialog.findChild<QComboBox*>(QStringLiteral("ComboMidiOut")); }
    static QStringList Entries(const QComboBox& list) {
        QStringList entries;
        for (int i = 0; i < list.count(); ++i)
            entries << list.itemText(i);
        return entries;
    }
    void click(const char* button) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
    }

    vtl::AppState state;
    ListedInput input;
    ListedOutput output;
    std::vector<std::string> log;
    std::vector<vtl::MessageBoxText> messages;
    vtl::frmMIDISetup dialog;
};

} // namespace

namespace {
// The devices and settings before OK, what is picked (-2: the preselection the settings made
// is left), and what OK stores: positions in the lists, whose first entry is a placeholder.
struct OkCase {
    int inDevices, storedIn, storedOut, pickIn, pickOut, midiIn, midiOut;
    QString inName, outName;
};
} // namespace

void DialogsTest::setupOkStoresPositionsAndNames_data() {
    QTest::addColumn<OkCase>("c");
    QTest::newRow("settings select their devices")
        << OkCase{2, 2, 3, -2, -2, 2, 3, "in 1", "out 1"};
    QTest::newRow("a new choice") << OkCase{2, 1, 1, 1, 2, 1, 2, "in 0", "out 0"};
    QTest::newRow("the default output has no name") << OkCase{2, 0, 1, -2, -2, 0, 1, "", ""};
    QTest::newRow("settings beyond the lists") << OkCase{2, 3, 4, -2, -2, 0, 0, "", ""};
    QTest::newRow("no inputs: -1 selects nothing") << OkCase{0, -1, -1, -2, -2, -1, 0, "", ""};
    QTest::newRow("no inputs: 1 selects the placeholder") << OkCase{0, 1, 0, -2, -2, 0, 0, "", ""};
}

void DialogsTest::setupOkStoresPositionsAndNames() {
    QFETCH(OkCase, c);
    SetupRig rig(DeviceNames("in", c.inDevices), DeviceNames("out", 2));
    rig.state.midi = {c.storedIn, c.storedOut};
    rig.state.midiSetupCancelled = true;
    rig.state.midiInName = rig.state.midiOutName = QStringLiteral("stale");

    rig.dialog.show();
    if (c.pickIn != -2) rig.in().setCurrentIndex(c.pickIn);
    if (c.pickOut != -2) rig.out().setCurrentIndex(c.pickOut);
    rig.click("cmdOK");

    QCOMPARE(rig.state.midi.midiInSetting, c.midiIn);
    QCOMPARE(rig.state.midi.midiOutSetting, c.midiOut);
    QCOMPARE(rig.state.midiInName, c.inName);
    QCOMPARE(rig.state.midiOutName, c.outName);
    QVERIFY(rig.state.midiConfigured);
    QVERIFY(!rig.state.midiSetupCancelled);
    QVERIFY(rig.dialog.isHidden());
}

// After a first OK, the modal dialog is shown again and new devices picked. OK stores them and
// keeps the lists for the next show; every way of cancelling keeps the first choice and lists
// the devices again at the next show.
void DialogsTest::setupSecondShowEndsWith() {
    for (const QString action : {"cmdOK", "cmdCancel", "Escape", "close"}) {
        const bool chosen = action == QLatin1String("cmdOK");
        SetupRig rig({"In A", "In B"}, {"Out A", "Out B"});
        rig.dialog.show();
        rig.in().setCurrentIndex(1);
        rig.out().setCurrentIndex(2);
        rig.click("cmdOK");
        QTimer::singleShot(0, &rig.dialog, [&] {
            rig.in().setCurrentIndex(2);
            rig.out().setCurrentIndex(3);
            if (action == QLatin1String("Escape"))
                QTest::keyClick(&rig.dialog, Qt::Key_Escape);
            else if (action == QLatin1String("close"))
                rig.dialog.close();
            else
                rig.click(action.toLatin1().constData());
        });

        QCOMPARE(rig.dialog.ShowModal(), chosen);
        QCOMPARE(rig.state.midi.midiInSetting, chosen ? 2 : 1);
        QCOMPARE(rig.state.midi.midiOutSetting, chosen ? 3 : 2);
        QCOMPARE(rig.state.midiInName, chosen ? "In B" : "In A");
        QCOMPARE(rig.state.midiOutName, chosen ? "Out B" : "Out A");
        QCOMPARE(rig.state.midiSetupCancelled, !chosen);
        QVERIFY(rig.state.midiConfigured);
        QVERIFY(rig.dialog.isHidden());

        rig.input.setNames({"In C"});
        rig.dialog.show();
        QCOMPARE(SetupRig::Entries(rig.in()), chosen ? QStringList({kInPlaceholder, "In A", "In B"})
                                                     : QStringList({kInPlaceholder, "In C"}));
        QCOMPARE(rig.in().currentIndex(), chosen ? 2 : 1);
    }
}

void DialogsTest::setupListsDevicesByName_data() {
    QTest::addColumn<bool>("output");
    QTest::addColumn<int>("lost"); // the device whose name cannot be read; -2 is none
    QTest::addColumn<QStringList>("outEntries");
    QTest::addColumn<QStringList>("inEntries");

    QTest::newRow("every name read")
        << true << -2 << QStringList({kOutPlaceholder, kDefaultOutput, "Out A", "Out B"})
        << QStringList({kInPlaceholder, "In A", "In B"});
    QTest::newRow("no default output")
        << true << -1 << QStringList({kOutPlaceholder}) << QStringList();
    QTest::newRow("output device 1 gone")
        << true << 1 << QStringList({kOutPlaceholder, kDefaultOutput, "Out A"}) << QStringList();
    QTest::newRow("input device 1 gone")
        << false << 1 << QStringList({kOutPlaceholder, kDefaultOutput, "Out A", "Out B"})
        << QStringList({kInPlaceholder, "In A"});
}

// A name that cannot be read ends the listing where it failed with the "no MIDI card"
// message: its list has no selection, nor has a list after it.
void DialogsTest::setupListsDevicesByName() {
    QFETCH(bool, output);
    QFETCH(int, lost);
    SetupRig rig({"In A", "In B"}, {"Out A", "Out B"});
    rig.state.midi = {1, 1};
    if (output)
        rig.output.lose(lost);
    else
        rig.input.lose(lost);

    rig.dialog.show();

    QTEST(SetupRig::Entries(rig.out()), "outEntries");
    QTEST(SetupRig::Entries(rig.in()), "inEntries");
    QCOMPARE(rig.out().currentIndex(), lost != -2 && output ? -1 : 1);
    QCOMPARE(rig.in().currentIndex(), lost != -2 ? -1 : 1);
    QVERIFY(rig.dialog.isVisible());
    if (lost == -2) {
        QVERIFY(rig.messages.empty());
        QVERIFY(rig.log.empty());
        return;
    }
    QCOMPARE(rig.messages.size(), std::size_t{1});
    QCOMPARE(rig.messages[0].caption, QStringLiteral("Larchmont VTLConfig"));
    QCOMPARE(
        rig.messages[0].text,
        QStringLiteral("MIDI I/O Error... you need to configure a MIDI card to use this program."));
    QCOMPARE(rig.log, std::vector<std::string>({"No MIDI Card present."}));
}

void DialogsTest::setupOpenedByMainWindowLandsOverIt() {
    SetupRig rig({"In A"}, {"Out A"});
    // Away from the middle of the screen, where the dialog would be otherwise.
    QWidget mainWindow;
    mainWindow.setGeometry(400, 350, 360, 240);
    rig.dialog.setWindows(&mainWindow, nullptr);

    rig.dialog.show();

    QVERIFY(mainWindow.frameGeometry().contains(rig.dialog.frameGeometry()));
}
