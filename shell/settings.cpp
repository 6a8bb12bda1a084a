#include "shell/settings.h"

#include "model/file_path.h"
#include "platform/form_position.h"
#include "platform/number_text.h"
#include "shell/app_paths.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>
#include <system_error>

namespace vtl {
namespace {

constexpr char kLogSection[] = "Tabulist";
constexpr char kMidiSection[] = "MIDI I/O";
constexpr char kPreferencesSection[] = "Preferences";
constexpr char kPlacementSection[] = "VTLConfig";
constexpr char kVerifyAfterWriteKey[] = "VerifyAfterWrite";

// The device settings are 16-bit numbers.
constexpr std::int64_t kSettingMin = -32768;
constexpr std::int64_t kSettingMax = 32767;

QString FromIni(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToIni(const QString& text) {
    return text.toUtf8().toStdString();
}

// The number at the start of the text, rounded half to even; no number reads as 0, and a
// number beyond a device setting's range is an error.
std::optional<int> SettingNumber(const std::string& text) {
    const LeadingNumber number = ReadLeadingNumber(text);
    if (!number.found) return 0;
    if (number.rounded < kSettingMin || number.rounded > kSettingMax) return std::nullopt;
    return static_cast<int>(number.rounded);
}

std::optional<bool> SettingBoolean(const std::string& text) {
    const QString word = FromIni(text);
    if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    const LeadingNumber number = ReadLeadingNumber(text);
    const bool whole =
        number.found && number.end == text.size() && text.find('.') == std::string::npos;
    if (!whole) return std::nullopt;
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= '1' && c <= '9'; });
}

// False when a value cannot be converted, which ends the reading of the settings.
bool ReadMidiSection(AppState& state, IniFile& ini) {
    ini.SetSection(kMidiSection);
    for (const std::string& key : ini.EnumerateCurrentSection()) {
        ini.SetKey(key);
        if (key == "Input" || key == "Output") {
            const auto number = SettingNumber(ini.value());
            if (!number) return false;
            (key == "Input" ? state.midi.midiInSetting : state.midi.midiOutSetting) = *number;
        } else if (key == "Configured") {
            const auto configured = SettingBoolean(ini.value());
            if (!configured) return false;
            state.midiConfigured = *configured;
        } else if (key == "InputName") {
            state.midiInName = FromIni(ini.value());
        } else if (key == "OutputName") {
            state.midiOutName = FromIni(ini.value());
        }
    }
    return true;
}

void ReadPreferencesSection(AppState& state, IniFile& ini) {
    ini.SetSection(kPreferencesSection);
    for (const std::string& key : ini.EnumerateCurrentSection()) {
        ini.SetKey(key);
        if (key == "Path") {
            state.configFolder = FromIni(ini.value());
        } else if (key == kVerifyAfterWriteKey) {
            // Text that is not Boolean leaves the option off rather than ending the reading.
            state.verifyAfterWrite = SettingBoolean(ini.value()).value_or(false);
        }
    }
}

void WriteKey(IniFile& ini, const char* key, const std::string& text) {
    ini.SetKey(key);
    ini.SetValue(text);
}

// ALSA ends a port's name with its client and port numbers ("... 20:0"), and those change
// when a device is plugged in again.
std::string WithoutPortNumbers(const std::string& name) {
    static const std::regex kNumbers(R"(\s+\d+:\d+$)");
    return std::regex_replace(name, kNumbers, "");
}

// The device with exactly this name, else the only one whose name differs just in its
// ALSA numbers.
std::optional<int> FindDevice(MidiPort& port, const std::string& name) {
    const int count = port.DeviceCount();
    std::optional<int> renumbered;
    int renumberedCount = 0;
    for (int device = 0; device < count; ++device) {
        port.SelectDevice(device);
        const std::string present = port.DeviceName();
        if (present == name) return device;
        if (WithoutPortNumbers(present) == WithoutPortNumbers(name)) {
            renumbered = device;
            ++renumberedCount;
        }
    }
    return renumberedCount == 1 ? renumbered : std::nullopt;
}

// A setting is the device number + offset; settings below the offset name no device.
void Refind(MidiPort& port, int offset, int& setting, QString& name) {
    if (setting < offset) return;
    const int device = setting - offset;
    std::string present;
    if (device < port.DeviceCount()) {
        port.SelectDevice(device);
        present = port.DeviceName();
    }
    if (name.isEmpty()) {
        name = FromIni(present);
        return;
    }
    const std::string wanted = ToIni(name);
    if (present == wanted) return;
    if (const auto moved = FindDevice(port, wanted)) {
        setting = *moved + offset;
        port.SelectDevice(*moved);
        name = FromIni(port.DeviceName());
    }
}

} // namespace

void ReadLogSwitch(AppState& state, IniFile& ini) {
    state.appDataFolder = AppDataFolder();
    ini.SetPath(SettingsFile(state.appDataFolder));
    for (const std::string& section : ini.EnumerateAllSections()) {
        if (section != kLogSection) continue;
        ini.SetSection(section);
        for (const std::string& key : ini.EnumerateCurrentSection()) {
            if (key != "Log") continue;
            ini.SetKey(key);
            if (ini.value() == "1") state.logEnabled = true;
        }
    }
}

std::optional<std::string> SetAsideDamagedSettings(const IniFile& ini) {
    const Status sound = ini.CheckFile();
    if (sound) return std::nullopt;
    const std::string told = "The settings file cannot be used: " + sound.error().message +
                             ".\n\nThe program starts with its default settings";
    std::error_code error;
    for (int n = 1; n < 100; ++n) {
        auto aside = ini.Path();
        aside += ".damaged" + (n == 1 ? std::string() : "-" + std::to_string(n));
        if (std::filesystem::symlink_status(aside, error).type() !=
            std::filesystem::file_type::not_found) {
            continue;
        }
        std::filesystem::rename(ini.Path(), aside, error);
        if (!error) return told + "; the damaged file is kept as " + Utf8Name(aside) + ".";
        break;
    }
    if (!error) error = std::make_error_code(std::errc::file_exists);
    return told + " and keeps none of them: the file cannot be moved aside (" + error.message() +
           "), so it is left as it is.";
}

Status ReadSettings(AppState& state, IniFile& ini) {
    state.configFolder = DocumentsFolder();
    state.appDataFolder = AppDataFolder();
    ini.SetPath(SettingsFile(state.appDataFolder));
    for (const std::string& section : ini.EnumerateAllSections()) {
        if (section == kMidiSection) {
            if (!ReadMidiSection(state, ini)) return Ok();
        } else if (section == kPreferencesSection) {
            ReadPreferencesSection(state, ini);
        }
    }
    // Only writes set the return code, so the folder is made on every start.
    if (ini.Success()) return Ok();
    return MakePath(state.appDataFolder);
}

void LoadMainWindowPlacement(const AppState& state, IniFile& ini, WindowPlacement& mainWindow,
                             int minWidth, int minHeight) {
    ini.SetPath(SettingsFile(state.appDataFolder));
    ini.SetSection(kPlacementSection);
    LoadFormPosition(ini, mainWindow, minWidth, minHeight);
}

void WriteSettings(const AppState& state, IniFile& ini, const WindowPlacement& mainWindow) {
    ini.SetPath(SettingsFile(state.appDataFolder));
    ini.SetSection(kPlacementSection);
    SaveFormPosition(ini, mainWindow);
    const MidiSettings& midi = state.midi;
    if (midi.midiInSetting != 0 && midi.midiOutSetting != 0) {
        ini.SetSection(kMidiSection);
        WriteKey(ini, "Input", std::to_string(midi.midiInSetting));
        WriteKey(ini, "Output", std::to_string(midi.midiOutSetting));
        WriteKey(ini, "Configured", "True");
        WriteKey(ini, "InputName", ToIni(state.midiInName));
        WriteKey(ini, "OutputName", ToIni(state.midiOutName));
    }
    ini.SetSection(kPreferencesSection);
    WriteKey(ini, "Path", ToIni(state.configFolder));
    WriteKey(ini, kVerifyAfterWriteKey, state.verifyAfterWrite ? "True" : "False");
}

void RefindPorts(AppState& state, MidiInput& input, MidiOutput& output) {
    Refind(input, 1, state.midi.midiInSetting, state.midiInName);
    Refind(output, 2, state.midi.midiOutSetting, state.midiOutName);
}

} // namespace vtl
