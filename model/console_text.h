#pragma once
// The console in words, written once. Every sentence about a piston, a keyboard's channels or
// a shoe, and every finding of the console check, is made here: the main window's piston
// faces, short labels and screen reader descriptions, the command line's show, check, diff and
// verify and the printed console sheet all say the same. A group or function outside its list is
// named by its place, counted from 1 as a user counts.

#include "model/catalogue.h"
#include "model/console_check.h"
#include "model/console_model.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vtl {

// The words of one element, short and long. They have a namespace of their own so that the
// windows' QString forms (editor/console_texts.h) keep the same names.
namespace words {

// The group a piston shows and encodes as: its own from Coupler to TREVA; Unassigned for a
// piston never set or a group outside the list.
int ShownGroup(int group);
// The group's name in the legend, such as "General" or "Program change".
std::string GroupShortName(int group);
// The group's full name, as the piston editor lists it: "Ahlborn General", "Unassigned" for a
// piston never set, "group 13" outside the list.
std::string GroupName(int group, const FunctionCatalogue& catalogue);
// A function outside its group's list: "function 61".
std::string UnlistedFunctionName(int functionType);
// "channel 5", of a 1-based channel.
std::string ChannelName(int channel);

// What the piston's face shows: its function within the group ("3", "B4" for Memory B
// General #4, "S" for SET, "Sf" for SFZ, the program "12"); empty when unassigned.
std::string PistonCode(const PistonInfo& piston);
// One short line: "Gen B4 ch 3", "PC 12 ch 10", "Unassigned".
std::string PistonLabel(const PistonInfo& piston);
// "Ahlborn General: Memory B General #4 on channel 3", "Hauptwerk/Program Change function:
// program 12 on channel 10", "Unassigned".
std::string PistonDescription(const PistonInfo& piston, const FunctionCatalogue& catalogue);

// Bits 0 to 15 as channels 1 to 16, single channels and pairs one by one, longer runs as a
// range: "1, 2, 5-8"; "none".
std::string ChannelSetText(std::int32_t channels);
// The set under the keyboard: "Ch 1, 3", "Ch 1-8, 16", "No channel".
std::string ChannelsLabel(std::int32_t channels);
// The keyboard's line: "Division channels: 1, 2, 5-8".
std::string ChannelsDescription(std::int32_t channels);

// "Volume, ch 5", "Expression, ch 16", "Disabled".
std::string ShoeLabel(const ShoeInfo& shoe);
// "Volume (MIDI Controller 7) on channel 5", "Disabled".
std::string ShoeDescription(const ShoeInfo& shoe, const FunctionCatalogue& catalogue);

// The console check's sentence of a finding, naming its elements and what they send: "Manuals
// 1 and 2 both send their notes on channel 5, so the organ cannot tell which keyboard played."
std::string FindingSentence(const Finding& finding, const ConsoleModel& model,
                            const FunctionCatalogue& catalogue);

} // namespace words

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

// The lines of manual 1 to 3: division channels, expression shoe, pistons 1 to 20.
std::vector<TextLine> DescribeManual(const ConsoleModel& model, int manual,
                                     const FunctionCatalogue& catalogue);

// The number of manuals the model's file holds, never more than a console can have.
int ManualsIn(const ConsoleModel& model);

} // namespace vtl
