#pragma once
// Files taken whole or not at all: read only when they are small enough to be what the
// caller expects, replaced all at once.

#include "sysex/result.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace vtl {

// The contents of a plain file of at most maxSize bytes. A bigger file is refused by its size
// before anything is read, and a folder, pipe or device without reading it, so a damaged
// or wrong file costs neither time nor memory. Errors name the file; kind says what the
// file should have been ("a console file").
Expected<std::string> ReadWholeFile(const std::filesystem::path& path, std::size_t maxSize,
                                    std::string_view kind);

// Replaces a file's contents all at once: the text goes to a temporary file beside the
// target, ".<name>.tmp-<process>-<n>", which is flushed to disk and renamed over the
// target. On any failure the previous file is left byte for byte as it was and the
// temporary file is removed. The saving process holds a lock on its temporary file until
// the rename; temporary files of saves that were killed are removed by the next save into
// the same folder, but never one whose lock a running save holds.
Status WriteFileAtomically(const std::filesystem::path& target, std::string_view contents);

} // namespace vtl
