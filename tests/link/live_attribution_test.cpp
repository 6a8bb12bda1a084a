// Which element sent what arrives: messages fed at given times, and the log lines they make.

#include "link/midi_stream.h"
#include "model/catalogue.h"
#include "model/live_attribution.h"
#include "model/live_text.h"
#include "tests/hex_literal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vtl {
namespace {

// Steps that are not a message: time moves on, or monitoring stops.
constexpr const char* kAdvance = "advance";
constexpr const char* kFinish = "finish";

// Manual 1 sends keys on channels 5 and 6, manuals 2 and 3 both on channel 2. Shoes: manual 1
// volume on channel 3, manual 2 disabled (expression, channel 4), manual 3 expression on
// channel 4. Program 12 on channel 10: piston 5 of manual 1 and piston 3 of manual 3; piston 2
// of manual 2 is a coupler on channel 10 whose stored program is 12 too.
ConsoleModel Console(int manuals) {
    ConsoleModel console;
    console.manualCount = static_cast<std::int16_t>(manuals);
    console.Channels(1) = 0x30;
    console.Channels(2) = console.Channels(3) = 0x02;
    console.Shoe(1) = ShoeInfo{2, true, true};
    console.Shoe(2) = ShoeInfo{3, false, false};
    console.Shoe(3) = ShoeInfo{3, false, true};
    console.Piston(1, 4) = PistonInfo{12, 10, 0, kProgramChangeGroup};
    console.Piston(2, 1) = PistonInfo{12, 10, 12, kCouplerGroup};
    console.Piston(3, 2) = PistonInfo{12, 10, 0, kProgramChangeGroup};
    return console;
}

TEST(LiveAttribution, NamesTheElementsThatCouldHaveSentIt) {
    struct Step {
        double timeMs;
        const char* message; // hex, kAdvance or kFinish
    };
    using Lines = std::vector<std::string>;
    const struct {
        const char* name;
        int manuals;
        std::vector<Step> steps;
        Lines lines;
    } cases[] = {
        {"two channels within 20 ms are one key",
         3,
         {{0, "94 3c 64"}, {15, "95 3c 64"}, {40, "84 3c 00"}, {52, "85 3c 00"}},
         {"      0.0 ms  94 3c 64 95 3c 64  Manual 1, keyboard: C4 on, channels 5, 6",
          "     40.0 ms  84 3c 00 85 3c 00  Manual 1, keyboard: C4 off, channels 5, 6"}},
        {"two channels beyond 20 ms are partial",
         3,
         {{0, "84 3c 00"}, {25, "85 3c 00"}, {50, kAdvance}},
         {"      0.0 ms  84 3c 00  Manual 1, keyboard: C4 off, channel 5  [partial-channels]",
          "     25.0 ms  85 3c 00  Manual 1, keyboard: C4 off, channel 6  [partial-channels]"}},
        {"shared channels are ambiguous",
         3,
         {{0, "91 24 40"}},
         {"      0.0 ms  91 24 40  Manual 2, keyboard or Manual 3, keyboard: C2 on, channel 2  "
          "[ambiguous]"}},
        {"manuals beyond the count send nothing",
         2,
         {{0, "91 24 40"}, {9, "81 24 00"}, {10, "99 24 40"}, {11, "b3 0b 40"}, {12, "c9 0b"}},
         {"      0.0 ms  91 24 40  Manual 2, keyboard: C2 on, channel 2",
          "      9.0 ms  81 24 00  Manual 2, keyboard: C2 off, channel 2",
          "     10.0 ms  99 24 40  C2 on, channel 10  [not-in-configuration]",
          "     11.0 ms  b3 0b 40  Controller 11, value 64, channel 4  [not-in-configuration]",
          "     12.0 ms  c9 0b  Manual 1, piston 5: program 12, channel 10"}},
        {"shoes and pistons",
         3,
         {{0, "b2 07 7f"},
          {1, "b2 0b 7f"},
          {2, "b3 0b 00"},
          {3, "c9 0b"},
          {4, "c9 0c"},
          {5, "f0 7e 7f 06 01 f7"},
          {6, "e0 00 40"}},
         {"      0.0 ms  b2 07 7f  Manual 1, shoe: controller 7, value 127, channel 3",
          "      1.0 ms  b2 0b 7f  Controller 11, value 127, channel 3  [not-in-configuration]",
          "      2.0 ms  b3 0b 00  Manual 3, shoe: controller 11, value 0, channel 4",
          "      3.0 ms  c9 0b  Manual 1, piston 5 or Manual 3, piston 3: program 12, channel 10  "
          "[ambiguous]",
          "      4.0 ms  c9 0c  Program 13, channel 10  [not-in-configuration]",
          "      5.0 ms  f0 7e 7f 06 01 f7  SysEx, 6 bytes",
          "      6.0 ms  e0 00 40  Other message, channel 1"}},
        {"a key held over 30 s is stuck once",
         3,
         {{0, "94 3c 64"},
          {5, "95 3c 64"},
          {30'000, kAdvance},
          {30'001, kAdvance},
          {40'000, kAdvance},
          {41'000, kFinish}},
         {"      0.0 ms  94 3c 64 95 3c 64  Manual 1, keyboard: C4 on, channels 5, 6",
          "  30001.0 ms  94 3c 64 95 3c 64  Manual 1, keyboard: C4 on, channels 5, 6  "
          "[stuck-note]"}},
        {"a key still held at the end is stuck",
         3,
         {{0, "91 40 64"}, {10, "91 41 64"}, {20, "81 41 00"}, {500, kFinish}},
         {"      0.0 ms  91 40 64  Manual 2, keyboard or Manual 3, keyboard: E4 on, channel 2  "
          "[ambiguous]",
          "     10.0 ms  91 41 64  Manual 2, keyboard or Manual 3, keyboard: F4 on, channel 2  "
          "[ambiguous]",
          "     20.0 ms  81 41 00  Manual 2, keyboard or Manual 3, keyboard: F4 off, channel 2  "
          "[ambiguous]",
          "    500.0 ms  91 40 64  Manual 2, keyboard: E4 on, channel 2  [stuck-note]",
          "    500.0 ms  91 40 64  Manual 3, keyboard: E4 on, channel 2  [stuck-note]"}},
        {"a key cut off by the end is partial",
         3,
         {{0, "94 3c 64"}, {1, kFinish}},
         {"      0.0 ms  94 3c 64  Manual 1, keyboard: C4 on, channel 5  [partial-channels]",
          "      1.0 ms  94 3c 64  Manual 1, keyboard: C4 on, channel 5  [stuck-note]"}},
    };
    for (const auto& c : cases) {
        const ConsoleModel console = Console(c.manuals);
        LiveAttribution attribution(console);
        Lines lines;
        for (const Step& step : c.steps) {
            const std::string message = step.message;
            const auto events =
                message == kAdvance ? attribution.Advance(step.timeMs)
                : message == kFinish
                    ? attribution.Finish(step.timeMs)
                    : attribution.Feed(step.timeMs, DecodeMessage(test::Hex(message)));
            for (const LiveEvent& event : events)
                lines.push_back(words::LiveEventLine(event));
        }
        EXPECT_EQ(lines, c.lines) << c.name;
    }
}

} // namespace
} // namespace vtl
