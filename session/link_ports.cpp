#include "session/link_ports.h"

#include "platform/rtmidi_input.h"
#include "platform/rtmidi_output.h"
#include "sim/mcu_chain.h"
#include "sim/sim_midi.h"

#include <fstream>

namespace vtl {

LinkPorts::LinkPorts(MidiApi api)
    : input_(std::make_unique<RtMidiInput>(api)), output_(std::make_unique<RtMidiOutput>(api)) {}

LinkPorts::LinkPorts(const std::filesystem::path& demoConsole)
    : chain_(std::make_unique<McuChain>(kDemoManuals)) {
    if (!demoConsole.empty()) {
        std::ifstream console(demoConsole);
        if (console) (void)chain_->preloadConsole(console, demoConsole.filename().string());
    }
    auto input = std::make_unique<SimMidiInput>(*chain_);
    simInput_ = input.get();
    output_ = std::make_unique<SimMidiOutput>(*chain_, *input);
    input_ = std::move(input);
}

LinkPorts::~LinkPorts() = default;

void LinkPorts::advance() {
    if (simInput_) simInput_->advance();
}

} // namespace vtl
