// The Windows build has neither libzip nor zlib: packages and compressed settings files are
// refused with one sentence each; plain organ and settings files are read as on Linux.

#include "grandorgue/compressed_files.h"

#include "model/file_path.h"

namespace vtl {

Expected<std::string> ReadPackageMember(const std::filesystem::path& package, std::string_view,
                                        std::size_t) {
    return Error{Utf8Name(package) +
                 ": .orgue packages cannot be read by the Windows build; choose the .organ file."};
}

Expected<std::string> Gunzip(std::string_view, std::size_t, std::string_view source) {
    return Error{std::string(source) +
                 ": compressed GrandOrgue settings cannot be read by the Windows build."};
}

} // namespace vtl
