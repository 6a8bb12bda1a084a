#include "shell/frm_midi_setup.h"

#include "editor/window_geometry.h"
#include "link/midi_io.h"
#include "link/product.h"
#include "shell/app_state.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStandardItemModel>

#include <algorithm>

namespace vtl {
namespace {

constexpr QSize kDialogSize{289, 118};
// Pixels between a device list and the buttons.
constexpr int kListGap = 8;
// The first list entries naming a device; output entry 1 is the default output.
constexpr int kFirstInputEntry = 1;
constexpr int kFirstOutputEntry = 2;

bool Offered(const QComboBox& list, int entry) {
    return list.model()->flags(list.model()->index(entry, 0)).testFlag(Qt::ItemIsEnabled);
}

// Selects the stored list position; one past the list (a device removed since), an entry not
// offered, or below 0 selects the placeholder, except that a list holding only the
// placeholder is left without a selection by a setting below 0.
void SelectStored(QComboBox& list, int setting) {
    const bool placeholder = setting >= list.count() || (setting < 0 && list.count() > 1) ||
                             (setting > 0 && !Offered(list, setting));
    list.setCurrentIndex(placeholder ? 0 : setting);
}

// The chosen device's name: the list entry, or empty for the placeholder and other entries
// that name no device.
QString ChosenName(const QComboBox& list, int firstDevice) {
    return list.currentIndex() >= firstDevice ? list.currentText() : QString();
}

// Output entry 1, device -1: this program's own virtual port does nothing until a patchbay
// connects it, so the entry says so. A MIDI system without virtual ports keeps the entry,
// not offered, so that the entries after it keep the positions the settings store.
void AddDefaultOutput(QComboBox& list, const std::string& name) {
    if (name.empty()) {
        list.addItem(QStringLiteral("(no virtual output on this MIDI system)"));
        if (auto* model = qobject_cast<QStandardItemModel*>(list.model()))
            model->item(list.count() - 1)->setEnabled(false);
    } else if (name == kProductName) {
        list.addItem(QString::fromLatin1(kProductName) +
                     QStringLiteral(" (virtual output \u2014 connect it in your patchbay)"));
    } else {
        list.addItem(QString::fromStdString(name));
    }
}

// Fills the list with the placeholder and the names of the port's devices from firstDevice on,
// then selects the stored position. A device the port counts but cannot name has gone or
// failed, and an output with neither devices nor a virtual port has no MIDI system behind
// it: the listing stops there, without a selection, and reports false.
bool ListDevices(QComboBox& list, MidiPort& port, const QString& placeholder, int firstDevice,
                 int setting) {
    list.addItem(placeholder);
    list.setCurrentIndex(-1);
    const int count = port.DeviceCount();
    for (int device = firstDevice; device < count; ++device) {
        port.SelectDevice(device);
        const std::string name = port.DeviceName();
        if (device == MidiOutput::kDefaultDevice && (!name.empty() || count > 0)) {
            AddDefaultOutput(list, name);
            continue;
        }
        if (name.empty()) return false;
        list.addItem(QString::fromStdString(name));
    }
    SelectStored(list, setting);
    return true;
}

// Lets the drop-down list show long device names whole.
void FitPopup(QComboBox& list) {
    list.view()->setMinimumWidth(list.view()->sizeHintForColumn(0));
}

} // namespace

MidiSetupDialog::MidiSetupDialog(AppState& state, MidiInput& input, MidiOutput& output,
                                 LogWriter writeLog, QWidget* parent)
    : QDialog(parent), state_(state), input_(input), output_(output),
      writeLog_(std::move(writeLog)), label1_(new QLabel(QStringLiteral("MIDI In Device:"), this)),
      comboMidiIn_(new QComboBox(this)),
      label2_(new QLabel(QStringLiteral("MIDI Out Device:"), this)),
      comboMidiOut_(new QComboBox(this)), cmdOK_(new QPushButton(QStringLiteral("OK"), this)),
      cmdCancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(QStringLiteral("frmMIDISetup"));
    setWindowTitle(QStringLiteral("MIDI I/O Setup"));
    setFixedSize(kDialogSize);

    const auto place = [](QWidget* control, const char* name, QRect rect) {
        control->setObjectName(QLatin1String(name));
        control->setGeometry(rect);
    };
    place(label1_, "Label1", TwipsRect(360, 150, 1170, 210));
    place(comboMidiIn_, "ComboMidiIn", TwipsRect(240, 360, 2295, 330));
    place(label2_, "Label2", TwipsRect(360, 990, 1305, 210));
    place(comboMidiOut_, "ComboMidiOut", TwipsRect(240, 1200, 2295, 330));
    place(cmdOK_, "cmdOK", TwipsRect(3000, 480, 1095, 375));
    place(cmdCancel_, "cmdCancel", TwipsRect(3000, 960, 1095, 375));
    // A label whose caption is wider in this font than in the design keeps its place and grows.
    for (QLabel* label : {label1_, label2_})
        label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
    // The lists reach to just short of the buttons, so that a device name shows whole.
    for (QComboBox* list : {comboMidiIn_, comboMidiOut_})
        list->resize(cmdOK_->x() - kListGap - list->x(), list->height());

    cmdOK_->setDefault(true);
    connect(cmdOK_, &QPushButton::clicked, this, &MidiSetupDialog::accept);
    connect(cmdCancel_, &QPushButton::clicked, this, &MidiSetupDialog::reject);
}

void MidiSetupDialog::SetWindows(QWidget* mainWindow, QWidget* statusWindow) {
    mainWindow_ = mainWindow;
    statusWindow_ = statusWindow;
}

bool MidiSetupDialog::ShowModal() {
    exec();
    return !state_.midiSetupCancelled;
}

void MidiSetupDialog::accept() {
    state_.midiSetupCancelled = false;
    state_.midi.midiInSetting = comboMidiIn_->currentIndex();
    state_.midi.midiOutSetting = comboMidiOut_->currentIndex();
    state_.midiInName = ChosenName(*comboMidiIn_, kFirstInputEntry);
    state_.midiOutName = ChosenName(*comboMidiOut_, kFirstOutputEntry);
    QDialog::accept();
    state_.midiConfigured = true;
}

void MidiSetupDialog::reject() {
    state_.midiSetupCancelled = true;
    loaded_ = false;
    QDialog::reject();
}

void MidiSetupDialog::showEvent(QShowEvent* event) {
    if (!loaded_) Load();
    QDialog::showEvent(event);
}

void MidiSetupDialog::Load() {
    loaded_ = true;
    // Every opening comes from the main window once the dialog knows it.
    if (mainWindow_) Place();
    comboMidiOut_->clear();
    comboMidiIn_->clear();

    const bool listed =
        ListDevices(*comboMidiOut_, output_, QStringLiteral("[Choose a MIDI out device]"),
                    MidiOutput::kDefaultDevice, state_.midi.midiOutSetting) &&
        ListDevices(*comboMidiIn_, input_, QStringLiteral("[Choose a MIDI in device]"), 0,
                    state_.midi.midiInSetting);
    if (!listed) {
        messageBox_(this, {QString::fromLatin1(kWindowTitle),
                           QStringLiteral("MIDI I/O Error... you need to configure a MIDI card to "
                                          "use this program."),
                           QMessageBox::NoIcon});
        writeLog_("No MIDI Card present.");
    }
    FitPopup(*comboMidiOut_);
    FitPopup(*comboMidiIn_);
}

void MidiSetupDialog::Place() {
    // The dialog's own place, before it moves to the main window, is the middle of the screen.
    const QScreen* screen = mainWindow_ ? mainWindow_->screen() : this->screen();
    const QSize size = frameGeometry().size();
    if (statusWindow_ && screen) {
        const QRect design(CentredPosition(screen->availableGeometry(), size), size);
        statusWindow_->move(CentredPosition(design, statusWindow_->frameGeometry().size()));
    }
    if (mainWindow_) move(CentredPosition(mainWindow_->frameGeometry(), size));
}

} // namespace vtl
