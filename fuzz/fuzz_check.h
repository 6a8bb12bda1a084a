#pragma once
// What the harnesses share: the fuzzer's bytes as text, and invariants that abort when broken
// so that libFuzzer keeps the input that broke them.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace vtl::fuzz {

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

inline void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "broken invariant: %s\n", what);
    std::abort();
}

} // namespace vtl::fuzz
