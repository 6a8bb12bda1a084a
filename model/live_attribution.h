#pragma once
// Which console elements could have sent what arrives, by the configuration in memory: a note
// on channel c comes from every manual whose division sends on c, controller 7 or 11 from an
// enabled shoe set to it, a program change from a program-change piston with that program and
// channel. Only manuals 1 to manualCount are asked. What a piston of the organ-module groups
// sends is not known, so SysEx and other messages are shown as they are, never guessed.
//
// A key sends on every channel of its division: its messages on those channels within 20 ms
// make one event. Time is given by the caller in milliseconds, so the same input always gives
// the same events.

#include "model/console_model.h"
#include "model/live_event.h"

#include <map>
#include <utility>
#include <vector>

namespace vtl {

class LiveAttribution {
public:
    static constexpr double kSameKeyMs = 20;
    static constexpr double kStuckMs = 30'000;

    // The console must outlive the attribution; a change to it counts from the next message.
    explicit LiveAttribution(const ConsoleModel& console) : console_(console) {}

    // One whole message at timeMs (never earlier than the last): the events it completes,
    // with those that time has completed before it.
    std::vector<LiveEvent> Feed(double timeMs, const MidiMessage& message);
    // The events that time completes by timeMs: a key whose other channels did not come in
    // time, a key held longer than kStuckMs (an event of its own, flagged stuck-note).
    std::vector<LiveEvent> Advance(double timeMs);
    // Monitoring stops: what is waiting comes out, and every key still held is stuck.
    std::vector<LiveEvent> Finish(double timeMs);

private:
    // A key's messages so far, waiting for the rest of its division's channels.
    struct PendingKey {
        LiveEvent event;
        unsigned manuals = 0;  // bit m - 1: manual m could still have sent it
        std::int32_t seen = 0; // bit c - 1: arrived on channel c
    };
    struct HeldKey {
        LiveEvent noteOn;
        bool reported = false;
    };

    int Manuals() const;
    unsigned ManualsSending(int channel) const;
    bool Complete(const PendingKey& key) const;
    LiveEvent Close(PendingKey key) const;
    void Emit(LiveEvent event, std::vector<LiveEvent>& out);
    LiveEvent Attribute(double timeMs, const MidiMessage& message) const;
    void FeedKey(double timeMs, const MidiMessage& message, std::vector<LiveEvent>& out);
    // What time completes by timeMs; everything when monitoring stops.
    std::vector<LiveEvent> Flush(double timeMs, bool stopping);

    const ConsoleModel& console_;
    std::vector<PendingKey> pending_;
    // Keys pressed and not yet released, by manual and note.
    std::map<std::pair<int, int>, HeldKey> held_;
};

} // namespace vtl
