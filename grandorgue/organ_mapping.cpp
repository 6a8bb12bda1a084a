#include "grandorgue/organ_mapping.h"

#include "model/catalogue.h"
#include "model/console_text.h"

#include <algorithm>

namespace vtl {
namespace {

constexpr int kVolumeController = 7;
constexpr int kExpressionController = 11;

const OrganPart* FindPart(const std::vector<OrganPart>& parts, int number) {
    const auto found = std::ranges::find(parts, number, &OrganPart::number);
    return found == parts.end() ? nullptr : &*found;
}

std::string PartName(const OrganPart& part, std::string_view kind) {
    return part.name.empty() ? SectionName(kind, part.number) : part.name;
}

std::string ShoeWords(int manual, int controller, int channel) {
    return "Manual " + std::to_string(manual) + ", shoe, " +
           (controller == kVolumeController ? "Volume" : "Expression") + " on channel " +
           std::to_string(channel);
}

std::string PistonWords(const std::vector<PistonPlace>& pistons, int program, int channel) {
    std::string words;
    for (const PistonPlace& place : pistons) {
        words += words.empty() ? "Manual " : " and manual ";
        words += std::to_string(place.manual) + ", piston " + std::to_string(place.piston);
    }
    return words + ", program " + std::to_string(program) + " on channel " +
           std::to_string(channel);
}

// General place q: the organ's general q, else a programmable one, else nowhere.
bool PlaceGeneral(MappedGeneral& general, const OrganDefinition& organ) {
    const int generals = static_cast<int>(organ.generals.size());
    if (general.place < 1) return false;
    if (general.place <= generals) {
        const OrganPart& part = organ.generals[general.place - 1];
        general.section = SectionName("General", part.number);
        general.targetName = "General " + std::to_string(part.number);
        if (!part.name.empty() && part.name != std::to_string(part.number))
            general.targetName += " (" + part.name + ")";
        return true;
    }
    const int setter = general.place - generals; // counted from 1 as GrandOrgue shows it
    if (setter > kSetterGenerals) return false;
    general.section = "SetterGeneral" + std::to_string(setter - 1);
    general.targetName = "Setter general " + std::to_string(setter);
    return true;
}

Status CheckChoices(const std::map<int, int>& choices, const std::vector<OrganPart>& parts,
                    std::string_view kind, int manuals) {
    for (const auto& [manual, number] : choices) {
        if (manual < 1 || manual > manuals)
            return Error{"the console has no manual " + std::to_string(manual)};
        if (!FindPart(parts, number)) return Error{"the organ has no " + SectionName(kind, number)};
    }
    return Ok();
}

} // namespace

std::string SectionName(std::string_view kind, int number) {
    const std::string digits = std::to_string(number);
    return std::string(kind) + std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits;
}

Expected<OrganMapping> MapConsole(const ConsoleModel& console, const OrganDefinition& organ,
                                  const MappingChoice& choice) {
    const int manuals = ManualsIn(console);
    if (const auto checked = CheckChoices(choice.manuals, organ.manuals, "Manual", manuals);
        !checked)
        return checked.error();
    if (const auto checked = CheckChoices(choice.shoes, organ.enclosures, "Enclosure", manuals);
        !checked)
        return checked.error();
    const int places = static_cast<int>(organ.generals.size()) + kSetterGenerals;
    for (const auto& [sent, place] : choice.generals) {
        if (place < 1 || place > places)
            return Error{"the organ and GrandOrgue have no general " + std::to_string(place)};
    }
    OrganMapping mapping{choice.device, organ.churchName, {}, {}, {}, {}};
    for (int manual = 1; manual <= manuals; ++manual) {
        const auto chosen = [manual](const std::map<int, int>& choices) {
            const auto found = choices.find(manual);
            return found == choices.end() ? manual : found->second;
        };
        MappedKeyboard keyboard{manual, {}, {}};
        for (int channel = 1; channel <= kChannelCount; ++channel) {
            if (console.Channels(manual) >> (channel - 1) & 1) keyboard.channels.push_back(channel);
        }
        if (keyboard.channels.empty()) {
            mapping.unmapped.push_back("Manual " + std::to_string(manual) +
                                       ", keyboard: it sends on no channel");
        } else if (const OrganPart* part = FindPart(organ.manuals, chosen(choice.manuals))) {
            keyboard.target = *part;
            mapping.keyboards.push_back(keyboard);
        } else {
            mapping.unmapped.push_back(ElementWords(keyboard) + ": the organ has no " +
                                       SectionName("Manual", chosen(choice.manuals)));
        }

        const ShoeInfo& shoe = console.Shoe(manual);
        if (shoe.expressionOn) {
            MappedShoe mapped{manual,
                              shoe.volumeControl ? kVolumeController : kExpressionController,
                              shoe.midiChannel + 1,
                              {}};
            if (const OrganPart* part = FindPart(organ.enclosures, chosen(choice.shoes))) {
                mapped.target = *part;
                mapping.shoes.push_back(mapped);
            } else {
                mapping.unmapped.push_back(ShoeWords(manual, mapped.controller, mapped.channel) +
                                           ": the organ has no " +
                                           SectionName("Enclosure", chosen(choice.shoes)));
            }
        }

        for (int index = 0; index < kPistonsPerManual; ++index) {
            const PistonInfo& piston = console.Piston(manual, index);
            if (piston.functionGroup != kProgramChangeGroup) continue;
            const PistonPlace place{manual, index + 1};
            const int program = piston.programNumber;
            const int channel = piston.midiChannel;
            if (program < 1 || program > 128 || channel < 1 || channel > kChannelCount) {
                mapping.unmapped.push_back(PistonWords({place}, program, channel) +
                                           ": not a MIDI program and channel");
                continue;
            }
            const auto same = std::ranges::find_if(mapping.generals, [&](const auto& general) {
                return general.program == program && general.channel == channel;
            });
            if (same != mapping.generals.end()) {
                same->pistons.push_back(place);
                continue;
            }
            const auto chosenPlace = choice.generals.find({program, channel});
            MappedGeneral general{
                {place}, program,
                channel, chosenPlace == choice.generals.end() ? program : chosenPlace->second,
                {},      {}};
            if (PlaceGeneral(general, organ)) {
                mapping.generals.push_back(general);
            } else {
                mapping.unmapped.push_back(
                    PistonWords({place}, program, channel) + ": the organ has " +
                    std::to_string(organ.generals.size()) + " generals and GrandOrgue " +
                    std::to_string(kSetterGenerals) + " programmable ones");
            }
        }
    }
    return mapping;
}

std::vector<OrganTarget> Targets(const OrganDefinition& organ, TargetKind kind) {
    std::vector<OrganTarget> targets;
    if (kind == TargetKind::General) {
        const int places = static_cast<int>(organ.generals.size()) + kSetterGenerals;
        for (int place = 1; place <= places; ++place) {
            MappedGeneral general;
            general.place = place;
            PlaceGeneral(general, organ);
            targets.push_back({place, general.targetName});
        }
        return targets;
    }
    const bool manual = kind == TargetKind::Manual;
    for (const OrganPart& part : manual ? organ.manuals : organ.enclosures)
        targets.push_back({part.number, PartName(part, manual ? "Manual" : "Enclosure")});
    return targets;
}

std::string ElementWords(const MappedKeyboard& keyboard) {
    std::int32_t channels = 0;
    for (const int channel : keyboard.channels)
        channels |= 1 << (channel - 1);
    return "Manual " + std::to_string(keyboard.manual) + ", keyboard, channels " +
           words::ChannelSetText(channels);
}

std::string ElementWords(const MappedShoe& shoe) {
    return ShoeWords(shoe.manual, shoe.controller, shoe.channel);
}

std::string ElementWords(const MappedGeneral& general) {
    return PistonWords(general.pistons, general.program, general.channel);
}

std::vector<std::string> DescribeMapping(const OrganMapping& mapping) {
    std::vector<std::string> lines;
    for (const MappedKeyboard& keyboard : mapping.keyboards)
        lines.push_back(ElementWords(keyboard) + " → " + PartName(keyboard.target, "Manual"));
    for (const MappedShoe& shoe : mapping.shoes)
        lines.push_back(ElementWords(shoe) + " → " + PartName(shoe.target, "Enclosure"));
    for (const MappedGeneral& general : mapping.generals)
        lines.push_back(ElementWords(general) + " → " + general.targetName);
    for (const std::string& unmapped : mapping.unmapped)
        lines.push_back("Not mapped: " + unmapped);
    return lines;
}

} // namespace vtl
