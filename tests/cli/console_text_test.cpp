#include "model/console_sheet.h"
#include "model/console_text.h"
#include "tests/cli/cli_fixture.h"
#include "tools/cli/file_commands.h"

#include <QDate>

#include <regex>

namespace vtl::cli {
namespace {

// Every sentence about a piston, a keyboard's channels and a shoe, short and long; a group or
// function outside its list is named by its place counted from 1.
TEST(ConsoleWords, EveryElementShortAndLong) {
    using namespace words;
    const FunctionCatalogue catalogue = BuildCatalogue();
    using Texts = std::vector<std::string>;
    const struct {
        PistonInfo piston; // program, channel, type, group
        Texts texts;       // code, label, description, group name
    } pistons[] = {
        {{9, 3, 9, kGeneralGroup},
         {"B4", "Gen B4 ch 3", "Ahlborn General: Memory B General #4 on channel 3",
          "Ahlborn General"}},
        {{12, 10, 0, kProgramChangeGroup},
         {"12", "PC 12 ch 10", "Hauptwerk/Program Change function: program 12 on channel 10",
          "Hauptwerk/Program Change function"}},
        {{0, 1, 0, kSetGroup},
         {"S", "SET ch 1", "Ahlborn SET: SET piston on channel 1", "Ahlborn SET"}},
        {{0, 2, 0, kSfzGroup},
         {"Sf", "SFZ ch 2", "Ahlborn SFZ: SFZ piston on channel 2", "Ahlborn SFZ"}},
        {{2, 1, 2, kCouplerGroup},
         {"3", "Cpl 3 ch 1", "Ahlborn Coupler: B to A coupler on channel 1", "Ahlborn Coupler"}},
        {{60, 3, 60, kTrevaGroup},
         {"61", "TREVA 61 ch 3", "TREVA function: function 61 on channel 3", "TREVA function"}},
        {{30, 4, 30, kGeneralGroup},
         {"31", "Gen 31 ch 4", "Ahlborn General: function 31 on channel 4", "Ahlborn General"}},
        {{4, 5, 4, 12}, {"", "Unassigned", "group 13: function 5 on channel 5", "group 13"}},
        {{0, 0, 0, kNeverSetGroup}, {"", "Unassigned", "Unassigned", "Unassigned"}},
    };
    for (const auto& [piston, texts] : pistons) {
        EXPECT_EQ(
            (Texts{PistonCode(piston), PistonLabel(piston), PistonDescription(piston, catalogue),
                   GroupName(piston.functionGroup, catalogue)}),
            texts);
    }
    const struct {
        std::int32_t channels;
        Texts texts; // set, label
    } channelSets[] = {
        {0x10000, {"none", "No channel"}},
        {0xffff, {"1-16", "Ch 1-16"}},
        {0x3, {"1, 2", "Ch 1, 2"}},
        {0xf3, {"1, 2, 5-8", "Ch 1, 2, 5-8"}},
        {0x8001, {"1, 16", "Ch 1, 16"}},
        {0xe000, {"14-16", "Ch 14-16"}},
        {0x7004, {"3, 13-15", "Ch 3, 13-15"}},
        {0x5555, {"1, 3, 5, 7, 9, 11, 13, 15", "Ch 1, 3, 5, 7, 9, 11, 13, 15"}},
    };
    for (const auto& [channels, texts] : channelSets) {
        EXPECT_EQ((Texts{ChannelSetText(channels), ChannelsLabel(channels)}), texts) << channels;
        EXPECT_EQ(ChannelsDescription(channels), "Division channels: " + texts[0]);
    }
    const struct {
        ShoeInfo shoe; // channel from 0, volume, on
        Texts texts;   // label, description
    } shoes[] = {
        {{4, true, true}, {"Volume, ch 5", "Volume (MIDI Controller 7) on channel 5"}},
        {{15, false, true}, {"Expression, ch 16", "Expression (MIDI Controller 11) on channel 16"}},
        {{4, true, false}, {"Disabled", "Disabled"}},
    };
    for (const auto& [shoe, texts] : shoes)
        EXPECT_EQ((Texts{ShoeLabel(shoe), ShoeDescription(shoe, catalogue)}), texts);
    EXPECT_EQ((Texts{GroupShortName(kProgramChangeGroup), GroupShortName(-1)}),
              (Texts{"Program change", "Unassigned"}));
}

TEST_F(CliTest, ShowPrintsEveryManualInWordsAndWhatTheCheckFinds) {
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
                           "  Piston 4:           TREVA function: function 61 on channel 3\n"
                           "  Piston 5:           Ahlborn Cancel: General Cancel on channel 1\n";
    for (int p = 6; p <= kPistonsPerManual; ++p) {
        expected += "  Piston " + std::to_string(p) + ":" + std::string(p < 10 ? 11 : 10, ' ') +
                    "Unassigned\n";
    }
    expected += "\nConsole check\n  note: Piston 4 of manual 1 has function 61, beyond the list of "
                "its group (TREVA function): it is written as stored, but the piston editor "
                "cannot show it.\n";
    const RunResult shown = Run(kShowCommand, {"small.vtl"});
    EXPECT_EQ(shown.exit, kExitOk);
    EXPECT_EQ(shown.out, expected);
    EXPECT_EQ(shown.err, "");
}

// The sheet's pages as plain text, "|" for a gap between two rail groups.
std::vector<std::string> SheetPages(const std::string& html) {
    const std::regex pageBreak("<[^>]*page-break-before[^>]*>");
    std::vector<std::string> pages;
    for (std::sregex_token_iterator p(html.begin(), html.end(), pageBreak, -1), end; p != end;
         ++p) {
        std::string text = std::regex_replace(p->str(), std::regex("<[^>]*>|\\s+"), " ");
        text = std::regex_replace(text, std::regex("&nbsp;"), "|");
        pages.push_back(std::regex_replace(text, std::regex(" +"), " "));
    }
    return pages;
}

TEST(ConsoleSheet, SampleManualsOnPagesOfTheirOwnInWordsAndRailGroups) {
    ConsoleModel model;
    ASSERT_TRUE(LoadConfigFile(model, VTL_SAMPLES_DIR "/three-manuals.vtl"));
    const std::string html = ConsoleSheetHtml(model, BuildCatalogue(), "A&B.vtl", "2026-12-07");
    const std::vector<std::string> pages = SheetPages(html);
    ASSERT_EQ(pages.size(), 3U);
    const struct {
        std::size_t page;
        const char* words;
    } cases[] = {
        {0, "Manual 1 of 3 File: A&amp;B.vtl Date: 2026-12-07 Keyboard Division channels 1, 4 "
            "Shoe Expression shoe Expression (MIDI Controller 11) on channel 1"},
        {0, "Piston 10 Ahlborn SET: SET piston on channel 1 Piston 11 "},
        {1, "Manual 2 of 3 File: A&amp;B.vtl Date: 2026-12-07 Keyboard Division channels 2, 5-8 "
            "Shoe Expression shoe Volume (MIDI Controller 7) on channel 2"},
        {1, "Piston 12 Ahlborn SFZ: SFZ piston on channel 2"},
        {2, "Division channels 3, 13-15 Shoe Expression shoe Disabled"},
        {2, " 1 | 2 3 4 5 6 | 7 | 8 9 10 11 12 | 13 14 | 15 16 17 18 19 | 20 "},
        {2, "Piston 18 TREVA function: Reverb - on channel 3 Piston 19 TREVA function: Reverb + "
            "on channel 3 Piston 20 Unassigned"},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(test::Contains(pages[c.page], c.words)) << "page " << c.page + 1;
    // The piston list sets every other rail group on a band.
    std::string bands;
    const std::regex row(R"re(bgcolor="(#\w+)"[^>]*>Piston )re");
    for (std::sregex_iterator r(html.begin(), html.end(), row), end; r != end; ++r)
        bands += (*r)[1] == "#ffffff" ? '-' : '#';
    EXPECT_EQ(bands, "-#####-#####--#####--#####-#####--#####--#####-#####--#####-");
    // What the check finds heads the first page, before the keyboard.
    model.Channels(3) = model.Channels(1);
    const std::vector<std::string> checked =
        SheetPages(ConsoleSheetHtml(model, BuildCatalogue(), "A&B.vtl", "2026-12-07"));
    ASSERT_EQ(checked.size(), 3U);
    const std::string played = " so the organ cannot tell which keyboard played. ";
    EXPECT_TRUE(test::Contains(checked[0], "Date: 2026-12-07 Console check Warning Manuals 1 and 3 "
                                           "both send their notes on channel 1," +
                                               played +
                                               "Warning Manuals 1 and 3 both send their notes "
                                               "on channel 4," +
                                               played + "Keyboard"));
    EXPECT_FALSE(test::Contains(checked[1] + checked[2], "Console check"));
}

TEST_F(CliTest, ShowHtmlPrintsTheSheetHeadedWithTheFileNameAndToday) {
    Save(SmallConsole(), "small.vtl");
    const auto sheet = [] {
        return ConsoleSheetHtml(SmallConsole(), BuildCatalogue(), "small.vtl",
                                QDate::currentDate().toString(Qt::ISODate).toStdString());
    };
    const std::string before = sheet();
    const RunResult shown = Run(
        kShowCommand,
        {QString::fromStdU16String(std::filesystem::absolute("small.vtl").u16string()), "--html"});
    EXPECT_EQ(shown.exit, kExitOk);
    EXPECT_TRUE(shown.out == before || shown.out == sheet()) << shown.out;
}

TEST_F(CliTest, DiffListsDifferingLinesAndExitsOneWhenDifferent) {
    Save(SmallConsole(), "small.vtl");
    ConsoleModel changed = SmallConsole();
    changed.Shoe(1).expressionOn = false;
    changed.Piston(1, 1).programNumber = 13;
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
