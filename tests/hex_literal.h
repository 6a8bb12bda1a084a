#pragma once
// Byte strings in test tables written as hex text ("f0 00 3d 62"); the hex reader has its
// own tests.

#include "sysex/hex.h"

#include <gtest/gtest.h>

#include <string_view>

namespace vtl::test {

inline Bytes Hex(std::string_view text) {
    auto bytes = HexToBytes(text);
    EXPECT_TRUE(bytes.has_value()) << "bad hex in a test table: " << text;
    return bytes ? *bytes : Bytes{};
}

} // namespace vtl::test
