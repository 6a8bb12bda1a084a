#pragma once
// The one queue every outgoing message waits in. The main timer drains one entry per
// pump; an "open the link" entry goes in front of the first message after start-up or
// after the input was closed, so the ports open one pump before that message leaves.

#include "link/midi_settings.h"
#include "sysex/bytes.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <variant>

namespace vtl {

class MidiInput;
class MidiOutput;

class OutputQueue {
public:
    OutputQueue(MidiInput& input, MidiOutput& output, MidiSettings& settings);
    OutputQueue(const OutputQueue&) = delete;
    OutputQueue& operator=(const OutputQueue&) = delete;

    // Queues a complete message, opening the link first when it is not ready.
    void Queue(Bytes message);
    // True while this message waits, unsent.
    bool Contains(const Bytes& message) const;
    bool empty() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }
    bool LinkReady() const { return linkReady_; }

    // Hands the oldest entry to the ports and removes it.
    struct Pumped {
        std::optional<Bytes> sent; // empty when the entry opened the link
        bool wasLast = false;
    };
    std::optional<Pumped> Pump();

    // Opens the input on the chosen device with the realtime filters on, closing it first.
    void OpenInput();
    // Closes the input; the next message reopens both ports first.
    void CloseInput();
    // Forgets every message still waiting.
    void Drop() { entries_.clear(); }
    // Whether a device the link opened is no longer listed under its name.
    bool DeviceGone();
    // Every error of the output port goes here, with its code.
    void OnOutputError(std::function<void(int code, const std::string& message)> handler);

private:
    struct OpenLink {};
    using Entry = std::variant<OpenLink, Bytes>;

    void InitialiseLink();
    void OpenOutput();

    MidiInput& input_;
    MidiOutput& output_;
    MidiSettings& settings_;
    std::deque<Entry> entries_;
    bool linkReady_ = false;
    // The names of the devices as they were opened; empty while the link is not open.
    std::string inputName_;
    std::string outputName_;
};

} // namespace vtl
