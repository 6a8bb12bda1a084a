// GrandOrgue's MIDI settings made from the console: the mapping in words, the settings text to
// the key, merging into the user's own settings file, organ files that cannot be read, and
// the name GrandOrgue gives an organ's settings file.

#include "core_test_support.h"

#include "grandorgue/organ_mapping.h"
#include "grandorgue/settings_file.h"
#include "grandorgue/settings_place.h"
#include "model/catalogue.h"

#include <functional>

namespace vtl {
namespace {

using test::Piston;
using test::ReadFile;
using test::Shoe;
using test::WriteFile;

// An organ of the given manuals (Great, Swell, Choir after the Pedal), enclosures and generals;
// the first general is named, the others only numbered as in GrandOrgue's demo organ.
std::string OrganText(int manuals, int enclosures, int generals) {
    const char* names[] = {"Pedal", "Great", "Swell", "Choir"};
    std::string text = "; an organ\r\n[Organ]\r\nChurchName=St. Märien\r\nNumberOfManuals=" +
                       std::to_string(manuals) +
                       "\r\nHasPedals=Y\r\nNumberOfEnclosures=" + std::to_string(enclosures) +
                       "\r\nNumberOfGenerals=" + std::to_string(generals) + "\r\n";
    for (int m = 0; m <= manuals; ++m)
        text += "[" + SectionName("Manual", m) + "]\r\nName=" + names[m] + "\r\n";
    for (int e = 1; e <= enclosures; ++e)
        text += "[" + SectionName("Enclosure", e) + "]\r\nName=Box " + std::to_string(e) + "\r\n";
    for (int g = 1; g <= generals; ++g)
        text += "[" + SectionName("General", g) +
                "]\r\nName=" + (g == 1 ? "Tutti" : std::to_string(g)) + "\r\n";
    return "\xEF\xBB\xBF" + text;
}

OrganDefinition Organ(int manuals, int enclosures, int generals) {
    auto organ = ParseOrganDefinition(OrganText(manuals, enclosures, generals), "test.organ");
    EXPECT_TRUE(organ.has_value()) << organ.error().message;
    return organ ? *organ : OrganDefinition{};
}

// Two manuals on channels 1 and 2, an expression shoe on channel 5 on manual 1.
ConsoleModel Console() {
    ConsoleModel console;
    console.manualCount = 2;
    console.Channels(1) = 0x0001;
    console.Channels(2) = 0x0002;
    console.Shoe(1) = Shoe(true, false, 4);
    return console;
}

TEST(GrandOrgueExport, MapsTheConsoleInWords) {
    struct Case {
        const char* name;
        std::function<void(ConsoleModel&)> setUp;
        OrganDefinition organ;
        MappingChoice choice;
        std::vector<std::string> lines;
    };
    const auto programs = [](ConsoleModel& c, std::vector<std::pair<int, int>> sent) {
        for (std::size_t i = 0; i < sent.size(); ++i)
            c.Piston(1, static_cast<int>(i)) =
                Piston(kProgramChangeGroup, sent[i].first - 1, sent[i].second, sent[i].first);
    };
    const std::vector<Case> cases{
        {"one channel each, a shoe",
         [](ConsoleModel&) {},
         Organ(3, 2, 6),
         {},
         {"Manual 1, keyboard, channels 1 → Great", "Manual 2, keyboard, channels 2 → Swell",
          "Manual 1, shoe, Expression on channel 5 → Box 1"}},
        {"two and sixteen channels, a volume shoe disabled on the other manual",
         [](ConsoleModel& c) {
             c.Channels(1) = 0x0009;
             c.Channels(2) = 0xFFFF;
             c.Shoe(1) = Shoe(false, false, 4);
             c.Shoe(2) = Shoe(true, true, 15);
         },
         Organ(3, 2, 6),
         {},
         {"Manual 1, keyboard, channels 1, 4 → Great", "Manual 2, keyboard, channels 1-16 → Swell",
          "Manual 2, shoe, Volume on channel 16 → Box 2"}},
        {"more programs than generals, two pistons on one program and channel",
         [&](ConsoleModel& c) {
             programs(c, {{1, 16}, {3, 16}, {3, 16}, {3, 15}, {52, 1}, {53, 1}});
         },
         Organ(3, 1, 2),
         {},
         {"Manual 1, keyboard, channels 1 → Great", "Manual 2, keyboard, channels 2 → Swell",
          "Manual 1, shoe, Expression on channel 5 → Box 1",
          "Manual 1, piston 1, program 1 on channel 16 → General 1 (Tutti)",
          "Manual 1, piston 2 and manual 1, piston 3, program 3 on channel 16 → Setter general 1",
          "Manual 1, piston 4, program 3 on channel 15 → Setter general 1",
          "Manual 1, piston 5, program 52 on channel 1 → Setter general 50",
          "Not mapped: Manual 1, piston 6, program 53 on channel 1: the organ has 2 generals and "
          "GrandOrgue 50 programmable ones"}},
        {"generals of the user's choice",
         [&](ConsoleModel& c) {
             programs(c, {{1, 16}, {53, 1}});
         },
         Organ(1, 1, 2),
         {{}, {}, "", {{{1, 16}, 2}, {{53, 1}, 52}}},
         {"Manual 1, keyboard, channels 1 → Great",
          "Manual 1, shoe, Expression on channel 5 → Box 1",
          "Manual 1, piston 1, program 1 on channel 16 → General 2",
          "Manual 1, piston 2, program 53 on channel 1 → Setter general 50",
          "Not mapped: Manual 2, keyboard, channels 2: the organ has no Manual002"}},
        {"a console of one manual on an organ of three, mapped by choice",
         [](ConsoleModel& c) { c.manualCount = 1; },
         Organ(3, 2, 0),
         {{{1, 0}}, {{1, 2}}, "VTL", {}},
         {"Manual 1, keyboard, channels 1 → Pedal",
          "Manual 1, shoe, Expression on channel 5 → Box 2"}},
        {"what the organ lacks by default",
         [](ConsoleModel& c) {
             c.Channels(2) = 0;
             c.Shoe(2) = Shoe(true, false, 0);
         },
         Organ(1, 1, 0),
         {},
         {"Manual 1, keyboard, channels 1 → Great",
          "Manual 1, shoe, Expression on channel 5 → Box 1",
          "Not mapped: Manual 2, keyboard: it sends on no channel",
          "Not mapped: Manual 2, shoe, Expression on channel 1: the organ has no Enclosure002"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ConsoleModel console = Console();
        c.setUp(console);
        const auto mapping = MapConsole(console, c.organ, c.choice);
        ASSERT_TRUE(mapping.has_value()) << mapping.error().message;
        EXPECT_EQ(DescribeMapping(*mapping), c.lines);
    }
}

TEST(GrandOrgueExport, RefusesChoicesTheOrganOrConsoleLacks) {
    const std::vector<std::pair<MappingChoice, std::string>> cases{
        {{{{1, 4}}, {}, "", {}}, "the organ has no Manual004"},
        {{{}, {{2, 3}}, "", {}}, "the organ has no Enclosure003"},
        {{{{3, 1}}, {}, "", {}}, "the console has no manual 3"},
        {{{}, {}, "", {{{1, 16}, 51}}}, "the organ and GrandOrgue have no general 51"},
    };
    for (const auto& [choice, message] : cases) {
        const auto mapping = MapConsole(Console(), Organ(3, 2, 0), choice);
        ASSERT_FALSE(mapping.has_value()) << message;
        EXPECT_EQ(mapping.error().message, message);
    }
}

// Every key GrandOrgue 3.9 needs and no other: one it does not use opens its log window.
TEST(GrandOrgueExport, WritesExactlyTheKeysGrandOrgueReads) {
    ConsoleModel console = Console();
    console.Channels(1) = 0x0009;
    console.Piston(2, 0) = Piston(kProgramChangeGroup, 1, 16, 2);
    const auto mapping = MapConsole(console, Organ(2, 1, 6), {{}, {}, "Console", {}});
    ASSERT_TRUE(mapping.has_value());
    EXPECT_EQ(SettingsText(*mapping),
              "\xEF\xBB\xBF; GrandOrgue 3.9 MIDI settings, written by VTLConfig from the console's "
              "configuration\n\n[Organ]\nChurchName=St. Märien\n"
              "\n[Manual001]\nNumberOfMIDIEvents=2\n"
              "MIDIDevice001=Console\nMIDIEventType001=Note\nMIDIChannel001=1\nMIDIKeyShift001=0\n"
              "MIDIDevice002=Console\nMIDIEventType002=Note\nMIDIChannel002=4\nMIDIKeyShift002=0\n"
              "\n[Manual002]\nNumberOfMIDIEvents=1\n"
              "MIDIDevice001=Console\nMIDIEventType001=Note\nMIDIChannel001=2\nMIDIKeyShift001=0\n"
              "\n[Enclosure001]\nNumberOfMIDIEvents=1\nMIDIDevice001=Console\n"
              "MIDIEventType001=ControlChange\nMIDIChannel001=5\nMIDIKey001=11\n"
              "MIDILowerLimit001=0\nMIDIUpperLimit001=127\n"
              "\n[General002]\nNumberOfMIDIEvents=1\nMIDIDevice001=Console\n"
              "MIDIEventType001=ProgramChange\nMIDIChannel001=16\nMIDIKey001=2\n");
}

// The user's settings, plain and as GrandOrgue rewrites them (gzip), keep every other section
// and key; the mapped sections lose their old events, not their other keys.
TEST(GrandOrgueExport, MergesIntoTheUsersSettings) {
    const std::string kept = "[Organ]\nChurchName=Demo\n\n";
    const std::string stop = "\n[Stop001]\nDefaultToEngaged=Y\n";
    const std::string plain = "\xEF\xBB\xBF" + kept +
                              "[Manual001]\nNumberOfMIDIEvents=1\nMIDIDevice001=Old\n"
                              "MIDIEventType001=Note\nMIDIChannel001=9\nMIDIKeyShift001=0\n"
                              "MIDISendDevice001=x\n" +
                              stop;
    const Bytes gzip = test::Hex(
        "1f 8b 08 00 00 00 00 00 02 03 45 ce 31 0e 83 30 0c 05 d0 dd a7 81 b1 43 26 c2 80 2a c2 "
        "00 4b 85 18 5c 70 08 12 38 28 4d 50 39 5b 87 1e a9 57 28 64 68 47 3f 7f 7d fb f3 7a b7 "
        "95 1b 91 3b c8 4c 70 bd 51 b8 90 90 b4 58 80 b6 44 0e 38 27 49 da 81 0a cb 9d 5c a5 cb "
        "42 16 f9 46 ec 1f 22 85 73 90 b4 4d 3d 1d 19 51 cd 03 fc d6 cd be 46 54 d6 53 d4 cc 20 "
        "33 9d 65 e2 12 e1 4a 7b 6d 26 ed 4f 49 a2 d4 c4 c3 bf ee 79 3c 50 7b bb c6 f3 92 34 86 "
        "d9 37 36 e7 11 47 1a c4 0d be b5 9c 57 5a ba 00 00 00");
    ConsoleModel console = Console();
    console.manualCount = 1;
    console.Shoe(1) = Shoe(false, false, 0);
    const auto mapping = MapConsole(console, Organ(2, 0, 0), {});
    ASSERT_TRUE(mapping.has_value());
    const std::string expected = "\xEF\xBB\xBF" + kept +
                                 "[Manual001]\nNumberOfMIDIEvents=1\nMIDIDevice001=\n"
                                 "MIDIEventType001=Note\nMIDIChannel001=1\nMIDIKeyShift001=0\n"
                                 "MIDISendDevice001=x\n" +
                                 stop;
    for (const std::string& existing : {plain, std::string(gzip.begin(), gzip.end())}) {
        const auto merged = MergeSettings(existing, *mapping, "demo.cmb");
        ASSERT_TRUE(merged.has_value()) << merged.error().message;
        EXPECT_EQ(*merged, expected);
    }
    // A section the file lacks is added at its end; a damaged compressed file is refused.
    const auto added = MergeSettings("\xEF\xBB\xBF[Stop001]\r\nX=1", *mapping, "demo.cmb");
    ASSERT_TRUE(added.has_value());
    EXPECT_EQ(*added, "\xEF\xBB\xBF[Stop001]\r\nX=1\r\n\r\n[Manual001]\r\nNumberOfMIDIEvents=1\r\n"
                      "MIDIDevice001=\r\nMIDIEventType001=Note\r\nMIDIChannel001=1\r\n"
                      "MIDIKeyShift001=0\r\n");
    EXPECT_FALSE(MergeSettings("\x1F\x8B\x08garbage", *mapping, "demo.cmb").has_value());

    // On disk: the previous file stays beside it as a backup.
    test::ScratchFolder folder;
    const auto target = folder / "organ.cmb";
    WriteFile(target, plain);
    ASSERT_TRUE(ExportSettings(target, *mapping).has_value());
    EXPECT_EQ(ReadFile(target), expected);
    EXPECT_EQ(ReadFile(folder / "organ.cmb.bak"), plain);
}

TEST(GrandOrgueExport, RefusesOrganFilesItCannotRead) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", "x.organ: not a GrandOrgue organ file (no [Organ] section)"},
        {"\x89PNG\r\n\x1A\n", "x.organ: not a GrandOrgue organ file (no [Organ] section)"},
        {"[Organ]\nChurchName=X\n", "x.organ: [Organ] NumberOfManuals is missing"},
        {"[Organ]\nNumberOfManuals=two\n", "x.organ: [Organ] NumberOfManuals is not a number"},
        {"[Organ]\nNumberOfManuals=2\nNumberOfGenerals=-1\n",
         "x.organ: [Organ] NumberOfGenerals is not a number"},
    };
    for (const auto& [text, message] : cases) {
        const auto organ = ParseOrganDefinition(text, "x.organ");
        ASSERT_FALSE(organ.has_value()) << message;
        EXPECT_EQ(organ.error().message, message);
    }
    // Without a byte-order mark the text is ISO-8859-1, as GrandOrgue reads it.
    const auto latin1 =
        ParseOrganDefinition("[Organ]\nChurchName=St. M\xE4rien\nNumberOfManuals=0\n", "x");
    ASSERT_TRUE(latin1.has_value());
    EXPECT_EQ(latin1->churchName, "St. Märien");
    test::ScratchFolder folder;
    EXPECT_FALSE(LoadOrgan(folder / "missing.organ").has_value());
    EXPECT_FALSE(LoadOrgan(folder / "missing.orgue").has_value());
}

// The names GrandOrgue gave the demo package and its organ in its cache, and the folders its
// configuration (gzip-compressed, as GrandOrgue writes it) names.
TEST(GrandOrgueExport, NamesTheSettingsFileAsGrandOrgueDoes) {
    const std::string package =
        "/usr/share/GrandOrgue/packages/demo-4232D4C616E4B99145537F02B34D342D4E3E3808.orgue";
    // GrandOrgue's wide characters: four bytes on Linux, two on Windows (a pair beyond U+FFFF).
    EXPECT_EQ(OrganHash(package, WideText::Utf32Le), "1D313A88BDC4262F3C25DE3486D09D96C9C836D9");
    EXPECT_EQ(OrganHash("/home/orgel/Kirchenorgel Ü/x.organ", WideText::Utf32Le),
              "2F89F64E8A073AA15E8143182C7333C3E51E6E26");
    EXPECT_EQ(OrganHash("c:\\users\\orgel\\kirchenorgel ü\\x.organ", WideText::Utf16Le),
              "61AFABC6D10B6EB10A199E609415E5B2CFCBD852");
    EXPECT_EQ(OrganHash("c:\\orgel\\𝄞.organ", WideText::Utf16Le),
              "BFA5461AAB3D0E58990F385FDC92F1E822569897");
    const std::string configText =
        "\xEF\xBB\xBF[Archive001]\nID=4232D4C616E4B99145537F02B34D342D4E3E3808\n"
        "Path=" +
        package + "\n[General]\nSettingPath=/srv/go\n";
    const auto home = PathFromUtf8("/home/orgel");
    const auto documents = PathFromUtf8("/home/orgel/Dokumente");
    EXPECT_EQ(GrandOrgueDataFolder(home, std::nullopt, {}), home / "GrandOrgue" / "Data");
    EXPECT_EQ(GrandOrgueDataFolder(home, documents, {}), documents / "GrandOrgue" / "Data");
    const auto config = ParseGrandOrgueConfig(configText, "GrandOrgueConfig");
    ASSERT_TRUE(config.has_value());
    EXPECT_EQ(GrandOrgueDataFolder(home, documents, *config), PathFromUtf8("/srv/go"));

    LoadedOrgan organ{{}, PathFromUtf8(package), "demo.organ"};
    const auto installed = InstalledSettingsFile(home, organ, *config);
    ASSERT_TRUE(installed.has_value());
    EXPECT_EQ(*installed, home / (HostWideText() == WideText::Utf32Le
                                      ? "C908A13B64A67F3D74E66370E1F988A1492953CC-0.cmb"
                                      : "76E8C79D073E6DC4DAEF565FEC58F986380A140F-0.cmb"));
    EXPECT_FALSE(InstalledSettingsFile(home, organ, {}).has_value());
}

} // namespace
} // namespace vtl
