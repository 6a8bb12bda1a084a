#include "model/console_check.h"
#include "tests/core/core_test_support.h"

#include <functional>

namespace vtl {
namespace {

using test::Piston;
using test::Shoe;
using Texts = std::vector<std::string>;

// Three manuals on channels 1, 2 and 3, shoes off, pistons never set: nothing to find.
ConsoleModel QuietConsole() {
    ConsoleModel model;
    model.manualCount = 3;
    for (int m = 1; m <= 3; ++m)
        model.Channels(m) = 1 << (m - 1);
    return model;
}

// "warning shared-division-channel 1k 2k ch5": the severity, the kind, each element (k
// keyboard, s shoe, p piston on the rail) and the channel, program ("pc") or controller ("cc").
std::string Summary(const Finding& finding) {
    std::string text =
        std::string(SeverityName(finding.severity)) + ' ' + std::string(KindName(finding.kind));
    for (const FindingElement& e : finding.elements) {
        text += ' ' + std::to_string(e.manual) +
                (e.kind == FindingElement::Kind::Keyboard ? "k"
                 : e.kind == FindingElement::Kind::Shoe   ? "s"
                                                          : "p" + std::to_string(e.piston));
    }
    for (const auto& [prefix, value] :
         {std::pair{" ch", finding.channel}, {" pc", finding.program}, {" cc", finding.controller}})
        if (value != 0) text += prefix + std::to_string(value);
    return text;
}

TEST(ConsoleCheck, FindsWhatTheOrganCannotTellApartOrNeverHears) {
    const FunctionCatalogue catalogue = BuildCatalogue();
    const struct {
        const char* what;
        std::function<void(ConsoleModel&)> set;
        Texts findings; // as Summary gives them
        Texts texts;    // the sentences, where the row holds them
    } rows[] = {
        {"a quiet console", [](ConsoleModel&) {}, {}, {}},
        {"one channel on three manuals, another on two",
         [](ConsoleModel& c) {
             c.Channels(1) = 0x11;
             c.Channels(2) = 0x12;
             c.Channels(3) = 0x14;
         },
         {"warning shared-division-channel 1k 2k 3k ch5"},
         {"Manuals 1, 2 and 3 all send their notes on channel 5, so the organ cannot tell which "
          "keyboard played."}},
        {"every channel on two manuals: one finding per channel",
         [](ConsoleModel& c) {
             c.manualCount = 2;
             c.Channels(1) = c.Channels(2) = 0xffff;
         },
         [] {
             Texts all;
             for (int ch = 1; ch <= 16; ++ch)
                 all.push_back("warning shared-division-channel 1k 2k ch" + std::to_string(ch));
             return all;
         }(),
         {}},
        {"no channel, and only bits above channel 16",
         [](ConsoleModel& c) {
             c.Channels(3) = 0;
             c.Channels(1) = 0x10000;
         },
         {"warning silent-keyboard 1k", "warning silent-keyboard 3k"},
         {"The keyboard of manual 1 sends on no channel, so it plays nothing.",
          "The keyboard of manual 3 sends on no channel, so it plays nothing."}},
        {"shoes: a disabled one never collides, nor another controller",
         [](ConsoleModel& c) {
             c.Shoe(1) = Shoe(true, true, 4);
             c.Shoe(2) = Shoe(false, true, 4);
             c.Shoe(3) = Shoe(true, true, 4);
         },
         {"warning duplicate-shoe-controller 1s 3s ch5 cc7"},
         {"The shoes of manuals 1 and 3 both send volume (controller 7) on channel 5, so the "
          "organ cannot tell which shoe moved."}},
        {"expression shoes on one channel, a volume shoe beside them",
         [](ConsoleModel& c) {
             c.Shoe(1) = Shoe(true, false, 0);
             c.Shoe(2) = Shoe(true, false, 0);
             c.Shoe(3) = Shoe(true, true, 0);
         },
         {"warning duplicate-shoe-controller 1s 2s ch1 cc11"},
         {}},
        {"programs: the same one anywhere on the console, on another channel, after an "
         "unassigned piston",
         [](ConsoleModel& c) {
             c.Piston(1, 3) = Piston(kProgramChangeGroup, 0, 10, 12);
             c.Piston(1, 6) = Piston(kProgramChangeGroup, 2, 10, 12);
             c.Piston(3, 19) = Piston(kProgramChangeGroup, 99, 10, 12);
             c.Piston(2, 0) = Piston(kProgramChangeGroup, 0, 11, 12);
             c.Piston(2, 1) = Piston(kUnassignedGroup, 0, 10, 12);
         },
         {"warning duplicate-program-change 1p4 1p7 3p20 ch10 pc12"},
         {"Pistons 4 and 7 of manual 1 and piston 20 of manual 3 all send program 12 on "
          "channel 10, so the organ cannot tell them apart."}},
        {"a manual beyond the count never counts",
         [](ConsoleModel& c) {
             c.manualCount = 2;
             c.Piston(1, 0) = Piston(kProgramChangeGroup, 0, 10, 12);
             c.Piston(3, 0) = Piston(kProgramChangeGroup, 0, 10, 12);
             c.Channels(3) = 0;
             c.Shoe(1) = c.Shoe(3) = Shoe(true, true, 0);
         },
         {},
         {}},
        {"functions: the same one twice is noted, never set or a neighbour's is not",
         [](ConsoleModel& c) {
             c.Piston(2, 1) = Piston(kGeneralGroup, 9, 3);
             c.Piston(2, 8) = Piston(kGeneralGroup, 9, 3);
             c.Piston(1, 8) = Piston(kGeneralGroup, 9, 4);
             c.Piston(1, 9) = Piston(kGeneralGroup, 10, 3);
             c.Piston(2, 2) = Piston(kNeverSetGroup, 9, 3);
         },
         {"note duplicate-function 2p2 2p9 ch3"},
         {"Pistons 2 and 9 of manual 2 both send Memory B General #4 (Ahlborn General) on "
          "channel 3, which may be meant."}},
        {"a function outside its list; a program change piston's type never is",
         [](ConsoleModel& c) {
             c.Piston(1, 3) = Piston(kTremulantGroup, 6, 1);
             c.Piston(1, 4) = Piston(kProgramChangeGroup, 40, 1, 41);
         },
         {"note function-outside-list 1p4"},
         {"Piston 4 of manual 1 has function 7, beyond the list of its group (Ahlborn "
          "Tremulant): it is written as stored, but the piston editor cannot show it."}},
        {"warnings first, then by manual and element",
         [](ConsoleModel& c) {
             c.Piston(1, 0) = Piston(kSetGroup, 0, 1);
             c.Piston(3, 0) = Piston(kSetGroup, 0, 1);
             c.Shoe(2) = c.Shoe(3) = Shoe(true, true, 0);
             c.Channels(3) = 0x3;
             c.Piston(2, 5) = Piston(kProgramChangeGroup, 0, 1, 1);
             c.Piston(1, 5) = Piston(kProgramChangeGroup, 0, 1, 1);
         },
         {"warning shared-division-channel 1k 3k ch1",
          "warning duplicate-program-change 1p6 2p6 ch1 pc1",
          "warning shared-division-channel 2k 3k ch2",
          "warning duplicate-shoe-controller 2s 3s ch1 cc7", "note duplicate-function 1p1 3p1 ch1"},
         {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ConsoleModel model = QuietConsole();
        row.set(model);
        const std::vector<Finding> findings = CheckConsole(model, catalogue);
        Texts summaries;
        Texts texts;
        for (const Finding& finding : findings) {
            summaries.push_back(Summary(finding));
            texts.push_back(finding.text);
        }
        EXPECT_EQ(summaries, row.findings);
        if (!row.texts.empty()) {
            EXPECT_EQ(texts, row.texts);
        }
        EXPECT_EQ(HasWarnings(findings), !row.findings.empty() && row.findings[0][0] == 'w');
    }
}

} // namespace
} // namespace vtl
