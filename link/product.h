#pragma once

#include <string_view>

namespace vtl {

// The product name in progress texts, file dialogs, folders and settings sections.
inline constexpr std::string_view kProductName = "VTLConfig";

} // namespace vtl
