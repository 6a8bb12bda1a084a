#include "link/output_queue.h"

#include "link/midi_io.h"

#include <algorithm>

namespace vtl {
namespace {

constexpr int kInputBufferSize = 300;

} // namespace

OutputQueue::OutputQueue(MidiInput& input, MidiOutput& output, MidiSettings& settings)
    : input_(input), output_(output), settings_(settings) {}

void OutputQueue::OnOutputError(std::function<void(int code, const std::string& message)> handler) {
    output_.OnError(std::move(handler));
}

void OutputQueue::Queue(Bytes message) {
    if (!linkReady_) InitialiseLink();
    entries_.emplace_back(std::move(message));
}

bool OutputQueue::Contains(const Bytes& message) const {
    return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) {
        const auto* bytes = std::get_if<Bytes>(&e);
        return bytes && *bytes == message;
    });
}

std::optional<OutputQueue::Pumped> OutputQueue::Pump() {
    if (entries_.empty()) return std::nullopt;
    // Taken out first: a port that fails may have the queue emptied meanwhile.
    Pumped pumped;
    auto* bytes = std::get_if<Bytes>(&entries_.front());
    const bool isMessage = bytes != nullptr;
    if (isMessage) pumped.sent = std::move(*bytes);
    entries_.pop_front();
    if (isMessage) {
        output_.SendSysEx(*pumped.sent);
    } else {
        OpenInput();
        OpenOutput();
        input_.StartReceiving();
    }
    pumped.wasLast = entries_.empty();
    return pumped;
}

void OutputQueue::CloseInput() {
    if (input_.State() != MidiInput::OpenState::Closed) {
        input_.Close();
        SetRealtimeFilters(input_, false);
    }
    linkReady_ = false;
    inputName_.clear();
}

namespace {

// Whether the port lists a device of this name; the selection stays as it was.
bool Listed(MidiPort& port, int selected, const std::string& name) {
    bool found = false;
    const int count = port.DeviceCount();
    for (int d = 0; d < count && !found; ++d) {
        port.SelectDevice(d);
        found = port.DeviceName() == name;
    }
    port.SelectDevice(selected);
    return found;
}

} // namespace

bool OutputQueue::DeviceGone() {
    if (!inputName_.empty() && !Listed(input_, settings_.midiInSetting - 1, inputName_))
        return true;
    // The program's own virtual output is never gone.
    const int output = settings_.midiOutSetting - 2;
    return !outputName_.empty() && output != MidiOutput::kDefaultDevice &&
           !Listed(output_, output, outputName_);
}

void OutputQueue::InitialiseLink() {
    // Settings beyond the devices present fall back to the first device, or to none.
    const int outputs = output_.DeviceCount();
    if (settings_.midiOutSetting > outputs + 1) settings_.midiOutSetting = outputs >= 1 ? 1 : 0;
    const int inputs = input_.DeviceCount();
    if (settings_.midiInSetting > inputs) settings_.midiInSetting = inputs >= 1 ? 1 : 0;
    if (settings_.midiInSetting != 0 && settings_.midiOutSetting != 0) {
        entries_.emplace_back(OpenLink{});
        linkReady_ = true;
    }
}

void OutputQueue::OpenInput() {
    input_.SetBufferSize(kInputBufferSize);
    if (input_.State() != MidiInput::OpenState::Closed) {
        input_.Close();
        SetRealtimeFilters(input_, false);
    }
    if (settings_.midiInSetting >= 1 && settings_.midiInSetting <= input_.DeviceCount()) {
        input_.SelectDevice(settings_.midiInSetting - 1);
        inputName_ = input_.DeviceName();
    }
    input_.Open();
    SetRealtimeFilters(input_, true);
}

void OutputQueue::OpenOutput() {
    if (output_.IsOpen()) output_.Close();
    if (settings_.midiOutSetting > 0) {
        output_.SelectDevice(settings_.midiOutSetting - 2);
        outputName_ = output_.DeviceName();
        output_.Open();
    }
}

} // namespace vtl
