#include "session/link_ports.h"

#include "platform/rtmidi_input.h"
#include "platform/rtmidi_output.h"
#include "sim/mcu_chain.h"
#include "sim/sim_midi.h"

namespace vtl {

LinkPorts::LinkPorts(const PortChoice& choice) {
    if (!choice.demo) {
        input_ = std::make_unique<RtMidiInput>(choice.api);
        output_ = std::make_unique<RtMidiOutput>(choice.api);
        return;
    }
    chain_ = std::make_unique<McuChain>(kDemoManuals);
    if (!choice.demoConsole.empty()) preloaded_ = chain_->PreloadConsoleFile(choice.demoConsole);
    auto input = std::make_unique<SimMidiInput>(*chain_);
    simInput_ = input.get();
    output_ = std::make_unique<SimMidiOutput>(*chain_, *input);
    input_ = std::move(input);
}

LinkPorts::~LinkPorts() = default;

void LinkPorts::Advance() {
    if (simInput_) simInput_->Advance();
}

Status LinkPorts::Play(const PlayStep& step) {
    if (!chain_) return Error{"only the simulated console can be played"};
    auto played = chain_->Play(step);
    if (!played) return played.error();
    simInput_->Arrive(std::move(*played));
    return Ok();
}

std::unique_ptr<MidiInput> LinkPorts::RealInput(MidiApi api, const std::string& clientName) {
    return std::make_unique<RtMidiInput>(api, clientName);
}

std::unique_ptr<MidiOutput> LinkPorts::RealOutput(MidiApi api, const std::string& clientName) {
    return std::make_unique<RtMidiOutput>(api, clientName);
}

} // namespace vtl
