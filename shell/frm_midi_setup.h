#pragma once
// The MIDI device setup dialog: lists the input and output devices the ports report,
// preselects the stored choice and on OK stores the two list positions as the device settings.

#include "shell/message_box.h"

#include <QDialog>

#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QPushButton;

namespace vtl {

struct AppState;
class MidiInput;
class MidiOutput;

class MidiSetupDialog : public QDialog {
    Q_OBJECT

public:
    using LogWriter = std::function<void(const std::string& line)>;

    // The state and the ports must outlive the dialog.
    MidiSetupDialog(AppState& state, MidiInput& input, MidiOutput& output, LogWriter writeLog,
                    QWidget* parent = nullptr);

    // The windows placed when the main window opens the dialog: the dialog is centred on the
    // main window, the status window on the dialog's own place.
    void SetWindows(QWidget* mainWindow, QWidget* statusWindow);
    void SetMessageBox(MessageBoxFn messageBox) { messageBox_ = std::move(messageBox); }

    // Shows the dialog modally; false when the user cancelled it.
    bool ShowModal();

    // True from the first show until a Cancel: the next show keeps the lists as they are.
    bool IsLoaded() const { return loaded_; }

    // OK: stores the chosen positions and hides the dialog, which keeps its lists.
    void accept() override;
    // Cancel, also by Escape or by closing the window: the settings stay as they were and the
    // next show lists the devices again.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Load();
    void Place();

    AppState& state_;
    MidiInput& input_;
    MidiOutput& output_;
    LogWriter writeLog_;
    MessageBoxFn messageBox_ = &ShowMessageBox;
    QWidget* mainWindow_ = nullptr;
    QWidget* statusWindow_ = nullptr;
    bool loaded_ = false;

    QLabel* label1_;
    QComboBox* comboMidiIn_;
    QLabel* label2_;
    QComboBox* comboMidiOut_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
};

} // namespace vtl
