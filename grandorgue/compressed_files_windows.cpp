// The Windows build has no libzip (neither Debian nor the kit has it for MinGW): .orgue packages
// are refused with one sentence; organ files, and settings files plain or compressed, are read
// as on Linux.

#include "grandorgue/compressed_files.h"

#include "model/file_path.h"

namespace vtl {

Expected<std::string> ReadPackageMember(const std::filesystem::path& package, std::string_view,
                                        std::size_t) {
    return Error{Utf8Name(package) +
                 ": .orgue packages cannot be read by the Windows build; choose the .organ file."};
}

} // namespace vtl
