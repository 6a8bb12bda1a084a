// The function catalogue: list sizes, a few exact spellings, and the MCU code of every listed
// function in both directions.

#include "model/catalogue.h"
#include "model/function_codes.h"

#include <gtest/gtest.h>

#include <utility>

namespace vtl {
namespace {

TEST(Catalogue, ListSizesAndSpellings) {
    const auto catalogue = BuildCatalogue();
    const auto& types = catalogue.functionTypeNames;
    EXPECT_EQ(catalogue.functionGroupNames.Count(), 9);
    EXPECT_EQ(catalogue.shoeTypeNames.Count(), 3);
    const int typeCounts[] = {6, 3, 4, 30, 1, 1, 3, 56, 0, 0};
    for (std::size_t g = 0; g < types.size(); ++g)
        EXPECT_EQ(types[g].Count(), typeCounts[g]) << "group " << g;

    const struct {
        const NameList& list;
        int index;
        std::string_view name; // "" = outside the list
    } cases[] = {
        {catalogue.functionGroupNames, 6, "Hauptwerk/Program Change function"},
        {catalogue.functionGroupNames, 9, ""}, // a never-set piston matches no group
        {catalogue.shoeTypeNames, 2, "Expression (MIDI Controller 11)"},
        {types[kCouplerGroup], 4, "A to Aux coupler"},
        {types[kGeneralGroup], 6, "Memory B General #1"},
        {types[kTrevaGroup], 14, "Swell To Pedal"},
        {types[kTrevaGroup], 55, "Reverb +"},
        {types[kTrevaGroup], -1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.list.Name(c.index), c.name) << "index " << c.index;
}

// Codes of groups 0 to 5 go both ways, and no other byte is a function.
TEST(Catalogue, FunctionCodesGoBothWays) {
    const auto catalogue = BuildCatalogue();
    int listed = 0;
    for (int group = kCouplerGroup; group <= kSfzGroup; ++group) {
        for (int type = 0; type < catalogue.functionTypeNames[group].Count(); ++type, ++listed) {
            const auto back = FunctionFromCode(FunctionCode(group, type));
            ASSERT_TRUE(back.has_value()) << group << " " << type;
            EXPECT_EQ(std::pair(back->group, back->type), std::pair(group, type));
        }
    }
    int decoded = 0;
    for (int code = -1; code <= 256; ++code)
        decoded += FunctionFromCode(code).has_value();
    EXPECT_EQ(decoded, listed);
    EXPECT_EQ(FunctionCode(kCancelGroup, 0), 160); // the one code out of its group's run
}

} // namespace
} // namespace vtl
