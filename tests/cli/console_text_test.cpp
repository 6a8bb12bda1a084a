#include "model/console_text.h"
#include "tests/cli/cli_fixture.h"
#include "tools/cli/file_commands.h"

namespace vtl::cli {
namespace {

TEST(ChannelSetText, PairsListedRunsOfThreeRanged) {
    const struct {
        std::int32_t channels;
        const char* text;
    } cases[] = {
        {0, "none"},          {0xffff, "1-16"},
        {0x3, "1, 2"},        {0xf3, "1, 2, 5-8"},
        {0x8001, "1, 16"},    {0xe000, "14-16"},
        {0x7004, "3, 13-15"}, {0x5555, "1, 3, 5, 7, 9, 11, 13, 15"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChannelSetText(c.channels), c.text) << c.channels;
}

TEST_F(CliTest, ShowPrintsEveryManualInWords) {
    Save(SmallConsole(), "small.vtl");
    std::string expected = "small.vtl: 1 manual\n"
                           "\n"
                           "Manual 1\n"
                           "  Division channels:  1, 2, 5-8\n"
                           "  Expression shoe:    Volume (MIDI Controller 7) on channel 3\n"
                           "  Piston 1:           Ahlborn Coupler: A to B coupler on channel 1\n"
                           "  Piston 2:           Hauptwerk/Program Change function: program 12 "
                           "on channel 2\n"
                           "  Piston 3:           TREVA function: Panic on channel 16\n"
                           "  Piston 4:           TREVA function: function 60 on channel 3\n"
                           "  Piston 5:           Ahlborn Cancel: General Cancel on channel 1\n";
    for (int p = 6; p <= kPistonsPerManual; ++p) {
        expected += "  Piston " + std::to_string(p) + ":" + std::string(p < 10 ? 11 : 10, ' ') +
                    "Unassigned\n";
    }
    const RunResult shown = Run(kShowCommand, {"small.vtl"});
    EXPECT_EQ(shown.exit, kExitOk);
    EXPECT_EQ(shown.out, expected);
    EXPECT_EQ(shown.err, "");
}

TEST_F(CliTest, DiffListsDifferingLinesAndExitsOneWhenDifferent) {
    Save(SmallConsole(), "small.vtl");
    ConsoleModel changed = SmallConsole();
    changed.shoe(1).expressionOn = false;
    changed.piston(1, 1).programNumber = 13;
    Save(changed, "changed.vtl");
    ConsoleModel two = SmallConsole();
    two.manualCount = 2;
    Save(two, "two.vtl");

    const struct {
        const char* a;
        const char* b;
        int exit;
        const char* out;
    } cases[] = {
        {"small.vtl", "small.vtl", kExitOk, ""},
        {"small.vtl", "changed.vtl", kExitDifferent,
         "Manual 1\n"
         "  Expression shoe: A has \"Volume (MIDI Controller 7) on channel 3\", B has "
         "\"Disabled\"\n"
         "  Piston 2: A has \"Hauptwerk/Program Change function: program 12 on channel 2\", "
         "B has \"Hauptwerk/Program Change function: program 13 on channel 2\"\n"},
        {"two.vtl", "small.vtl", kExitDifferent,
         "Manuals: A has 2, B has 1\nManual 2: only in A\n"},
    };
    for (const auto& c : cases) {
        const RunResult diff = Run(kDiffCommand, {c.a, c.b});
        EXPECT_EQ(diff.exit, c.exit) << c.a << " " << c.b;
        EXPECT_EQ(diff.out, c.out) << c.a << " " << c.b;
        EXPECT_EQ(diff.err, "");
    }
}

} // namespace
} // namespace vtl::cli
