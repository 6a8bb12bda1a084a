#include "model/live_attribution.h"

#include "model/catalogue.h"

#include <algorithm>

namespace vtl {
namespace {

constexpr int kVolumeController = 7;
constexpr int kExpressionController = 11;

bool IsKey(MidiKind kind) {
    return kind == MidiKind::NoteOn || kind == MidiKind::NoteOff;
}

void Judge(LiveEvent& event) {
    if (event.elements.empty()) event.problems.push_back(LiveProblem::NotInConfiguration);
    if (event.elements.size() > 1) event.problems.push_back(LiveProblem::Ambiguous);
}

} // namespace

int LiveAttribution::Manuals() const {
    return std::clamp(static_cast<int>(console_.manualCount), 0, kMaxManuals);
}

unsigned LiveAttribution::ManualsSending(int channel) const {
    unsigned manuals = 0;
    for (int m = 1; m <= Manuals(); ++m)
        if ((console_.Channels(m) >> (channel - 1)) & 1) manuals |= 1U << (m - 1);
    return manuals;
}

// Complete when no manual it may come from still has a channel to send on.
bool LiveAttribution::Complete(const PendingKey& key) const {
    for (int m = 1; m <= Manuals(); ++m)
        if ((key.manuals >> (m - 1)) & 1 && (console_.Channels(m) & ~key.seen & 0xFFFF) != 0)
            return false;
    return true;
}

// A key's event as it stands: the manuals whose whole channel set arrived, or, when none did,
// every manual it may come from, flagged partial.
LiveEvent LiveAttribution::Close(PendingKey key) const {
    unsigned whole = 0;
    for (int m = 1; m <= Manuals(); ++m)
        if ((key.manuals >> (m - 1)) & 1 && (console_.Channels(m) & ~key.seen & 0xFFFF) == 0)
            whole |= 1U << (m - 1);
    LiveEvent event = std::move(key.event);
    if (whole == 0) event.problems.push_back(LiveProblem::PartialChannels);
    const unsigned manuals = whole != 0 ? whole : key.manuals;
    for (int m = 1; m <= Manuals(); ++m)
        if ((manuals >> (m - 1)) & 1) event.elements.push_back({m, LiveElement::Kind::Keyboard});
    Judge(event);
    return event;
}

void LiveAttribution::Emit(LiveEvent event, std::vector<LiveEvent>& out) {
    if (IsKey(event.message.kind)) {
        for (const LiveElement& element : event.elements) {
            const std::pair key{element.manual, event.message.note};
            if (event.message.kind == MidiKind::NoteOn)
                held_[key] = HeldKey{event, false};
            else
                held_.erase(key);
        }
    }
    out.push_back(std::move(event));
}

LiveEvent LiveAttribution::Attribute(double timeMs, const MidiMessage& message) const {
    LiveEvent event = Unattributed(timeMs, message);
    if (message.kind == MidiKind::Controller) {
        for (int m = 1; m <= Manuals(); ++m) {
            const ShoeInfo& shoe = console_.Shoe(m);
            const int controller = shoe.volumeControl ? kVolumeController : kExpressionController;
            if (shoe.expressionOn && shoe.midiChannel + 1 == message.channel &&
                controller == message.controller) {
                event.elements.push_back({m, LiveElement::Kind::Shoe});
            }
        }
    } else if (message.kind == MidiKind::ProgramChange) {
        for (int m = 1; m <= Manuals(); ++m) {
            for (int p = 0; p < kPistonsPerManual; ++p) {
                const PistonInfo& piston = console_.Piston(m, p);
                if (piston.functionGroup == kProgramChangeGroup &&
                    piston.midiChannel == message.channel &&
                    piston.programNumber == message.program) {
                    event.elements.push_back({m, LiveElement::Kind::Piston, p + 1});
                }
            }
        }
    } else {
        return event; // SysEx and the rest are shown as they are; keys go through FeedKey
    }
    Judge(event);
    return event;
}

void LiveAttribution::FeedKey(double timeMs, const MidiMessage& message,
                              std::vector<LiveEvent>& out) {
    const unsigned manuals = ManualsSending(message.channel);
    const std::int32_t channel = 1 << (message.channel - 1);
    if (manuals == 0) {
        LiveEvent event = Unattributed(timeMs, message);
        event.problems.push_back(LiveProblem::NotInConfiguration);
        return Emit(std::move(event), out);
    }
    auto joined = std::find_if(pending_.begin(), pending_.end(), [&](const PendingKey& key) {
        return key.event.message.kind == message.kind && key.event.message.note == message.note &&
               (key.seen & channel) == 0 && (key.manuals & manuals) != 0;
    });
    if (joined == pending_.end()) {
        joined = pending_.insert(pending_.end(),
                                 PendingKey{Unattributed(timeMs, message), manuals, channel});
    } else {
        joined->manuals &= manuals;
        joined->seen |= channel;
        joined->event.channels.push_back(message.channel);
        joined->event.bytes.insert(joined->event.bytes.end(), message.bytes.begin(),
                                   message.bytes.end());
    }
    if (Complete(*joined)) {
        LiveEvent event = Close(std::move(*joined));
        pending_.erase(joined);
        Emit(std::move(event), out);
    }
}

std::vector<LiveEvent> LiveAttribution::Feed(double timeMs, const MidiMessage& message) {
    std::vector<LiveEvent> out = Advance(timeMs);
    if (IsKey(message.kind))
        FeedKey(timeMs, message, out);
    else
        out.push_back(Attribute(timeMs, message));
    return out;
}

std::vector<LiveEvent> LiveAttribution::Advance(double timeMs) {
    return Flush(timeMs, false);
}

std::vector<LiveEvent> LiveAttribution::Finish(double timeMs) {
    return Flush(timeMs, true);
}

std::vector<LiveEvent> LiveAttribution::Flush(double timeMs, bool stopping) {
    std::vector<LiveEvent> out;
    // The keys that time completed, oldest first, leave together: taken from the front one by
    // one, a burst of many keys would cost the square of their number.
    std::size_t due = 0;
    while (due < pending_.size() && (stopping || timeMs - pending_[due].event.timeMs > kSameKeyMs))
        ++due;
    for (std::size_t i = 0; i < due; ++i)
        Emit(Close(std::move(pending_[i])), out);
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(due));
    for (auto& [key, held] : held_) {
        if (held.reported || (!stopping && timeMs - held.noteOn.timeMs <= kStuckMs)) continue;
        held.reported = true;
        LiveEvent stuck = held.noteOn;
        stuck.timeMs = timeMs;
        stuck.elements = {{key.first, LiveElement::Kind::Keyboard}};
        stuck.problems = {LiveProblem::StuckNote};
        out.push_back(std::move(stuck));
    }
    if (stopping) held_.clear();
    return out;
}

} // namespace vtl
