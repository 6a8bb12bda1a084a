#include "grandorgue/settings_file.h"

#include "grandorgue/ini_lines.h"
#include "grandorgue/organ_definition.h"
#include "model/atomic_file.h"
#include "model/file_path.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace vtl {
namespace {

// GrandOrgue keeps combination memories in the file; those of big organs run to megabytes.
constexpr std::size_t kMaxSettingsSize = 256 * 1024 * 1024;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kVersionComment =
    "; GrandOrgue 3.9 MIDI settings, written by VTLConfig from the console's configuration";

struct MidiEvent {
    std::string_view type; // Note, ProgramChange or ControlChange
    int channel = 0;
    int key = 0; // the program or the controller
};

// The mapped sections in the order they are written, each with its events. Two console
// manuals may play one organ manual: its section then has the events of both.
using SectionEvents = std::vector<std::pair<std::string, std::vector<MidiEvent>>>;

SectionEvents EventsBySection(const OrganMapping& mapping) {
    SectionEvents sections;
    const auto add = [&sections](const std::string& section, const MidiEvent& event) {
        auto found = std::ranges::find(sections, section, &SectionEvents::value_type::first);
        if (found == sections.end()) found = sections.insert(sections.end(), {section, {}});
        found->second.push_back(event);
    };
    for (const MappedKeyboard& keyboard : mapping.keyboards) {
        for (const int channel : keyboard.channels)
            add(SectionName("Manual", keyboard.target.number), {"Note", channel, 0});
    }
    for (const MappedShoe& shoe : mapping.shoes)
        add(SectionName("Enclosure", shoe.target.number),
            {"ControlChange", shoe.channel, shoe.controller});
    for (const MappedGeneral& general : mapping.generals)
        add(general.section, {"ProgramChange", general.channel, general.program});
    return sections;
}

std::string EventKeys(const std::vector<MidiEvent>& events, std::string_view device,
                      std::string_view lineEnd) {
    std::string text = "NumberOfMIDIEvents=" + std::to_string(events.size()) + std::string(lineEnd);
    int number = 0;
    for (const MidiEvent& event : events) {
        const std::string n = SectionName("", ++number);
        const auto key = [&](std::string_view name, const std::string& value) {
            text += "MIDI" + std::string(name) + n + "=" + value + std::string(lineEnd);
        };
        key("Device", std::string(device));
        key("EventType", std::string(event.type));
        key("Channel", std::to_string(event.channel));
        if (event.type == "Note") {
            key("KeyShift", "0");
        } else {
            key("Key", std::to_string(event.key));
        }
        if (event.type == "ControlChange") {
            // GrandOrgue's lower limit is 1 unless written: the shoe's 0 would be out of range.
            key("LowerLimit", "0");
            key("UpperLimit", "127");
        }
    }
    return text;
}

std::string NewSections(const SectionEvents& sections, const std::set<std::string>& present,
                        const OrganMapping& mapping, std::string_view lineEnd) {
    std::string text;
    for (const auto& [section, events] : sections) {
        if (present.contains(section)) continue;
        text += std::string(lineEnd) + "[" + section + "]" + std::string(lineEnd) +
                EventKeys(events, mapping.device, lineEnd);
    }
    return text;
}

} // namespace

bool IsEventKey(std::string_view key) {
    if (key == "NumberOfMIDIEvents") return true;
    if (!key.starts_with("MIDI") || key.starts_with("MIDISend") || key.size() < 8) return false;
    return std::all_of(key.end() - 3, key.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

std::string SettingsText(const OrganMapping& mapping) {
    return std::string(kUtf8Mark) + std::string(kVersionComment) +
           "\n\n[Organ]\nChurchName=" + mapping.churchName + "\n" +
           NewSections(EventsBySection(mapping), {}, mapping, "\n");
}

Expected<std::string> MergeSettings(std::string_view existing, const OrganMapping& mapping,
                                    std::string_view source) {
    const auto read = GrandOrgueFileText(existing, kMaxSettingsSize, source);
    if (!read) return read.error();
    const std::string& text = *read;
    const std::string lineEnd = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    const SectionEvents sections = EventsBySection(mapping);
    std::set<std::string> present;
    std::string merged(kUtf8Mark);
    const std::vector<MidiEvent>* replacing = nullptr;
    for (const IniLine& line : SplitIniLines(text)) {
        if (!line.section.empty()) {
            const auto found =
                std::ranges::find(sections, line.section, &SectionEvents::value_type::first);
            replacing = found == sections.end() ? nullptr : &found->second;
            merged += line.whole;
            if (replacing) {
                present.insert(found->first);
                if (!line.whole.ends_with('\n')) merged += lineEnd;
                merged += EventKeys(*replacing, mapping.device, lineEnd);
            }
            continue;
        }
        if (replacing && IsEventKey(line.key)) continue;
        merged += line.whole;
    }
    if (!merged.ends_with('\n') && merged.size() > kUtf8Mark.size()) merged += lineEnd;
    merged += NewSections(sections, present, mapping, lineEnd);
    return merged;
}

Status ExportSettings(const std::filesystem::path& target, const OrganMapping& mapping) {
    std::error_code error;
    // GrandOrgue makes its data folder only when it first saves an organ's settings.
    if (const auto folder = target.parent_path();
        !folder.empty() && (std::filesystem::create_directories(folder, error), error))
        return Error{Utf8Name(target.parent_path()) + ": cannot create the folder"};
    if (!std::filesystem::exists(target, error))
        return WriteFileAtomically(target, SettingsText(mapping));
    const auto existing = ReadWholeFile(target, kMaxSettingsSize, "a GrandOrgue settings file");
    if (!existing) return existing.error();
    const auto merged = MergeSettings(*existing, mapping, Utf8Name(target));
    if (!merged) return merged.error();
    std::filesystem::path backup = target;
    backup += ".bak";
    if (const auto saved = WriteFileAtomically(backup, *existing); !saved) return saved.error();
    return WriteFileAtomically(target, *merged);
}

} // namespace vtl
