#pragma once
// The MIDI input and output a program talks to the console through: real ports through
// RtMidi, or a simulated three-manual console in the same process. Every port the programs
// open is made here.

#include "platform/midi_api.h"
#include "sysex/result.h"

#include <filesystem>
#include <memory>
#include <string>

namespace vtl {

class McuChain;
class MidiInput;
class MidiOutput;
class SimMidiInput;
struct PlayStep;

// Where the link's ports lead.
struct PortChoice {
    bool demo = false; // the simulated console instead of MIDI ports
    MidiApi api = MidiApi::Automatic;
    std::filesystem::path demoConsole; // the simulated console's programs; none when empty
};

class LinkPorts {
public:
    static constexpr int kDemoManuals = 3;

    explicit LinkPorts(const PortChoice& choice);
    ~LinkPorts();
    LinkPorts(const LinkPorts&) = delete;
    LinkPorts& operator=(const LinkPorts&) = delete;

    MidiInput& Input() { return *input_; }
    MidiOutput& Output() { return *output_; }
    bool Simulated() const { return simInput_ != nullptr; }
    McuChain* Chain() { return chain_.get(); }
    // Whether the simulated console holds the demo console's programs; the error names the
    // file. Its MCUs are blank otherwise.
    const Status& Preloaded() const { return preloaded_; }
    // Once per tick, before the link's: lets the simulated console's answers arrive.
    void Advance();
    // The simulated console played: what it sends arrives with the next tick; an error says
    // why nothing is sent (also on real ports, where nothing can be played).
    Status Play(const PlayStep& step);

    // Further real ports under their own client name, for the probe.
    static std::unique_ptr<MidiInput> RealInput(MidiApi api, const std::string& clientName);
    static std::unique_ptr<MidiOutput> RealOutput(MidiApi api, const std::string& clientName);

private:
    std::unique_ptr<McuChain> chain_;
    SimMidiInput* simInput_ = nullptr;
    std::unique_ptr<MidiInput> input_;
    std::unique_ptr<MidiOutput> output_;
    Status preloaded_ = Ok();
};

} // namespace vtl
