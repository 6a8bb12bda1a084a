#pragma once
// What the platforms' halves of the whole-file reads and atomic saves share: the temporary
// files' names and the errors' words.

#include "sysex/result.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace vtl {

// ".<name>.tmp-<process>-<attempt>" beside the target.
std::filesystem::path TemporaryName(const std::filesystem::path& target, unsigned long process,
                                    int attempt);
// Whether a file's name is one TemporaryName gives.
bool IsTemporaryName(const std::filesystem::path& path);
// The folder the target lies in: "." for a bare name.
std::filesystem::path FolderOf(const std::filesystem::path& target);

// "<what>: <why>", e.g. "cannot write: No space left on device"; why is the system's reason.
Error SystemError(const std::string& what, const std::string& why);
// The same with the file's name as what.
Error FileError(const std::filesystem::path& path, const std::string& why);
Error TooBig(const std::filesystem::path& path, std::uintmax_t size, std::size_t maxSize,
             std::string_view kind);
Error NotPlainFile(const std::filesystem::path& path, std::string_view kind);

} // namespace vtl
