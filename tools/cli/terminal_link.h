#pragma once
// The MCU link for one command-line transfer: the ports (real ones through RtMidi, or the
// in-process simulated console with --demo), the output queue and the transfer controller,
// with the status window printed to standard error as its texts appear.

#include "link/link_host.h"
#include "link/midi_settings.h"
#include "model/console_model.h"
#include "platform/midi_api.h"
#include "sysex/result.h"
#include "tools/cli/command.h"

#include <QString>

#include <memory>

class QCommandLineParser;

namespace vtl {
class LinkPorts;
class MidiPort;
class TrafficTrace;
} // namespace vtl

namespace vtl::cli {

struct LinkOptions {
    MidiApi api = MidiApi::Automatic;
    bool demo = false;
    QString input; // a device number or part of a port name; empty: the first port
    QString output;
    QString tracePath;
    int timeoutSeconds = 30;
};

// --in, --out, --api, --demo, --trace, --timeout.
void AddLinkOptions(QCommandLineParser& parser);
Expected<LinkOptions> ReadLinkOptions(const QCommandLineParser& parser);

// Finds a port by number or by a part of its name that matches exactly one port. Outputs
// also take -1, the program's own virtual port.
Expected<int> FindPort(MidiPort& port, const QString& choice, bool output);

class LinkSession : private StatusSink,
                    private ConsoleView,
                    private LinkHost,
                    private TrafficListener {
public:
    LinkSession(const LinkOptions& options, CommandIo& io);
    ~LinkSession() override;

    // Opens the ports the options name.
    Status Open();
    // Reads every manual of the console into the model.
    Status Read(ConsoleModel& model);
    // Writes manuals 1 to manualCount of the model.
    Status Write(ConsoleModel& model);

private:
    enum class Goal { Read, Write };
    Status Run(ConsoleModel& model, Goal goal);

    // StatusSink: the window's texts go to standard error as they appear.
    void setCaption(const std::string& caption) override;
    void setText(const std::string& text) override;
    void append(const std::string& text) override;
    void centre() override {}
    void show() override { visible_ = true; }
    void hide() override { visible_ = false; }
    void unload() override;
    bool isVisible() const override { return visible_; }
    // ConsoleView: nothing to show.
    void ShowManuals() override {}
    void SetCommandsDataLoaded() override {}
    void ShowReading() override {}
    // LinkHost.
    bool ChooseMidiDevices() override { return false; }
    void ShowMessage(const std::string& text) override;
    void WriteLog(const std::string&) override {}
    void ReportConversionError(const std::string& text) override;
    // TrafficListener: to the trace file, when there is one.
    void Traffic(long tick, Direction direction, std::span<const std::uint8_t> message) override;

    void Print(const std::string& text);

    LinkOptions options_;
    CommandIo& io_;
    MidiSettings settings_;
    std::unique_ptr<LinkPorts> ports_;
    std::unique_ptr<TrafficTrace> trace_;

    std::string caption_;
    std::string text_;
    bool visible_ = false;
    bool atLineStart_ = true;
    long lastSignOfLife_ = 0;
    long now_ = 0;
    std::string failure_;
};

} // namespace vtl::cli
