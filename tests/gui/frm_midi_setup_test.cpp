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
const QString kNoVirtualOutput = QStringLiteral("(no virtual output on this MIDI system)");

std::vector<std::string> DeviceNames(const char* prefix, int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back(std::string(prefix) + " " + std::to_string(i));
    return names;
}

// An output whose device -1 can be this program's own virtual port.
struct SetupOutput : ListedOutput {
    using ListedOutput::ListedOutput;
    void SelectDevice(int number) override {
        ListedOutput::SelectDevice(number);
        selected = number;
    }
    std::string DeviceName() override {
        return ownPort && selected == vtl::MidiOutput::kDefaultDevice ? "VTLConfig"
                                                                      : ListedOutput::DeviceName();
    }
    bool ownPort = false;
    int selected = 0;
};

// A dialog over listed ports, with its message boxes and log lines kept.
struct SetupRig {
    SetupRig(std::vector<std::string> inputs, std::vector<std::string> outputs)
        : input(std::move(inputs)), output(std::move(outputs)),
          dialog(state, input, output, [this](const std::string& line) { log.push_back(line); }) {
        dialog.SetMessageBox(
            [this](QWidget*, const vtl::MessageBoxText& message) { messages.push_back(message); });
    }

    QComboBox& In() { return *dialog.findChild<QComboBox*>(QStringLiteral("ComboMidiIn")); }
    QComboBox& Out() { return *dialog.findChild<QComboBox*>(QStringLiteral("ComboMidiOut")); }
    static QStringList Entries(const QComboBox& list) {
        QStringList entries;
        for (int i = 0; i < list.count(); ++i)
            entries << list.itemText(i);
        return entries;
    }
    void Click(const char* button) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
    }

    vtl::AppState state;
    ListedInput input;
    SetupOutput output;
    std::vector<std::string> log;
    std::vector<vtl::MessageBoxText> messages;
    vtl::MidiSetupDialog dialog;
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

void DialogsTest::SetupOkStoresPositionsAndNames_data() {
    QTest::addColumn<OkCase>("c");
    QTest::newRow("settings select their devices")
        << OkCase{2, 2, 3, -2, -2, 2, 3, "in 1", "out 1"};
    QTest::newRow("a new choice") << OkCase{2, 1, 1, 1, 2, 1, 2, "in 0", "out 0"};
    QTest::newRow("the default output has no name") << OkCase{2, 0, 1, -2, -2, 0, 1, "", ""};
    QTest::newRow("settings beyond the lists") << OkCase{2, 3, 4, -2, -2, 0, 0, "", ""};
    QTest::newRow("no inputs: -1 selects nothing") << OkCase{0, -1, -1, -2, -2, -1, 0, "", ""};
    QTest::newRow("no inputs: 1 selects the placeholder") << OkCase{0, 1, 0, -2, -2, 0, 0, "", ""};
}

void DialogsTest::SetupOkStoresPositionsAndNames() {
    QFETCH(OkCase, c);
    SetupRig rig(DeviceNames("in", c.inDevices), DeviceNames("out", 2));
    rig.state.midi = {c.storedIn, c.storedOut};
    rig.state.midiSetupCancelled = true;
    rig.state.midiInName = rig.state.midiOutName = QStringLiteral("stale");

    rig.dialog.show();
    if (c.pickIn != -2) rig.In().setCurrentIndex(c.pickIn);
    if (c.pickOut != -2) rig.Out().setCurrentIndex(c.pickOut);
    rig.Click("cmdOK");

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
void DialogsTest::SetupSecondShowEndsWith() {
    for (const QString action : {"cmdOK", "cmdCancel", "Escape", "close"}) {
        const bool chosen = action == QLatin1String("cmdOK");
        SetupRig rig({"In A", "In B"}, {"Out A", "Out B"});
        rig.dialog.show();
        rig.In().setCurrentIndex(1);
        rig.Out().setCurrentIndex(2);
        rig.Click("cmdOK");
        QTimer::singleShot(0, &rig.dialog, [&] {
            rig.In().setCurrentIndex(2);
            rig.Out().setCurrentIndex(3);
            if (action == QLatin1String("Escape"))
                QTest::keyClick(&rig.dialog, Qt::Key_Escape);
            else if (action == QLatin1String("close"))
                rig.dialog.close();
            else
                rig.Click(action.toLatin1().constData());
        });

        QCOMPARE(rig.dialog.ShowModal(), chosen);
        QCOMPARE(rig.state.midi.midiInSetting, chosen ? 2 : 1);
        QCOMPARE(rig.state.midi.midiOutSetting, chosen ? 3 : 2);
        QCOMPARE(rig.state.midiInName, chosen ? "In B" : "In A");
        QCOMPARE(rig.state.midiOutName, chosen ? "Out B" : "Out A");
        QCOMPARE(rig.state.midiSetupCancelled, !chosen);
        QVERIFY(rig.state.midiConfigured);
        QVERIFY(rig.dialog.isHidden());

        rig.input.SetNames({"In C"});
        rig.dialog.show();
        QCOMPARE(SetupRig::Entries(rig.In()), chosen ? QStringList({kInPlaceholder, "In A", "In B"})
                                                     : QStringList({kInPlaceholder, "In C"}));
        QCOMPARE(rig.In().currentIndex(), chosen ? 2 : 1);
    }
}

namespace {
// Output devices "Out A", "Out B" or fewer, and input devices "In A", "In B", with settings 1 and 1
// stored; a device whose name cannot be read (-2: none); what is listed and selected, and
// whether the "no MIDI card" message came.
struct ListCase {
    int outputs;
    bool ownPort; // device -1 is this program's virtual port
    int lostOut, lostIn;
    QStringList outEntries, inEntries;
    int outSelected, inSelected;
    bool failed;
};
} // namespace

void DialogsTest::SetupListsDevicesByName_data() {
    QTest::addColumn<ListCase>("c");
    const QStringList inputs{kInPlaceholder, "In A", "In B"};
    const QStringList outputs{kOutPlaceholder, kDefaultOutput, "Out A", "Out B"};
    const QString ownPort =
        QStringLiteral("VTLConfig (virtual output \u2014 connect it in your patchbay)");
    QTest::newRow("every name read") << ListCase{2, false, -2, -2, outputs, inputs, 1, 1, false};
    QTest::newRow("this program's virtual port") << ListCase{
        2, true, -2, -2, {kOutPlaceholder, ownPort, "Out A", "Out B"}, inputs, 1, 1, false};
    QTest::newRow("no virtual port: kept in place, not offered")
        << ListCase{2,      false, -1, -2,   {kOutPlaceholder, kNoVirtualOutput, "Out A", "Out B"},
                    inputs, 0,     1,  false};
    QTest::newRow("no MIDI system")
        << ListCase{0, false, -1, -2, {kOutPlaceholder}, {}, -1, -1, true};
    QTest::newRow("output device 1 gone")
        << ListCase{2, false, 1, -2, {kOutPlaceholder, kDefaultOutput, "Out A"}, {}, -1, -1, true};
    QTest::newRow("input device 1 gone")
        << ListCase{2, false, -2, 1, outputs, {kInPlaceholder, "In A"}, 1, -1, true};
}

// A name that cannot be read ends the listing where it failed with the "no MIDI card"
// message: its list has no selection, nor has a list after it. So does an output with neither
// devices nor a virtual port.
void DialogsTest::SetupListsDevicesByName() {
    QFETCH(ListCase, c);
    std::vector<std::string> outputs{"Out A", "Out B"};
    outputs.resize(static_cast<std::size_t>(c.outputs));
    SetupRig rig({"In A", "In B"}, outputs);
    rig.state.midi = {1, 1};
    rig.output.ownPort = c.ownPort;
    if (c.lostOut != -2) rig.output.Lose(c.lostOut);
    if (c.lostIn != -2) rig.input.Lose(c.lostIn);

    rig.dialog.show();

    QCOMPARE(SetupRig::Entries(rig.Out()), c.outEntries);
    QCOMPARE(SetupRig::Entries(rig.In()), c.inEntries);
    QCOMPARE(rig.Out().currentIndex(), c.outSelected);
    QCOMPARE(rig.In().currentIndex(), c.inSelected);
    if (c.outEntries.size() > 1) {
        QCOMPARE(rig.Out().model()->index(1, 0).flags().testFlag(Qt::ItemIsEnabled),
                 c.outEntries[1] != kNoVirtualOutput);
    }
    QVERIFY(rig.dialog.isVisible());
    if (!c.failed) {
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

void DialogsTest::SetupOpenedByMainWindowLandsOverIt() {
    SetupRig rig({"In A"}, {"Out A"});
    // Away from the middle of the screen, where the dialog would be otherwise.
    QWidget mainWindow;
    mainWindow.setGeometry(400, 350, 360, 240);
    rig.dialog.SetWindows(&mainWindow, nullptr);

    rig.dialog.show();

    QVERIFY(mainWindow.frameGeometry().contains(rig.dialog.frameGeometry()));
}
