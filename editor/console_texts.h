#pragma once
// The console's settings as the view shows them at a glance (piston colours and short labels)
// and as a screen reader says them.

#include "model/catalogue.h"
#include "model/piston_info.h"
#include "model/shoe_info.h"

#include <QColor>
#include <QString>

#include <cstdint>

namespace vtl {

// The face colour of a piston of the group; a group outside 0 to 7 is unassigned (white).
QColor GroupColour(int group);
// The group's name in the legend, such as "General" or "Program change".
QString GroupShortName(int group);

// What the piston's face shows: its function within the group ("3", "B4" for Memory B
// General #4, "S" for SET, "Sf" for SFZ, the program "12"); empty when unassigned.
QString PistonCode(const pistonInfo& piston);
// One short line: "Gen B4 ch 3", "PC 12 ch 10", "Unassigned".
QString PistonLabel(const pistonInfo& piston);
// In words: "Ahlborn General, Memory B General #4, MIDI channel 3".
QString PistonDescription(const pistonInfo& piston, const FunctionCatalogue& catalogue);

// Bits 0 to 15 of the set as channels 1 to 16: "Ch 1, 3", "Ch 1-8, 16", "No channel".
QString ChannelsLabel(std::int32_t channels);
// "Sends on MIDI channels 1, 3 and 5 to 8", "Sends on no MIDI channel".
QString ChannelsDescription(std::int32_t channels);

// "Volume, ch 5", "Expression, ch 16", "Disabled".
QString ShoeLabel(const shoeInfo& shoe);
// "Volume (MIDI Controller 7) on MIDI channel 5", "Disabled".
QString ShoeDescription(const shoeInfo& shoe, const FunctionCatalogue& catalogue);

} // namespace vtl
