#pragma once
// The console in words for an organ builder. Each manual becomes a list of labelled lines
// (its division channels, its shoe, its twenty pistons); the command line's show and diff
// and the printed console sheet all use them, so they always speak the same way.

#include "model/catalogue.h"
#include "model/console_model.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vtl {

struct TextLine {
    std::string label; // "Division channels", "Expression shoe", "Piston 1" ... "Piston 20"
    std::string text;
};

// A run of neighbouring pistons on a manual's rail, as 0-based first and last piston.
struct PistonGroup {
    int first;
    int last;
};
// The rail's groups from left to right, set apart by wider gaps: one piston at each end
// (usually SET on the left and General Cancel on the right), five, one, five, two and five
// between them.
inline constexpr std::array<PistonGroup, 7> kRailGroups{
    {{0, 0}, {1, 5}, {6, 6}, {7, 11}, {12, 13}, {14, 18}, {19, 19}}};

// "1, 2, 5-8": single channels and pairs one by one, longer runs as a range; "none".
std::string ChannelSetText(std::int32_t channels);

// "Disabled", or the shoe's kind from the catalogue and its 1-based channel.
std::string ShoeText(const shoeInfo& shoe, const FunctionCatalogue& catalogue);

// "Unassigned", or the group and function (a program change: its program number) and the
// channel. A group or type outside the catalogue's lists shows as its number.
std::string PistonText(const pistonInfo& piston, const FunctionCatalogue& catalogue);

// The lines of manual 1 to 3: division channels, expression shoe, pistons 1 to 20.
std::vector<TextLine> DescribeManual(const ConsoleModel& model, int manual,
                                     const FunctionCatalogue& catalogue);

// The number of manuals the model's file holds, never more than a console can have.
int ManualsIn(const ConsoleModel& model);

} // namespace vtl
