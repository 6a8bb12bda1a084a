// The status window says, character for character, what it always said: simulated transfers,
// healthy and faulty, are reported through the status presenter, and everything the window,
// the console view, the message boxes and the log receive, with its tick, is compared with
// the transcripts under status_golden/. Each transcript's first line is its script.

#include "link/transfer_progress.h"
#include "model/config_file.h"
#include "shell/status_presenter.h"
#include "shell/status_window.h"
#include "sim/chain_faults.h"
#include "sysex/seven_bit.h"
#include "tests/link/sim_link.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace vtl {
namespace {

// A line break as "\n", so that a transcript has one line per event.
std::string Escaped(const std::string& text) {
    std::string escaped;
    for (const char c : text)
        escaped += c == '\n'   ? std::string("\\n")
                   : c == '\\' ? std::string("\\\\")
                               : std::string(1, c);
    return escaped;
}

struct Transcript {
    void Line(const std::string& event) { out << *now << ' ' << event << '\n'; }
    const long* now;
    std::ostringstream out;
};

// The window and, as the application does it, the console view.
class Recorder : public StatusWindow, public TransferObserver {
public:
    explicit Recorder(Transcript& transcript) : transcript_(transcript) {}

    void SetCaption(const std::string& caption) override { Line("caption " + Escaped(caption)); }
    void SetText(const std::string& text) override { Line("text " + Escaped(text)); }
    void Append(const std::string& text) override { Line("append " + Escaped(text)); }
    void Centre() override { Line("centre"); }
    void Show() override { Line("show", true); }
    void Hide() override { Line("hide", false); }
    void Unload() override { Line("unload", false); }
    bool IsVisible() const override { return visible; }
    void SetProgress(const TransferProgress& p) override {
        std::ostringstream line;
        line << "progress " << static_cast<int>(p.mode) << ' ' << p.manuals << ' ' << p.manual
             << ' ' << p.manualsDone << ' ' << p.manualDone << ' ' << p.manualTotal << ' ' << p.done
             << ' ' << p.total << ' ' << p.secondsLeft << ' ' << p.stalled;
        Line(line.str());
    }

    void Report(const TransferReport& report) override {
        if (std::holds_alternative<TransferConcluded>(report)) Line("view SetCommandsDataLoaded");
        presenter.Report(report);
        if (const auto* r = std::get_if<TransferBegan>(&report);
            r && r->mode == TransferMode::Reading) {
            Line("view ShowReading");
        }
        if (std::holds_alternative<ConsoleRead>(report)) {
            Line("view SetCommandsDataLoaded");
            Line("view ShowManuals");
        }
        if (const auto* r = std::get_if<TransferAbandoned>(&report);
            r && r->mode == TransferMode::Reading) {
            Line("view ShowConsoleKept");
        }
    }

    StatusPresenter presenter{*this,
                              [this](const std::string& text) { Line("message " + Escaped(text)); },
                              [this](const std::string& text) { Line("log " + Escaped(text)); }};
    bool visible = false;

private:
    void Line(const std::string& event) { transcript_.Line(event); }
    void Line(const std::string& event, bool shown) {
        visible = shown;
        Line(event);
    }

    Transcript& transcript_;
};

// Runs the script ("chain 3; preload; read; run 600") and returns the transcript.
std::string Replay(const std::string& script) {
    Transcript transcript;
    std::unique_ptr<test::SimLink> link;
    std::unique_ptr<Recorder> recorder;
    const std::string sample = VTL_SAMPLES_DIR "/three-manuals.vtl";
    std::istringstream steps(script);
    for (std::string step; std::getline(steps, step, ';');) {
        std::istringstream words(step);
        std::string verb;
        int a = 0, b = 0;
        std::string fault;
        words >> verb;
        if (verb == "chain") {
            words >> a;
            link = std::make_unique<test::SimLink>(a);
            recorder = std::make_unique<Recorder>(transcript);
            transcript.now = &link->log.now;
            link->log.forward = recorder.get();
            link->choose = [&l = *link, &transcript] {
                transcript.Line(l.chooses ? "choose 1" : "choose 0");
                return l.chooses;
            };
            continue;
        }
        test::SimLink& l = *link;
        bool done = true;
        if (verb == "preload") done = bool(l.chain.PreloadConsoleFile(sample));
        if (verb == "model") done = bool(LoadConfigFile(l.model, sample));
        if (verb == "fault" && words >> fault) done = bool(ApplyChainFault(l.chain, fault));
        EXPECT_TRUE(done) << step;
        if (verb == "badshoe" && words >> a)
            l.model.Shoe(a) = {.midiChannel = 16, .expressionOn = true};
        if (verb == "settings" && words >> a >> b) l.settings = {a, b};
        if (verb == "chooses" && words >> a) l.chooses = a != 0;
        if (verb == "read") l.transfer.StartRead();
        if (verb == "write") l.transfer.StartWrite();
        if (verb == "fileloaded") l.transfer.FileLoaded();
        if (verb == "run" && words >> a) l.Run(a);
        while (verb == "finish" && l.transfer.State() != LinkState::Finishing)
            l.Tick();
        // Close closes the input, then unloads the window; closing it otherwise leaves the
        // transfer running, out of view.
        if (verb == "close") {
            transcript.Line("user close");
            l.Close();
            recorder->Unload();
        }
        if (verb == "dismiss") {
            transcript.Line("user dismiss");
            recorder->visible = false;
            l.Dismiss();
        }
    }
    return transcript.out.str();
}

TEST(StatusPresenter, TheWindowSaysWhatItAlwaysSaid) {
    int transcripts = 0;
    for (const auto& file : std::filesystem::directory_iterator(VTL_STATUS_GOLDEN_DIR)) {
        SCOPED_TRACE(file.path().filename().string());
        std::ifstream in(file.path(), std::ios::binary);
        std::string script;
        std::getline(in, script);
        ASSERT_TRUE(script.starts_with("script "));
        std::ostringstream expected;
        expected << in.rdbuf();
        EXPECT_EQ(Replay(script.substr(7)), expected.str());
        ++transcripts;
    }
    EXPECT_EQ(transcripts, 42);
}

// Forwards a message's conversion errors as the transfer reports them.
class ConversionForward : public ConversionReporter {
public:
    explicit ConversionForward(TransferObserver& to) : to_(to) {}
    void ReportConversionErrors(const ConversionFaults& faults) override {
        to_.Report(ConversionError{faults});
    }

private:
    TransferObserver& to_;
};

// The bytes above 127 of one message are told in one box, one line each.
TEST(StatusPresenter, OneMessagesConversionErrorsShareOneBox) {
    const struct {
        Bytes packed;
        std::string transcript;
    } cases[] = {
        {{0xf0, 0x90, 0xff},
         "0 message Error in conversion at pos 1: f0 90 ff \\nError in conversion at pos 2: "
         "f0 90 ff \\nError in conversion at pos 3: f0 90 ff \n"},
        {{0x00, 0x90, 0x01}, "0 message Error in conversion at pos 2: 00 90 01 \n"},
        {{0x00, 0x01}, ""},
    };
    for (const auto& c : cases) {
        Transcript transcript;
        const long now = 0;
        transcript.now = &now;
        Recorder window(transcript);
        ConversionForward forward(window);
        UnpackSevenBit(c.packed, forward);
        EXPECT_EQ(transcript.out.str(), c.transcript);
    }
}

} // namespace
} // namespace vtl
