#include "model/console_text.h"

#include <algorithm>

namespace vtl {
namespace {

bool HasChannel(std::int32_t channels, int channel) {
    return (channels >> channel & 1) != 0;
}

std::string OnChannel(int channel) {
    return " on channel " + std::to_string(channel);
}

std::string FunctionName(const pistonInfo& piston, const FunctionCatalogue& catalogue) {
    if (piston.functionGroup == kProgramChangeGroup) {
        return "program " + std::to_string(piston.programNumber);
    }
    const std::string_view name =
        catalogue.functionTypeNames[static_cast<std::size_t>(piston.functionGroup)].name(
            piston.functionType);
    return name.empty() ? "function " + std::to_string(piston.functionType) : std::string(name);
}

} // namespace

std::string ChannelSetText(std::int32_t channels) {
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
            text += std::to_string(c + 1);
            if (last - first >= 2) {
                text += "-" + std::to_string(last + 1);
                break;
            }
        }
        first = last + 1;
    }
    return text.empty() ? "none" : text;
}

std::string ShoeText(const shoeInfo& shoe, const FunctionCatalogue& catalogue) {
    if (!shoe.expressionOn) return std::string(catalogue.shoeTypeNames.name(0));
    return std::string(catalogue.shoeTypeNames.name(shoe.volumeControl ? 1 : 2)) +
           OnChannel(shoe.midiChannel + 1);
}

std::string PistonText(const pistonInfo& piston, const FunctionCatalogue& catalogue) {
    const int group = piston.functionGroup;
    if (group == kUnassignedGroup || group == kNeverSetGroup) {
        return std::string(catalogue.functionGroupNames.name(kUnassignedGroup));
    }
    const std::string_view groupName = catalogue.functionGroupNames.name(group);
    if (groupName.empty()) {
        return "group " + std::to_string(group) + ": function " +
               std::to_string(piston.functionType) + OnChannel(piston.midiChannel);
    }
    return std::string(groupName) + ": " + FunctionName(piston, catalogue) +
           OnChannel(piston.midiChannel);
}

std::vector<TextLine> DescribeManual(const ConsoleModel& model, int manual,
                                     const FunctionCatalogue& catalogue) {
    std::vector<TextLine> lines;
    lines.reserve(2 + kPistonsPerManual);
    lines.push_back({"Division channels", ChannelSetText(model.channels(manual))});
    lines.push_back({"Expression shoe", ShoeText(model.shoe(manual), catalogue)});
    for (int p = 0; p < kPistonsPerManual; ++p) {
        lines.push_back(
            {"Piston " + std::to_string(p + 1), PistonText(model.piston(manual, p), catalogue)});
    }
    return lines;
}

int ManualsIn(const ConsoleModel& model) {
    return std::clamp<int>(model.manualCount, 0, kMaxManuals);
}

} // namespace vtl
