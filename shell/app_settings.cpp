#include "shell/app_settings.h"

#include "shell/app_log.h"
#include "shell/app_state.h"
#include "shell/settings.h"
#include "shell/user_messages.h"
#include "shell/widget_placement.h"

#include <QDateTime>

namespace vtl {
namespace {

// The main window's design size is also its smallest restored size.
constexpr int kMainMinWidth = 907;
constexpr int kMainMinHeight = 548;

} // namespace

void AppSettings::Read(UserMessages& messages) {
    ReadLogSwitch(state_, iniFile_);
    if (const auto damaged = SetAsideDamagedSettings(iniFile_)) messages.Hold(*damaged);
    messages.Log(StartLogLine(QDateTime::currentDateTime()).toStdString());
    if (const auto read = ReadSettings(state_, iniFile_); !read) {
        // The program works without it; only settings and backups cannot be kept.
        messages.Hold("The settings folder cannot be made, so no settings or backups are kept: " +
                      read.error().message);
    }
}

void AppSettings::PlaceMain(QWidget& main) {
    WidgetPlacement placement(main);
    LoadMainWindowPlacement(state_, iniFile_, placement, kMainMinWidth, kMainMinHeight);
}

void AppSettings::UseDemoMidi() {
    // The simulated console is always there: no setup needed.
    realMidi_ =
        MidiChoice{state_.midi, state_.midiConfigured, state_.midiInName, state_.midiOutName};
    state_.midi = {1, 2};
}

void AppSettings::Write(QWidget& main) {
    if (realMidi_) {
        state_.midi = realMidi_->midi;
        state_.midiConfigured = realMidi_->configured;
        state_.midiInName = realMidi_->inName;
        state_.midiOutName = realMidi_->outName;
    }
    WidgetPlacement placement(main);
    WriteSettings(state_, iniFile_, placement);
}

} // namespace vtl
