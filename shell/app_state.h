#pragma once
// The process-wide values of the application: created once by the application object and
// handed down by reference. A test makes a fresh one.

#include "link/midi_settings.h"
#include "model/catalogue.h"
#include "model/console_model.h"

#include <QString>

namespace vtl {

struct AppState {
    // Start-up.
    bool choiceShown = false; // the start choice was shown once; About never shows it again

    // The console and its vocabulary.
    FunctionCatalogue catalogue;
    ConsoleModel console;

    // MIDI devices: the settings the link opens, and the names of the chosen ports so that a
    // choice survives re-plugging.
    MidiSettings midi;
    bool midiConfigured = false;
    bool midiSetupCancelled = false;
    QString midiInName;
    QString midiOutName;

    // Folders and files.
    QString programFolder; // holds the splash, bitmaps, cursor, manual and (if writable) log
    QString appDataFolder; // the per-user settings folder, without a trailing separator
    QString configFolder;  // where console files are opened and saved
    bool logEnabled = false;

    // Preferences.
    bool verifyAfterWrite = false; // every write is read back and compared
};

} // namespace vtl
