#pragma once
// SHA-1, which GrandOrgue uses to name an organ's settings file. Not for security: only to
// arrive at the same name GrandOrgue does.

#include <array>
#include <cstdint>
#include <string_view>

namespace vtl {

using Sha1Digest = std::array<std::uint8_t, 20>;

Sha1Digest Sha1(std::string_view bytes);

} // namespace vtl
