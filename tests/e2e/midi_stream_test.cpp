// Cutting received bytes into whole messages, whatever pieces the driver delivers them in.

#include "platform/midi_stream.h"
#include "tests/hex_literal.h"

#include <gtest/gtest.h>

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
        {"data after complete short", {"90 40 7f 41 7f"}, {"90 40 7f"}},
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
}

} // namespace
} // namespace vtl
