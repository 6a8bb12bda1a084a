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

void DialogsTest::setupListsDevicesByName() {
    SetupRig rig({"In A", "In B"}, {"Out A", "Out B"});
    rig.dialog.show();

    QCOMPARE(SetupRig::Entries(rig.out()),
             QStringList({kOutPlaceholder, kDefaultOutput, "Out A", "Out B"}));
    QCOMPARE(SetupRig::Entries(rig.in()), QStringList({kInPlaceholder, "In A", "In B"}));
    QCOMPARE(rig.output.calls, std::vector<std::string>({"select -1", "select 0", "select 1"}));
    QCOMPARE(rig.input.calls, std::vector<std::string>({"select 0", "select 1"}));
    QVERIFY(rig.messages.empty());
    QVERIFY(rig.log.empty());
}

void DialogsTest::setupSelectsStoredDevice_data() {
    QTest::addColumn<bool>("output");
    QTest::addColumn<int>("devices");
    QTest::addColumn<int>("setting");
    QTest::addColumn<int>("selected");

    QTest::newRow("out 1 selects the default output") << true << 2 << 1 << 1;
    QTest::newRow("out 3 selects device 1") << true << 2 << 3 << 3;
    QTest::newRow("out beyond the entries selects the placeholder") << true << 2 << 4 << 0;
    QTest::newRow("out 0 selects the placeholder") << true << 2 << 0 << 0;
    QTest::newRow("out -1 selects the placeholder") << true << 0 << -1 << 0;
    QTest::newRow("in 2 selects device 1") << false << 2 << 2 << 2;
    QTest::newRow("in beyond the entries selects the placeholder") << false << 2 << 3 << 0;
    QTest::newRow("in -1 with devices selects the placeholder") << false << 2 << -1 << 0;
    QTest::newRow("in -1 without devices selects nothing") << false << 0 << -1 << -1;
    QTest::newRow("in 1 without devices selects the placeholder") << false << 0 << 1 << 0;
}

void DialogsTest::setupSelectsStoredDevice() {
    QFETCH(bool, output);
    QFETCH(int, devices);
    QFETCH(int, setting);
    QFETCH(int, selected);
    SetupRig rig(DeviceNames("in", devices), DeviceNames("out", devices));
    rig.state.midi = {setting, setting};

    rig.dialog.show();

    QCOMPARE((output ? rig.out() : rig.in()).currentIndex(), selected);
}

namespace {
// The devices and settings before OK, what is picked (-2: the preselection is left), and what
// OK stores.
struct OkCase {
    int inDevices, storedIn, storedOut, pickIn, pickOut, midiIn, midiOut;
    QString inName, outName;
};
} // namespace

void DialogsTest::setupOkStoresPositionsAndNames_data() {
    QTest::addColumn<OkCase>("c");
    QTest::newRow("unchanged re-stores the preselection")
        << OkCase{2, 2, 3, -2, -2, 2, 3, "in 1", "out 1"};
    QTest::newRow("a new choice") << OkCase{2, 1, 1, 1, 2, 1, 2, "in 0", "out 0"};
    QTest::newRow("the default output has no name") << OkCase{2, 0, 0, -2, 1, 0, 1, "", ""};
    QTest::newRow("nothing selected stores -1") << OkCase{0, -1, 0, -2, -2, -1, 0, "", ""};
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

void DialogsTest::setupOkKeepsListsForNextShow() {
    SetupRig rig({"In A", "In B"}, {"Out A"});
    rig.dialog.show();
    rig.in().setCurrentIndex(2);
    rig.click("cmdOK");
    rig.input.setNames({"In C"});
    rig.input.calls.clear();

    rig.dialog.show();

    QVERIFY(rig.dialog.isLoaded());
    QVERIFY(rig.input.calls.empty());
    QCOMPARE(SetupRig::Entries(rig.in()), QStringList({kInPlaceholder, "In A", "In B"}));
    QCOMPARE(rig.in().currentIndex(), 2);
}

void DialogsTest::setupCancelKeepsSettingsAndReloadsNextShow() {
    SetupRig rig({"In A", "In B"}, {"Out A", "Out B"});
    rig.dialog.show();
    rig.in().setCurrentIndex(1);
    rig.out().setCurrentIndex(2);
    rig.click("cmdOK");
    rig.dialog.show();
    rig.in().setCurrentIndex(2);
    rig.out().setCurrentIndex(3);

    rig.click("cmdCancel");

    QCOMPARE(rig.state.midi.midiInSetting, 1);
    QCOMPARE(rig.state.midi.midiOutSetting, 2);
    QCOMPARE(rig.state.midiInName, QStringLiteral("In A"));
    QCOMPARE(rig.state.midiOutName, QStringLiteral("Out A"));
    QVERIFY(rig.state.midiSetupCancelled);
    QVERIFY(rig.state.midiConfigured);
    QVERIFY(rig.dialog.isHidden());
    QVERIFY(!rig.dialog.isLoaded());

    rig.input.setNames({"In C"});
    rig.dialog.show();

    QCOMPARE(SetupRig::Entries(rig.in()), QStringList({kInPlaceholder, "In C"}));
    QCOMPARE(rig.in().currentIndex(), 1);
    QCOMPARE(rig.out().currentIndex(), 2);
}

void DialogsTest::setupShowModalReportsCancel_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("chosen");

    QTest::newRow("OK") << "cmdOK" << true;
    QTest::newRow("Cancel") << "cmdCancel" << false;
    QTest::newRow("Escape") << "Escape" << false;
    QTest::newRow("window closed") << "close" << false;
}

void DialogsTest::setupShowModalReportsCancel() {
    QFETCH(QString, action);
    QFETCH(bool, chosen);
    SetupRig rig({"In A"}, {"Out A"});
    QTimer::singleShot(0, &rig.dialog, [&] {
        if (action == QLatin1String("Escape"))
            QTest::keyClick(&rig.dialog, Qt::Key_Escape);
        else if (action == QLatin1String("close"))
            rig.dialog.close();
        else
            rig.click(action.toLatin1().constData());
    });

    QCOMPARE(rig.dialog.ShowModal(), chosen);
    QCOMPARE(rig.state.midiSetupCancelled, !chosen);
    QCOMPARE(rig.dialog.isLoaded(), chosen);
}

void DialogsTest::setupListingErrorReportsNoMidiCard_data() {
    QTest::addColumn<bool>("output");
    QTest::addColumn<int>("lost");
    QTest::addColumn<QStringList>("outEntries");
    QTest::addColumn<QStringList>("inEntries");

    QTest::newRow("no default output")
        << true << -1 << QStringList({kOutPlaceholder}) << QStringList();
    QTest::newRow("output device 1 gone")
        << true << 1 << QStringList({kOutPlaceholder, kDefaultOutput, "Out A"}) << QStringList();
    QTest::newRow("input device 1 gone")
        << false << 1 << QStringList({kOutPlaceholder, kDefaultOutput, "Out A", "Out B"})
        << QStringList({kInPlaceholder, "In A"});
}

void DialogsTest::setupListingErrorReportsNoMidiCard() {
    QFETCH(bool, output);
    QFETCH(int, lost);
    SetupRig rig({"In A", "In B"}, {"Out A", "Out B"});
    rig.state.midi = {1, 1};
    if (output)
        rig.output.lose(lost);
    else
        rig.input.lose(lost);

    rig.dialog.show();

    QCOMPARE(rig.messages.size(), std::size_t{1});
    QCOMPARE(rig.messages[0].caption, QStringLiteral("Larchmont VTLConfig"));
    QCOMPARE(
        rig.messages[0].text,
        QStringLiteral("MIDI I/O Error... you need to configure a MIDI card to use this program."));
    QCOMPARE(rig.log, std::vector<std::string>({"No MIDI Card present."}));
    QTEST(SetupRig::Entries(rig.out()), "outEntries");
    QTEST(SetupRig::Entries(rig.in()), "inEntries");
    // The listing ended where it failed: its list has no selection, nor has a list after it.
    QCOMPARE(rig.in().currentIndex(), -1);
    QCOMPARE(rig.out().currentIndex(), output ? -1 : 1);
    QVERIFY(rig.dialog.isVisible());
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
