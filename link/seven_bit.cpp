#include "link/seven_bit.h"

#include "link/hex.h"

namespace vtl {

Bytes UnpackSevenBit(std::span<const std::uint8_t> packed, ConversionReporter& reporter) {
    Bytes out;
    out.reserve(packed.size());
    int k = 1;
    int highBits = 0;
    for (std::size_t pos = 0; pos < packed.size(); ++pos) {
        int b = packed[pos];
        if (b > 127) {
            reporter.ReportConversionError("Error in conversion at pos " + std::to_string(pos + 1) +
                                           ": " + BytesToHex(packed));
            continue;
        }
        if (k == 1) {
            highBits = b;
        } else {
            const int weight = 1 << (8 - k);
            if (highBits >= weight) {
                b += 128;
                highBits -= weight;
            }
            out.push_back(static_cast<std::uint8_t>(b));
        }
        k = k == 8 ? 1 : k + 1;
    }
    return out;
}

} // namespace vtl
