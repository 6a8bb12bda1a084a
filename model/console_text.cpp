#include "model/console_text.h"

#include <algorithm>
#include <string_view>

namespace vtl {
namespace {

constexpr std::string_view kChannelsLabel = "Division channels";

struct GroupWords {
    std::string_view shortName; // in the legend
    std::string_view prefix;    // of the short label
};

// By function group; the last row stands for every unassigned piston.
constexpr std::array<GroupWords, kUnassignedGroup + 1> kGroupWords{{
    {"Coupler", "Cpl"},
    {"Tremulant", "Trem"},
    {"Cancel", "Cncl"},
    {"General", "Gen"},
    {"SET", "SET"},
    {"SFZ", "SFZ"},
    {"Program change", "PC"},
    {"TREVA", "TREVA"},
    {"Unassigned", ""},
}};

constexpr int kGeneralsPerMemory = 6;
constexpr int kMemories = 5;

const GroupWords& WordsOf(int group) {
    return kGroupWords[static_cast<std::size_t>(words::ShownGroup(group))];
}

// A 0-based model index as a user counts it.
std::string Place(int index) {
    return std::to_string(index + 1);
}

bool HasChannel(std::int32_t channels, int channel) {
    return (channels >> channel & 1) != 0;
}

// "1, 2, 5-8"; empty for no channel.
std::string ChannelRuns(std::int32_t channels) {
    std::string text;
    for (int first = 0; first < kChannelCount;) {
        if (!HasChannel(channels, first)) {
            ++first;
            continue;
        }
        int last = first;
        while (last + 1 < kChannelCount && HasChannel(channels, last + 1))
            ++last;
        for (int c = first; c <= last; ++c) {
            if (!text.empty()) text += ", ";
            text += Place(c);
            if (last - first >= 2) {
                text += "-" + Place(last);
                break;
            }
        }
        first = last + 1;
    }
    return text;
}

std::string FunctionName(const PistonInfo& piston, const FunctionCatalogue& catalogue) {
    const int group = piston.functionGroup;
    if (group == kProgramChangeGroup) return "program " + std::to_string(piston.programNumber);
    const auto& lists = catalogue.functionTypeNames;
    const std::string_view name =
        group >= 0 && group < static_cast<int>(lists.size())
            ? lists[static_cast<std::size_t>(group)].Name(piston.functionType)
            : std::string_view{};
    return name.empty() ? words::UnlistedFunctionName(piston.functionType) : std::string(name);
}

} // namespace

namespace words {

int ShownGroup(int group) {
    return group >= 0 && group < kUnassignedGroup ? group : kUnassignedGroup;
}

std::string GroupShortName(int group) {
    return std::string(WordsOf(group).shortName);
}

std::string GroupName(int group, const FunctionCatalogue& catalogue) {
    const std::string_view name =
        catalogue.functionGroupNames.Name(group == kNeverSetGroup ? kUnassignedGroup : group);
    return name.empty() ? "group " + Place(group) : std::string(name);
}

std::string UnlistedFunctionName(int functionType) {
    return "function " + Place(functionType);
}

std::string ChannelName(int channel) {
    return "channel " + std::to_string(channel);
}

std::string PistonCode(const PistonInfo& piston) {
    const int t = piston.functionType;
    switch (ShownGroup(piston.functionGroup)) {
    case kGeneralGroup:
        // Memory A to E, generals 1 to 6.
        if (t >= 0 && t < kMemories * kGeneralsPerMemory) {
            return static_cast<char>('A' + t / kGeneralsPerMemory) + Place(t % kGeneralsPerMemory);
        }
        return Place(t);
    case kSetGroup:
        return "S";
    case kSfzGroup:
        // As sforzando is marked; a third letter would not fit the face at a readable size.
        return "Sf";
    case kProgramChangeGroup:
        return std::to_string(piston.programNumber);
    case kUnassignedGroup:
        return {};
    default:
        return Place(t);
    }
}

std::string PistonLabel(const PistonInfo& piston) {
    const int g = ShownGroup(piston.functionGroup);
    if (g == kUnassignedGroup) return GroupShortName(g);
    std::string label(WordsOf(g).prefix);
    if (g != kSetGroup && g != kSfzGroup) label += " " + PistonCode(piston);
    return label + " ch " + std::to_string(piston.midiChannel);
}

std::string PistonDescription(const PistonInfo& piston, const FunctionCatalogue& catalogue) {
    const int g = piston.functionGroup;
    if (g == kUnassignedGroup || g == kNeverSetGroup) return GroupName(g, catalogue);
    return GroupName(g, catalogue) + ": " + FunctionName(piston, catalogue) + " on " +
           ChannelName(piston.midiChannel);
}

std::string ChannelSetText(std::int32_t channels) {
    const std::string runs = ChannelRuns(channels);
    return runs.empty() ? "none" : runs;
}

std::string ChannelsLabel(std::int32_t channels) {
    const std::string runs = ChannelRuns(channels);
    return runs.empty() ? "No channel" : "Ch " + runs;
}

std::string ChannelsDescription(std::int32_t channels) {
    return std::string(kChannelsLabel) + ": " + ChannelSetText(channels);
}

std::string ShoeLabel(const ShoeInfo& shoe) {
    if (!shoe.expressionOn) return "Disabled";
    return (shoe.volumeControl ? "Volume, ch " : "Expression, ch ") +
           std::to_string(shoe.midiChannel + 1);
}

std::string ShoeDescription(const ShoeInfo& shoe, const FunctionCatalogue& catalogue) {
    if (!shoe.expressionOn) return std::string(catalogue.shoeTypeNames.Name(0));
    return std::string(catalogue.shoeTypeNames.Name(shoe.volumeControl ? 1 : 2)) + " on " +
           ChannelName(shoe.midiChannel + 1);
}

} // namespace words

std::vector<TextLine> DescribeManual(const ConsoleModel& model, int manual,
                                     const FunctionCatalogue& catalogue) {
    std::vector<TextLine> lines;
    lines.reserve(2 + kPistonsPerManual);
    lines.push_back({std::string(kChannelsLabel), words::ChannelSetText(model.Channels(manual))});
    lines.push_back({"Expression shoe", words::ShoeDescription(model.Shoe(manual), catalogue)});
    for (int p = 0; p < kPistonsPerManual; ++p) {
        lines.push_back(
            {"Piston " + Place(p), words::PistonDescription(model.Piston(manual, p), catalogue)});
    }
    return lines;
}

int ManualsIn(const ConsoleModel& model) {
    return std::clamp<int>(model.manualCount, 0, kMaxManuals);
}

} // namespace vtl
