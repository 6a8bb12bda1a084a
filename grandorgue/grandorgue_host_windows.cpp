#include "grandorgue/grandorgue_host.h"

#include "model/file_path.h"

#include <windows.h>

#include <cstdlib>

namespace vtl {

WideText HostWideText() {
    return WideText::Utf16Le;
}

std::string OrganFileIdentity(const std::filesystem::path& absoluteFile) {
    std::wstring name = std::filesystem::path(absoluteFile).make_preferred().wstring();
    // A file that exists may be named by its short (8.3) name; GrandOrgue uses the long one.
    if (const DWORD length = GetLongPathNameW(name.c_str(), nullptr, 0); length > 0) {
        std::wstring longName(length, L'\0');
        const DWORD written = GetLongPathNameW(name.c_str(), longName.data(), length);
        if (written > 0 && written < length) {
            longName.resize(written);
            name = std::move(longName);
        }
    }
    if (!name.empty()) CharLowerBuffW(name.data(), static_cast<DWORD>(name.size()));
    return Utf8Name(std::filesystem::path(name));
}

std::filesystem::path GrandOrgueConfigFolder(const std::filesystem::path& home) {
    const wchar_t* appData = _wgetenv(L"APPDATA");
    return appData != nullptr && *appData != L'\0' ? std::filesystem::path(appData) : home;
}

} // namespace vtl
