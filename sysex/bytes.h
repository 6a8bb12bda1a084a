#pragma once
// A raw MIDI message or image: one element per byte.

#include <cstdint>
#include <vector>

namespace vtl {

using Bytes = std::vector<std::uint8_t>;

} // namespace vtl
