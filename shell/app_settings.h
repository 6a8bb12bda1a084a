#pragma once
// The settings file through one run: read at the start, where the main window is placed from
// it, and written at shutdown. In demo mode the simulated console's devices stand in for the
// chosen MIDI devices, which are written back unchanged.

#include "link/midi_settings.h"
#include "platform/ini_file.h"

#include <QString>

#include <optional>

class QWidget;

namespace vtl {

struct AppState;
class UserMessages;

class AppSettings {
public:
    explicit AppSettings(AppState& state) : state_(state) {}

    // The log switch, the log's start line and the settings; what went wrong is held for the
    // user.
    void Read(UserMessages& messages);
    // The main window's placement as it was left, at least its design size.
    void PlaceMain(QWidget& main);
    // The simulated console's devices from now on.
    void UseDemoMidi();
    void Write(QWidget& main);

private:
    // The MIDI choice read from the settings.
    struct MidiChoice {
        MidiSettings midi;
        bool configured;
        QString inName;
        QString outName;
    };

    AppState& state_;
    IniFile iniFile_;
    std::optional<MidiChoice> realMidi_;
};

} // namespace vtl
