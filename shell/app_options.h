#pragma once
// How vtlconfig was started: its command line.

#include "platform/midi_api.h"

#include <QString>

namespace vtl {

struct AppOptions {
    bool demo = false; // a simulated three-manual console instead of MIDI ports
    MidiApi api = MidiApi::Automatic;
    QString tracePath;     // every MIDI message sent and received, when set
    QString programFolder; // where the splash, bitmaps, cursor and manual are (ResourceFolder)
    QString openFile;      // a console file loaded at start in place of the start choice
    // Past the splash at once, and quit once the main window is up (with openFile loaded):
    // messages go to standard error, and the exit status is 1 after one, or when the file
    // could not be loaded.
    bool quitAfterStart = false;
};

} // namespace vtl
