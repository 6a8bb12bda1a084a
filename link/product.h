#pragma once

#include <string_view>

namespace vtl {

// The product name in progress texts, file dialogs, folders, settings sections and the
// names of our MIDI ports.
inline constexpr std::string_view kProductName = "VTLConfig";
// The title of every window and the caption of message boxes unless another one is given.
inline constexpr char kWindowTitle[] = "Larchmont VTLConfig";
// The maker, under whose name the per-user settings folder sits.
inline constexpr char kOrganisationName[] = "Larchmont Consoles";

} // namespace vtl
