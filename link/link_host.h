#pragma once
// What the MCU link needs from the windows above it. The application implements these
// with its status window, console view and message boxes; the command-line tool prints.

#include "sysex/seven_bit.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vtl {

struct TransferProgress;

// The line break inside status texts.
inline constexpr std::string_view kLineBreak = "\r\n";

// The progress window of MCU transfers.
class StatusSink {
public:
    virtual ~StatusSink() = default;
    virtual void setCaption(const std::string& caption) = 0;
    virtual void setText(const std::string& text) = 0;
    virtual void append(const std::string& text) = 0;
    virtual void centre() = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    // Hides the window and clears its text.
    virtual void unload() = 0;
    virtual bool isVisible() const = 0;
    // How far the transfer has got; inactive figures when there is none to show.
    virtual void setProgress(const TransferProgress& progress) = 0;
};

// The console picture and the commands that depend on data being there.
class ConsoleDisplay {
public:
    virtual ~ConsoleDisplay() = default;
    // Places and shows the panels of manuals 1 to manualCount.
    virtual void ShowManuals() = 0;
    // Enables everything that needs a configuration: save, write, the editors.
    virtual void SetCommandsDataLoaded() = 0;
    // A read from the MCUs starts: all panels hidden, the start prompt shown.
    virtual void ShowReading() = 0;
    // A read ended before its last manual: the console from before it shows again, as it was.
    virtual void ShowConsoleKept() = 0;
};

// Dialogs, message boxes and the log.
class LinkHost : public ConversionReporter {
public:
    // Shows the MIDI setup dialog modally; false when the user cancelled it.
    virtual bool ChooseMidiDevices() = 0;
    virtual void ShowMessage(const std::string& text) = 0;
    virtual void WriteLog(const std::string& line) = 0;
};

// Sees every message that leaves or arrives, with the tick it happened on.
class TrafficListener {
public:
    enum class Direction { Sent, Received };
    virtual ~TrafficListener() = default;
    virtual void Traffic(long tick, Direction direction, std::span<const std::uint8_t> message) = 0;
};

} // namespace vtl
