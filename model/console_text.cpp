#include "model/console_text.h"

#include <algorithm>
#include <cctype>
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

// "a", "a and b", "a, b and c".
std::string Series(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) text += i + 1 == items.size() ? " and " : ", ";
        text += items[i];
    }
    return text;
}

// "piston 3", "pistons 3 and 7" with the word once.
std::string Numbered(std::string_view one, const std::vector<std::string>& numbers) {
    return std::string(one) + (numbers.size() > 1 ? "s " : " ") + Series(numbers);
}

// The elements of a finding, all of one kind: "manuals 1 and 2", "the keyboard of manual 2",
// "the shoes of manuals 1 and 3", "pistons 3 and 7 of manual 1 and piston 12 of manual 2".
std::string ElementNames(const std::vector<FindingElement>& elements) {
    std::vector<std::string> manuals;
    for (const FindingElement& element : elements)
        manuals.push_back(std::to_string(element.manual));
    switch (elements.front().kind) {
    case FindingElement::Kind::Keyboard:
        return manuals.size() > 1 ? Numbered("manual", manuals)
                                  : "the keyboard of manual " + manuals[0];
    case FindingElement::Kind::Shoe:
        return (manuals.size() > 1 ? "the shoes of " : "the shoe of ") +
               Numbered("manual", manuals);
    case FindingElement::Kind::Piston:
        break;
    }
    std::vector<std::string> runs; // the pistons of each manual
    for (auto first = elements.begin(); first != elements.end();) {
        const auto last = std::find_if(first, elements.end(), [&](const FindingElement& e) {
            return e.manual != first->manual;
        });
        std::vector<std::string> pistons;
        for (auto e = first; e != last; ++e)
            pistons.push_back(std::to_string(e->piston));
        runs.push_back(Numbered("piston", pistons) + " of manual " + std::to_string(first->manual));
        first = last;
    }
    return Series(runs);
}

// The elements as a sentence's subject, with "both" or "all" before what they do.
std::string Subject(const std::vector<FindingElement>& elements) {
    std::string text = ElementNames(elements);
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text + (elements.size() > 2 ? " all" : " both");
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

std::string FindingSentence(const Finding& finding, const ConsoleModel& model,
                            const FunctionCatalogue& catalogue) {
    const std::string channel = ChannelName(finding.channel);
    const FindingElement& first = finding.elements.front();
    switch (finding.kind) {
    case FindingKind::SharedDivisionChannel:
        return Subject(finding.elements) + " send their notes on " + channel +
               ", so the organ cannot tell which keyboard played.";
    case FindingKind::DuplicateProgramChange:
        return Subject(finding.elements) + " send program " + std::to_string(finding.program) +
               " on " + channel + ", so the organ cannot tell them apart.";
    case FindingKind::DuplicateShoeController:
        return Subject(finding.elements) + " send " +
               (finding.controller == 7 ? "volume (controller 7)" : "expression (controller 11)") +
               " on " + channel + ", so the organ cannot tell which shoe moved.";
    case FindingKind::SilentKeyboard:
        return "The keyboard of manual " + std::to_string(first.manual) +
               " sends on no channel, so it plays nothing.";
    case FindingKind::FunctionOutsideList:
    case FindingKind::DuplicateFunction:
        break;
    }
    const PistonInfo& piston = model.Piston(first.manual, first.piston - 1);
    const std::string group = GroupName(piston.functionGroup, catalogue);
    if (finding.kind == FindingKind::FunctionOutsideList) {
        return "Piston " + std::to_string(first.piston) + " of manual " +
               std::to_string(first.manual) + " has " + UnlistedFunctionName(piston.functionType) +
               ", beyond the list of its group (" + group +
               "): it is written as stored, but the piston editor cannot show it.";
    }
    return Subject(finding.elements) + " send " + FunctionName(piston, catalogue) + " (" + group +
           ") on " + channel + ", which may be meant.";
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
