#pragma once
// Byte strings in test tables written as hex text ("f0 00 3d 62"), and messages shown as hex
// text so that a failure prints every byte; the hex reader and writer have their own tests.

#include "sysex/hex.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace vtl::test {

inline Bytes Hex(std::string_view text) {
    auto bytes = HexToBytes(text);
    EXPECT_TRUE(bytes.has_value()) << "bad hex in a test table: " << text;
    return bytes ? *bytes : Bytes{};
}

inline std::vector<std::string> AsHex(const std::vector<Bytes>& messages) {
    std::vector<std::string> text;
    for (const auto& m : messages)
        text.push_back(BytesToHex(m));
    return text;
}

} // namespace vtl::test
