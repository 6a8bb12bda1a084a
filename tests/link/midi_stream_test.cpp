// Cutting received bytes into whole messages, whatever pieces the driver delivers them in.

#include "link/midi_stream.h"
#include "tests/hex_literal.h"

#include <gtest/gtest.h>

#include <tuple>

namespace vtl {
namespace {

// A chunk that stands for a call of reset() instead.
constexpr const char* kReset = "reset";

// Whatever pieces the bytes come in, only whole messages come out; reset() drops a fragment.
TEST(MidiStreamParser, DeliversOnlyWholeMessages) {
    using Texts = std::vector<const char*>;
    const struct {
        const char* name;
        Texts chunks, messages;
    } cases[] = {
        {"sysex whole", {"f0 7e 7f 06 01 f7"}, {"f0 7e 7f 06 01 f7"}},
        {"sysex in pieces", {"f0 01", "02", "03 f7"}, {"f0 01 02 03 f7"}},
        {"two messages in one chunk", {"f0 01 f7 90 40 7f"}, {"f0 01 f7", "90 40 7f"}},
        {"fragment cut by next sysex", {"f0 01 02", "f0 03 f7"}, {"f0 03 f7"}},
        {"fragment cut by short", {"f0 01 90 40 7f"}, {"90 40 7f"}},
        {"fragment never ended", {"f0 01 02"}, {}},
        {"realtime inside sysex", {"f0 01 f8 02 f7"}, {"f8", "f0 01 02 f7"}},
        {"short lengths",
         {"c0 05 d1 10 b2 07 64 f1 22 f2 01 02 f6 fe"},
         {"c0 05", "d1 10", "b2 07 64", "f1 22", "f2 01 02", "f6", "fe"}},
        {"short cut short", {"90 40 c0 05"}, {"c0 05"}},
        {"stray data and end", {"01 02 f7 80 40 00"}, {"80 40 00"}},
        {"running status across messages and reads",
         {"90 40 7f 41", "00 42 7f c0 05 06"},
         {"90 40 7f", "90 41 00", "90 42 7f", "c0 05", "c0 06"}},
        {"realtime inside a short message", {"b0 f8 07 fe 40"}, {"f8", "fe", "b0 07 40"}},
        {"realtime keeps running status", {"c0 05 f8 06"}, {"c0 05", "f8", "c0 06"}},
        {"system message ends running status",
         {"c0 05 f1 22 06 f0 01 f7 07"},
         {"c0 05", "f1 22", "f0 01 f7"}},
        {"lone data byte at the start", {"40", "7f 90 40 7f"}, {"90 40 7f"}},
        {"reset drops a fragment", {"f0 01", kReset, "02 f7"}, {}},
    };
    for (const auto& c : cases) {
        MidiStreamParser parser;
        std::vector<std::string> messages, expected;
        for (const char* chunk : c.chunks) {
            if (chunk == kReset) parser.Reset();
            for (const Bytes& message : parser.Feed(test::Hex(chunk == kReset ? "" : chunk)))
                messages.push_back(BytesToHex(message));
        }
        for (const char* message : c.messages)
            expected.push_back(BytesToHex(test::Hex(message)));
        EXPECT_EQ(messages, expected) << c.name;
    }
    // The longest SysEx message kept comes whole; one byte more and it goes, with the rest of
    // its bytes, however long the device sends them.
    MidiStreamParser parser;
    Bytes longest(MidiStreamParser::kMaxSysExLength, 0x01);
    longest.front() = 0xF0;
    longest.back() = 0xF7;
    EXPECT_EQ(parser.Feed(longest), std::vector<Bytes>{longest});
    Bytes tooLong = longest;
    tooLong.insert(tooLong.begin() + 1, 0x02);
    EXPECT_EQ(parser.Feed(tooLong), std::vector<Bytes>{});
    EXPECT_EQ(parser.Feed(test::Hex("01 f0 02 f7")), std::vector<Bytes>{test::Hex("f0 02 f7")});
}

// What each whole message is; a note-on with velocity 0 is a note-off.
TEST(MidiStreamParser, TellsWhatAMessageIs) {
    const struct {
        const char* message;
        MidiKind kind;
        int channel, first, second;
    } cases[] = {
        {"91 3c 64", MidiKind::NoteOn, 2, 60, 100},
        {"91 3c 00", MidiKind::NoteOff, 2, 60, 0},
        {"8f 24 40", MidiKind::NoteOff, 16, 36, 64},
        {"b4 0b 7f", MidiKind::Controller, 5, 11, 127},
        {"c9 0b", MidiKind::ProgramChange, 10, 12, 0},
        {"f0 7e 01 f7", MidiKind::SysEx, 0, 0, 0},
        {"e0 00 40", MidiKind::Other, 1, 0, 0},
        {"b4 07", MidiKind::Other, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const MidiMessage m = DecodeMessage(test::Hex(c.message));
        const int first = m.note + m.controller + m.program;
        EXPECT_EQ(std::tuple(m.kind, m.channel, first, m.velocity + m.value),
                  std::tuple(c.kind, c.channel, c.first, c.second))
            << c.message;
        EXPECT_EQ(m.bytes, test::Hex(c.message)) << c.message;
    }
    // An input hands a short message over padded to three bytes.
    EXPECT_EQ(DecodeMessage(test::Hex("c9 0b 00")).bytes, test::Hex("c9 0b"));
}

} // namespace
} // namespace vtl
