#include "model/catalogue.h"

namespace vtl {
namespace {

using namespace std::string_view_literals;

constexpr std::array kGroupNames{
    "Ahlborn Coupler"sv,
    "Ahlborn Tremulant"sv,
    "Ahlborn Cancel"sv,
    "Ahlborn General"sv,
    "Ahlborn SET"sv,
    "Ahlborn SFZ"sv,
    "Hauptwerk/Program Change function"sv,
    "TREVA function"sv,
    "Unassigned"sv,
};

constexpr std::array kCouplers{
    "A to Pd coupler"sv, "B to Pd coupler"sv,  "B to A coupler"sv,
    "A to B coupler"sv,  "A to Aux coupler"sv, "B to Aux coupler"sv,
};

constexpr std::array kTremulants{"Swell Tremulant"sv, "Great Tremulant"sv, "Choir Tremulant"sv};

constexpr std::array kCancels{"General Cancel"sv, "Swell Division Cancel"sv,
                              "Great Division Cancel"sv, "Choir Division Cancel"sv};

constexpr std::array kGenerals{
    "Memory A General #1"sv, "Memory A General #2"sv, "Memory A General #3"sv,
    "Memory A General #4"sv, "Memory A General #5"sv, "Memory A General #6"sv,
    "Memory B General #1"sv, "Memory B General #2"sv, "Memory B General #3"sv,
    "Memory B General #4"sv, "Memory B General #5"sv, "Memory B General #6"sv,
    "Memory C General #1"sv, "Memory C General #2"sv, "Memory C General #3"sv,
    "Memory C General #4"sv, "Memory C General #5"sv, "Memory C General #6"sv,
    "Memory D General #1"sv, "Memory D General #2"sv, "Memory D General #3"sv,
    "Memory D General #4"sv, "Memory D General #5"sv, "Memory D General #6"sv,
    "Memory E General #1"sv, "Memory E General #2"sv, "Memory E General #3"sv,
    "Memory E General #4"sv, "Memory E General #5"sv, "Memory E General #6"sv,
};

constexpr std::array kSet{"SET piston"sv};
constexpr std::array kSfz{"SFZ piston"sv};

constexpr std::array kProgramChanges{"Registration Frame UP"sv, "Registration Frame DOWN"sv,
                                     "Piston"sv};

constexpr std::array kTreva{
    "Left"sv,
    "Up"sv,
    "Center"sv,
    "Down"sv,
    "Right"sv,
    "Great Flues"sv,
    "Swell Flues"sv,
    "Great Mixture"sv,
    "Great Reeds"sv,
    "Swell Reeds"sv,
    "Pedal Stops"sv,
    "Great To Swell"sv,
    "Great To Pedal"sv,
    "Swell to Great"sv,
    "Swell To Pedal"sv,
    "Clear"sv,
    "Rec"sv,
    "Thru"sv,
    "Reset"sv,
    "Trem. Swell"sv,
    "Cancel"sv,
    "Trem. Great"sv,
    "Panic"sv,
    "Free Memory #1"sv,
    "Free Memory #2"sv,
    "Free Memory #3"sv,
    "Free Memory #4"sv,
    "Free Memory #5"sv,
    "Free Memory #6"sv,
    "Free Memory #7"sv,
    "Free Memory #8"sv,
    "Free Memory #9"sv,
    "Free Memory #10"sv,
    "Fixed Memory #1"sv,
    "Fixed Memory #2"sv,
    "Fixed Memory #3"sv,
    "Fixed Memory #4"sv,
    "Fixed Memory #5"sv,
    "Fixed Memory #6"sv,
    "Fixed Memory #7"sv,
    "Fixed Memory #8"sv,
    "Fixed Memory #9"sv,
    "Fixed Memory #10"sv,
    "Fixed Memory #11"sv,
    "Fixed Memory #12"sv,
    "Go Flues Mute"sv,
    "Sw Flues Mute"sv,
    "Go Reeds Mute"sv,
    "Sw Reeds Mute"sv,
    "Unused"sv,
    "Temper Type -"sv,
    "Temper Type +"sv,
    "Temper Key -"sv,
    "Temper Key +"sv,
    "Reverb -"sv,
    "Reverb +"sv,
};

constexpr std::array kShoeTypes{"Disabled"sv, "Volume (MIDI Controller 7)"sv,
                                "Expression (MIDI Controller 11)"sv};

} // namespace

FunctionCatalogue BuildCatalogue() {
    FunctionCatalogue c;
    c.functionGroupNames = NameList(kGroupNames);
    c.functionTypeNames[kCouplerGroup] = NameList(kCouplers);
    c.functionTypeNames[kTremulantGroup] = NameList(kTremulants);
    c.functionTypeNames[kCancelGroup] = NameList(kCancels);
    c.functionTypeNames[kGeneralGroup] = NameList(kGenerals);
    c.functionTypeNames[kSetGroup] = NameList(kSet);
    c.functionTypeNames[kSfzGroup] = NameList(kSfz);
    c.functionTypeNames[kProgramChangeGroup] = NameList(kProgramChanges);
    c.functionTypeNames[kTrevaGroup] = NameList(kTreva);
    c.shoeTypeNames = NameList(kShoeTypes);
    return c;
}

} // namespace vtl
