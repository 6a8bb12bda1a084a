#pragma once
// What differs with the system GrandOrgue runs on: how wide its characters are, how it writes an
// organ file's path when it names the organ, and where its own configuration lies.

#include <filesystem>
#include <string>

namespace vtl {

// The bytes of GrandOrgue's wide strings: UTF-32LE on Linux, UTF-16LE on Windows.
enum class WideText { Utf32Le, Utf16Le };

// The width on the system this program runs on, where its GrandOrgue runs too.
WideText HostWideText();

// The path GrandOrgue names an organ file by: absolute, and on Windows with backslashes, long
// names and in lower case (its file names ignore case there).
std::string OrganFileIdentity(const std::filesystem::path& absoluteFile);

// The folder of GrandOrgueConfig: the home folder on Linux, the roaming application data
// folder (%APPDATA%) on Windows.
std::filesystem::path GrandOrgueConfigFolder(const std::filesystem::path& home);

} // namespace vtl
