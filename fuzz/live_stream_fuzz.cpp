// The live console on whatever a device sends: the stream decoder cuts the bytes, in chunks as
// a driver hands them over, into the messages a reading of the MIDI rules gives (realtime
// bytes wherever they fall, running status, SysEx cut short, never ended or too long, short
// messages missing bytes), none more and none less; the attribution of those messages to the
// console's elements, at times that only go forward, accounts for every message once, names only
// manuals the console has, and holds nothing after monitoring stops.

#include "fuzz_check.h"
#include "link/midi_stream.h"
#include "model/live_attribution.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>

namespace {

using namespace vtl;
using vtl::fuzz::Require;

constexpr std::uint8_t kSysExStart = 0xF0;
constexpr std::uint8_t kSysExEnd = 0xF7;
constexpr std::uint8_t kFirstRealtime = 0xF8;

// The data bytes a status byte takes, by the MIDI rules; none for F4 to F6.
std::size_t DataBytes(std::uint8_t status) {
    if (status < 0xF0) return (status & 0xE0) == 0xC0 ? 1 : 2;
    return status == 0xF2 ? 2 : status == 0xF1 || status == 0xF3 ? 1 : 0;
}

// The messages the stream holds, realtime ones apart: F0 and the data bytes after it make a
// SysEx message when F7 is the next status byte and it is not too long; after any other status
// byte, its data bytes make as many messages as they fill, a channel status running on, a system
// common status once. Data bytes without a status, short messages missing bytes and a SysEx message
// that another status cuts short are dropped.
std::vector<Bytes> MessagesByTheRules(const Bytes& stream) {
    std::vector<Bytes> messages;
    Bytes held; // the last status byte and the data bytes since; empty when none counts
    const auto close = [&messages, &held] {
        if (held.empty() || held.front() == kSysExStart) return;
        const std::size_t each = DataBytes(held.front());
        const std::size_t data = held.size() - 1;
        const std::size_t count = each == 0 ? 1 : held.front() < 0xF0 ? data / each : data >= each;
        for (std::size_t m = 0; m < count; ++m) {
            const auto first = held.begin() + 1 + static_cast<std::ptrdiff_t>(m * each);
            Bytes message{held.front()};
            message.insert(message.end(), first, first + static_cast<std::ptrdiff_t>(each));
            messages.push_back(std::move(message));
        }
    };
    for (const std::uint8_t byte : stream) {
        if (byte >= kFirstRealtime) continue;
        if (byte < 0x80) {
            if (!held.empty()) held.push_back(byte);
            continue;
        }
        if (byte == kSysExEnd && !held.empty() && held.front() == kSysExStart) {
            held.push_back(byte);
            if (held.size() <= MidiStreamParser::kMaxSysExLength) messages.push_back(held);
        } else {
            close();
        }
        held.clear();
        if (byte != kSysExEnd) held.push_back(byte);
    }
    close();
    return messages;
}

ConsoleModel FuzzedConsole(FuzzedDataProvider& in) {
    ConsoleModel console;
    console.manualCount = in.ConsumeIntegralInRange<std::int16_t>(-1, kMaxManuals + 1);
    for (auto& channels : console.divisionChannels)
        channels = in.ConsumeIntegral<std::int32_t>();
    for (auto& shoe : console.shoes)
        shoe = {in.ConsumeIntegralInRange<std::uint8_t>(0, 16), in.ConsumeBool(), in.ConsumeBool()};
    for (int edits = in.ConsumeIntegralInRange(0, 8); edits > 0; --edits) {
        auto& piston =
            console.pistons[in.ConsumeIntegralInRange<std::size_t>(0, console.pistons.size() - 1)];
        piston = {in.ConsumeIntegralInRange<std::int16_t>(0, 129),
                  in.ConsumeIntegralInRange<std::int16_t>(0, 17),
                  in.ConsumeIntegral<std::int16_t>(),
                  in.ConsumeIntegralInRange<std::int16_t>(0, 9)};
    }
    return console;
}

// Every event is made of whole messages and names only manuals the console has; a stuck note
// is one keyboard's note-on again.
std::size_t CheckEvents(const std::vector<LiveEvent>& events, int manuals) {
    std::size_t bytes = 0;
    for (const LiveEvent& event : events) {
        Require(!event.bytes.empty(), "an event without bytes");
        for (const LiveElement& element : event.elements)
            Require(element.manual >= 1 && element.manual <= manuals,
                    "an event names a manual the console does not have");
        const bool stuck =
            std::ranges::find(event.problems, LiveProblem::StuckNote) != event.problems.end();
        if (stuck) {
            Require(event.message.kind == MidiKind::NoteOn && event.elements.size() == 1,
                    "a stuck note that is not one keyboard's note-on");
            continue;
        }
        bytes += event.bytes.size();
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const ConsoleModel console = FuzzedConsole(in);
    const int manuals = std::clamp<int>(console.manualCount, 0, kMaxManuals);
    MidiStreamParser parser;
    LiveAttribution attribution(console);
    Bytes stream;
    std::vector<Bytes> delivered;
    Bytes realtime;
    double now = 0;
    std::size_t fed = 0;
    std::size_t attributed = 0;
    bool longSent = false;
    while (in.remaining_bytes() > 0) {
        // A chunk as the driver hands it over, now and then many times over, or once an input
        // as a SysEx message about as long as the longest kept, whose F7 may come next; and the
        // time that passed before it.
        const Bytes chunk = in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange(1, 64));
        const int kind = in.ConsumeIntegralInRange(0, 31);
        std::vector<Bytes> pieces(kind == 30 ? 16 : 1, chunk);
        if (kind == 31 && !longSent) {
            longSent = true;
            Bytes& run = pieces.front();
            run.resize(MidiStreamParser::kMaxSysExLength - 2 + in.ConsumeIntegralInRange(0, 2));
            for (std::size_t i = 1; i < run.size(); ++i)
                run[i] =
                    chunk.empty() ? 0 : static_cast<std::uint8_t>(chunk[i % chunk.size()] & 0x7F);
            run.front() = kSysExStart;
        }
        const float later = in.ConsumeBool() ? static_cast<float>(in.ConsumeIntegralInRange(0, 40))
                                             : std::abs(in.ConsumeFloatingPoint<float>());
        if (later < 1e9F) now += later;
        if (in.ConsumeBool()) attributed += CheckEvents(attribution.Advance(now), manuals);
        for (const Bytes& piece : pieces) {
            // A repeated chunk comes a millisecond after the one before, as fast as USB goes.
            now += &piece == &pieces.front() ? 0 : 1;
            stream.insert(stream.end(), piece.begin(), piece.end());
            for (Bytes& message : parser.Feed(piece)) {
                const MidiMessage decoded = DecodeMessage(message);
                Require(decoded.bytes == message, "a whole message decodes to other bytes");
                fed += message.size();
                attributed += CheckEvents(attribution.Feed(now, decoded), manuals);
                if (message.front() >= kFirstRealtime) {
                    Require(message.size() == 1, "a realtime message of more than one byte");
                    realtime.push_back(message.front());
                } else {
                    delivered.push_back(std::move(message));
                }
            }
        }
    }
    attributed += CheckEvents(attribution.Finish(now), manuals);
    Require(attributed == fed, "the events do not hold every message once");
    Require(attribution.Finish(now).empty(), "events remain after monitoring stopped");

    Bytes sent;
    std::ranges::copy_if(stream, std::back_inserter(sent),
                         [](std::uint8_t b) { return b >= kFirstRealtime; });
    Require(realtime == sent, "realtime bytes are lost, added or reordered");
    Require(delivered == MessagesByTheRules(stream), "the messages delivered are not those sent");
    return 0;
}
