#pragma once
// Which of the organ's manuals, enclosures and generals each element of the console plays in
// GrandOrgue, and the MIDI events GrandOrgue must listen for to follow it.

#include "grandorgue/organ_definition.h"
#include "model/console_model.h"
#include "sysex/result.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vtl {

// GrandOrgue's own programmable generals, [SetterGeneral0] to [SetterGeneral49].
inline constexpr int kSetterGenerals = 50;

// The user's choices; console manuals left out take the default.
struct MappingChoice {
    std::map<int, int> manuals; // console manual → the organ's manual number
    std::map<int, int> shoes;   // console manual → the organ's enclosure number
    std::string device;         // GrandOrgue's device name; empty for any device
    // program and channel → the general's place among the organ's generals and then
    // GrandOrgue's programmable ones (1 is the organ's first general)
    std::map<std::pair<int, int>, int> generals;
};

struct PistonPlace {
    int manual = 0; // 1-based
    int piston = 0; // 1-based, as a user counts
};

struct MappedKeyboard {
    int manual = 0;
    std::vector<int> channels; // 1 to 16, one Note event each
    OrganPart target;
};

struct MappedShoe {
    int manual = 0;
    int controller = 0;
    int channel = 0; // 1 to 16
    OrganPart target;
};

struct MappedGeneral {
    std::vector<PistonPlace> pistons; // those sending this program on this channel
    int program = 0;                  // 1 to 128
    int channel = 0;
    int place = 0;          // among the organ's generals, then GrandOrgue's programmable ones
    std::string section;    // "General003" or "SetterGeneral0"
    std::string targetName; // "General 3 (Tutti)", "Setter general 1"
};

struct OrganMapping {
    std::string device;
    std::string churchName;
    std::vector<MappedKeyboard> keyboards;
    std::vector<MappedShoe> shoes;
    std::vector<MappedGeneral> generals;
    std::vector<std::string> unmapped; // what fits nowhere, in words
};

// The mapping of manuals 1 to manualCount: console manual m plays the organ's manual m and its
// shoe enclosure m where the organ has them; a program-change piston fires general p, or
// GrandOrgue's programmable general (p − the organ's generals) while there is one. A choice
// naming a manual, enclosure or general the organ lacks is an error in one line.
Expected<OrganMapping> MapConsole(const ConsoleModel& console, const OrganDefinition& organ,
                                  const MappingChoice& choice);

// What a console element can play in the organ, in the order GrandOrgue shows them: its
// manuals, its enclosures, or its generals followed by GrandOrgue's programmable ones. The
// number is what MappingChoice takes.
enum class TargetKind { Manual, Enclosure, General };
struct OrganTarget {
    int number = 0;
    std::string words; // "Great", "Enclosure002", "General 3 (Tutti)", "Setter general 1"
};
std::vector<OrganTarget> Targets(const OrganDefinition& organ, TargetKind kind);

// Each mapped element in words, left of the arrow: "Manual 1, keyboard, channels 1, 4".
std::string ElementWords(const MappedKeyboard& keyboard);
std::string ElementWords(const MappedShoe& shoe);
std::string ElementWords(const MappedGeneral& general);

// The mapping in words, a line each: "Manual 1, keyboard, channels 1, 4 → Great", and what
// is left unmapped.
std::vector<std::string> DescribeMapping(const OrganMapping& mapping);

// "Manual001" of kind "Manual" and number 1.
std::string SectionName(std::string_view kind, int number);

} // namespace vtl
