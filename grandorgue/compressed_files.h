#pragma once
// The compressed files GrandOrgue uses: .orgue packages (zip archives) and its settings files,
// which it rewrites gzip-compressed. zlib reads the settings on every platform (gzip_text.cpp);
// libzip reads packages where the build has it (compressed_files_posix.cpp), and the Windows
// build, which has not, says so in one sentence (compressed_files_windows.cpp).

#include "sysex/result.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace vtl {

// The member of a zip archive named name, of at most maxSize bytes. Errors name the archive.
Expected<std::string> ReadPackageMember(const std::filesystem::path& package, std::string_view name,
                                        std::size_t maxSize);

// The same of a zip archive held in memory; source names it in errors.
Expected<std::string> ReadArchiveMember(std::string_view archive, std::string_view source,
                                        std::string_view name, std::size_t maxSize);

// Whether bytes begin as gzip data does.
inline bool IsGzip(std::string_view bytes) {
    return bytes.starts_with("\x1F\x8B");
}

// The gzip data's contents, of at most maxSize bytes; source names it in errors.
Expected<std::string> Gunzip(std::string_view bytes, std::size_t maxSize, std::string_view source);

} // namespace vtl
