#pragma once
// GrandOrgue's settings file of one organ (<hash>-0.cmb): the MIDI keys of the mapped sections
// written, into a new file or into the user's existing one without losing anything else.

#include "grandorgue/organ_mapping.h"
#include "sysex/result.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace vtl {

// The settings text of the mapping alone: UTF-8 with a byte-order mark (GrandOrgue reads a
// text without one as ISO-8859-1), a first comment naming the version it is written for,
// [Organ] with the church's name, and per mapped section exactly the keys GrandOrgue 3.9
// needs for its events.
std::string SettingsText(const OrganMapping& mapping);

// The existing settings text (plain or gzip-compressed, with or without a byte-order mark)
// with the mapped sections' MIDI event keys replaced by the mapping's; every other line stays
// as it was, and sections the text lacks are added at its end. Source names it in errors.
Expected<std::string> MergeSettings(std::string_view existing, const OrganMapping& mapping,
                                    std::string_view source);

// The keys of GrandOrgue's receiving MIDI events, which the merge replaces in the sections it
// maps: NumberOfMIDIEvents and MIDI<name><NNN>, its sending events (MIDISend...) excepted.
bool IsEventKey(std::string_view key);

// Writes the mapping to target: merged into the file there, which is first copied to
// "<target>.bak", or as a new file, its folder made where missing; the write is atomic.
Status ExportSettings(const std::filesystem::path& target, const OrganMapping& mapping);

} // namespace vtl
