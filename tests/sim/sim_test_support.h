#pragma once
// Helpers shared by the simulator tests: byte strings written as hex text, and a program
// image whose bytes differ from each other and from erased memory.

#include "sysex/hex.h"
#include "tests/hex_literal.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace vtl::test {

// Messages as hex text, one per element, so that a failure shows every byte.
inline std::vector<std::string> AsHex(const std::vector<Bytes>& messages) {
    std::vector<std::string> text;
    for (const auto& m : messages)
        text.push_back(BytesToHex(m));
    return text;
}

// 256 bytes covering both halves of the byte range, none of them FF.
inline Bytes SampleImage(int seed) {
    Bytes image(256);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>((i * 37 + static_cast<std::size_t>(seed) * 11) % 255);
    }
    return image;
}

} // namespace vtl::test
