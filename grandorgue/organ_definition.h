#pragma once
// What the export needs of a GrandOrgue organ definition (its "ODF", an .organ file, alone or
// inside an .orgue package): the organ's name and the numbers and names of its manuals,
// enclosures and generals, as GrandOrgue numbers its sections.

#include "sysex/result.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vtl {

// One numbered part of the organ: manual 0 is the pedal where the organ has one.
struct OrganPart {
    int number = 0;
    std::string name; // as the organ file gives it, in UTF-8
};

struct OrganDefinition {
    std::string churchName;
    std::vector<OrganPart> manuals;
    std::vector<OrganPart> enclosures;
    std::vector<OrganPart> generals;
};

// Reads an organ file's text. GrandOrgue takes a text with a UTF-8 byte-order mark as UTF-8
// and one without as ISO-8859-1; the names come back in UTF-8 either way. Errors name source.
Expected<OrganDefinition> ParseOrganDefinition(std::string_view text, std::string_view source);

// An organ file or package: its definition and where it came from.
struct LoadedOrgan {
    OrganDefinition definition;
    std::filesystem::path file; // the organ file or the package, absolute
    std::string pathInPackage;  // the organ file's path inside a package; empty for a file
};

// A package's member of the given name, of at most the given size, or an error that names it.
using PackageMembers =
    std::function<Expected<std::string>(std::string_view name, std::size_t maxSize)>;

// The first organ of a package, read through member: the organ file that the package's index
// (organindex.ini) names first. Errors name source; the result's file stays empty.
Expected<LoadedOrgan> ReadPackagedOrgan(const PackageMembers& member, std::string_view source);

// Loads an .organ file, or the first organ of an .orgue package.
Expected<LoadedOrgan> LoadOrgan(const std::filesystem::path& file);

// The text of a GrandOrgue INI file as UTF-8, without its byte-order mark.
std::string GrandOrgueTextToUtf8(std::string_view text);
// The same of a file GrandOrgue may have rewritten gzip-compressed (its settings, its own
// configuration), of at most maxSize bytes unpacked; source names the file in errors.
Expected<std::string> GrandOrgueFileText(std::string_view bytes, std::size_t maxSize,
                                         std::string_view source);

} // namespace vtl
