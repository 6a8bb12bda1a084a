#pragma once
// The settings kept between runs in the settings file of the per-user folder: the log switch,
// the chosen MIDI devices, the folder of configuration files and the main window's
// placement. They are read once during the start-up and written once at normal shutdown.
// Section and key names are compared exactly, case included: a section the file spells
// differently is not read.
//
// Beside the device numbers the file keeps the devices' names ("InputName", "OutputName"),
// so that a choice follows its device when others are added or removed.

#include "link/midi_io.h"
#include "platform/ini_file.h"
#include "platform/window_placement.h"
#include "shell/app_state.h"
#include "sysex/result.h"

#include <optional>
#include <string>

namespace vtl {

// Sets appDataFolder, points the settings file there, and turns logging on when "Tabulist"
// holds "Log" = "1" (exactly; "01" or "yes" leave it off). It is never turned off here.
void ReadLogSwitch(AppState& state, IniFile& ini);

// Call after ReadLogSwitch. A damaged settings file (IniFile::CheckFile) is renamed to
// "VTLConfig.ini.damaged" ("-2", "-3" and on added when taken): the run starts with the
// defaults, the shutdown writes a fresh file and what the user had stays whole beside it.
// Left in its place it could never be written again and would be reported at every start.
// Returns the message for the user, nothing for a sound or missing file. A file that
// cannot be moved stays as it is, never written, and the message says so.
std::optional<std::string> SetAsideDamagedSettings(const IniFile& ini);

// Sets configFolder to the documents folder and appDataFolder, then reads "MIDI I/O" (the
// device settings: the number at the start of the text, rounded half to even, no number
// reading as 0; "Configured"; the device names) and "Preferences" ("Path", and
// "VerifyAfterWrite" as Boolean text, anything else reading as off), and creates the
// per-user folder. A device setting outside -32768 to 32767 or a "Configured" that is not
// Boolean text ends the reading there: what was read stays, the rest keeps its default and
// the folder is not created. Boolean text is "True" or "False" in any case, or a whole
// number, where 0 is False. The error says why the folder cannot be made.
Status ReadSettings(AppState& state, IniFile& ini);

// Points the settings file at the per-user folder and restores the main window's placement
// from "VTLConfig", not smaller than the minimum size.
void LoadMainWindowPlacement(const AppState& state, IniFile& ini, WindowPlacement& mainWindow,
                             int minWidth, int minHeight);

// The shutdown's writes, in order: the main window's placement under "VTLConfig"; the
// device settings with "Configured" = "True" and the device names, only when neither
// setting is 0 (else "MIDI I/O" stays as it was); "Preferences" "Path" and
// "VerifyAfterWrite" ("True" or "False"). Failures are
// silent; the settings file's lastReturnCode tells of the last write.
void WriteSettings(const AppState& state, IniFile& ini, const WindowPlacement& mainWindow);

// Call at start, before the ports are opened (it selects devices on them): when a
// remembered device name no longer sits at the stored number, moves the setting to the
// device of that exact name; a name that is gone leaves the number as it is. A setting
// without a name takes the name of the device it points at now. The default output
// (setting 1) has no name to check.
void RefindPorts(AppState& state, MidiInput& input, MidiOutput& output);

} // namespace vtl
