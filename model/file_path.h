#pragma once
// File names as UTF-8 text, alike on every platform. std::filesystem::path's own narrow
// strings are the system's code page on Windows, which cannot hold every name (nor does
// MinGW's library decode UTF-8 there), so names that travel as text go through these.

#include <filesystem>
#include <string>
#include <string_view>

namespace vtl {

std::filesystem::path PathFromUtf8(std::string_view text);
std::string Utf8Name(const std::filesystem::path& path);

} // namespace vtl
