// The Windows build has no libzip (neither Debian nor the kit has it for MinGW): .orgue packages
// are refused with one sentence; organ files, and settings files plain or compressed, are read
// as on Linux.

#include "grandorgue/compressed_files.h"

#include "model/file_path.h"

namespace vtl {

Expected<std::string> ReadPackageMember(const std::filesystem::path& package, std::string_view name,
                                        std::size_t maxSize) {
    return ReadArchiveMember({}, Utf8Name(package), name, maxSize);
}

Expected<std::string> ReadArchiveMember(std::string_view, std::string_view source, std::string_view,
                                        std::size_t) {
    return Error{std::string(source) +
                 ": .orgue packages cannot be read by the Windows build; choose the .organ file."};
}

} // namespace vtl
