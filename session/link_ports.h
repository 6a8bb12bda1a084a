#pragma once
// The MIDI input and output a program talks to the console through: real ports through
// RtMidi, or a simulated three-manual console in the same process. The application and the
// command-line tool both take their ports from here.

#include "platform/midi_api.h"
#include "sysex/result.h"

#include <filesystem>
#include <memory>

namespace vtl {

class McuChain;
class MidiInput;
class MidiOutput;
class SimMidiInput;

class LinkPorts {
public:
    static constexpr int kDemoManuals = 3;

    // Real ports on the chosen MIDI system.
    explicit LinkPorts(MidiApi api);
    // The simulated console, its programs preloaded from a console file when one is named
    // and readable.
    explicit LinkPorts(const std::filesystem::path& demoConsole);
    ~LinkPorts();
    LinkPorts(const LinkPorts&) = delete;
    LinkPorts& operator=(const LinkPorts&) = delete;

    MidiInput& input() { return *input_; }
    MidiOutput& output() { return *output_; }
    bool simulated() const { return simInput_ != nullptr; }
    // Once per tick, before the link's: lets the simulated console's answers arrive.
    void advance();

private:
    std::unique_ptr<McuChain> chain_;
    SimMidiInput* simInput_ = nullptr;
    std::unique_ptr<MidiInput> input_;
    std::unique_ptr<MidiOutput> output_;
};

} // namespace vtl
