#include "grandorgue/grandorgue_host.h"

#include "model/file_path.h"

namespace vtl {

WideText HostWideText() {
    return WideText::Utf32Le;
}

std::string OrganFileIdentity(const std::filesystem::path& absoluteFile) {
    return Utf8Name(absoluteFile);
}

std::filesystem::path GrandOrgueConfigFolder(const std::filesystem::path& home) {
    return home;
}

} // namespace vtl
