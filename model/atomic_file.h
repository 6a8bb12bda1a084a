#pragma once

#include "sysex/result.h"

#include <filesystem>
#include <string_view>

namespace vtl {

// Replaces a file's contents all at once: the text goes to a temporary file beside the
// target, is flushed to disk and renamed over the target. On any failure the previous
// file is left byte for byte as it was and the temporary file is removed.
Status WriteFileAtomically(const std::filesystem::path& target, std::string_view contents);

} // namespace vtl
