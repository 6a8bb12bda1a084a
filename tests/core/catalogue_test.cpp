// The function catalogue: list sizes, exact names, and the MCU code of every listed
// function in both directions.

#include "model/catalogue.h"
#include "model/function_codes.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vtl {
namespace {

TEST(Catalogue, ListsHaveTheirSizes) {
    const auto catalogue = BuildCatalogue();
    EXPECT_EQ(catalogue.functionGroupNames.count(), 9);
    EXPECT_EQ(catalogue.shoeTypeNames.count(), 3);
    const int typeCounts[] = {6, 3, 4, 30, 1, 1, 3, 56, 0, 0};
    for (int g = 0; g < 10; ++g) {
        EXPECT_EQ(catalogue.functionTypeNames[static_cast<std::size_t>(g)].count(), typeCounts[g])
            << "group " << g;
    }
}

// Whole lists where they are short, telling rows of the long TREVA list.
TEST(Catalogue, NamesAreSpelledExactly) {
    const auto catalogue = BuildCatalogue();
    const auto& types = catalogue.functionTypeNames;
    const struct {
        const NameList& list;
        int first;
        std::vector<std::string_view> names; // from index first on; "" = outside the list
    } cases[] = {
        {catalogue.functionGroupNames,
         0,
         {"Ahlborn Coupler", "Ahlborn Tremulant", "Ahlborn Cancel", "Ahlborn General",
          "Ahlborn SET", "Ahlborn SFZ", "Hauptwerk/Program Change function", "TREVA function",
          "Unassigned", ""}}, // a never-set piston (group 9) matches no group
        {catalogue.shoeTypeNames,
         0,
         {"Disabled", "Volume (MIDI Controller 7)", "Expression (MIDI Controller 11)"}},
        {types[kCouplerGroup],
         0,
         {"A to Pd coupler", "B to Pd coupler", "B to A coupler", "A to B coupler",
          "A to Aux coupler", "B to Aux coupler"}},
        {types[kTremulantGroup], 0, {"Swell Tremulant", "Great Tremulant", "Choir Tremulant"}},
        {types[kCancelGroup],
         0,
         {"General Cancel", "Swell Division Cancel", "Great Division Cancel",
          "Choir Division Cancel"}},
        {types[kGeneralGroup], 0, {"Memory A General #1"}},
        {types[kGeneralGroup], 5, {"Memory A General #6", "Memory B General #1"}},
        {types[kGeneralGroup], 29, {"Memory E General #6", ""}},
        {types[kSetGroup], 0, {"SET piston"}},
        {types[kSfzGroup], 0, {"SFZ piston"}},
        {types[kProgramChangeGroup],
         0,
         {"Registration Frame UP", "Registration Frame DOWN", "Piston"}},
        {types[kTrevaGroup], -1, {"", "Left", "Up", "Center", "Down", "Right"}},
        {types[kTrevaGroup], 13, {"Swell to Great", "Swell To Pedal"}},
        {types[kTrevaGroup], 22, {"Panic", "Free Memory #1"}},
        {types[kTrevaGroup], 32, {"Free Memory #10", "Fixed Memory #1"}},
        {types[kTrevaGroup], 44, {"Fixed Memory #12", "Go Flues Mute"}},
        {types[kTrevaGroup], 49, {"Unused", "Temper Type -"}},
        {types[kTrevaGroup], 54, {"Reverb -", "Reverb +", ""}},
    };
    for (const auto& c : cases) {
        for (std::size_t i = 0; i < c.names.size(); ++i) {
            const int index = c.first + static_cast<int>(i);
            EXPECT_EQ(c.list.name(index), c.names[i]) << "index " << index;
        }
    }
}

// The code of every function of groups 0 to 5, and back: no other byte is a function.
TEST(Catalogue, FunctionCodesGoBothWays) {
    std::vector<std::vector<int>> codes = {
        {4, 5, 16, 23, 24, 25}, {87, 88, 89}, {160, 90, 91, 92}, {}, {94}, {95}};
    for (int type = 0; type < 30; ++type)
        codes[kGeneralGroup].push_back(129 + type);

    std::vector<bool> listed(256, false);
    for (int group = 0; group < static_cast<int>(codes.size()); ++group) {
        for (int type = 0; type < static_cast<int>(codes[group].size()); ++type) {
            const int code = codes[group][static_cast<std::size_t>(type)];
            EXPECT_EQ(FunctionCode(group, type), code) << "group " << group << " type " << type;
            const auto back = FunctionFromCode(code);
            ASSERT_TRUE(back.has_value()) << code;
            EXPECT_EQ(std::pair(back->group, back->type), std::pair(group, type)) << code;
            listed[static_cast<std::size_t>(code)] = true;
        }
    }
    for (int code = -1; code <= 256; ++code) {
        if (code >= 0 && code < 256 && listed[static_cast<std::size_t>(code)]) continue;
        EXPECT_FALSE(FunctionFromCode(code).has_value()) << "code " << code;
    }
}

} // namespace
} // namespace vtl
