#include "sysex/seven_bit.h"

#include "sysex/hex.h"

#include <algorithm>

namespace vtl {

Bytes PackSevenBit(std::span<const std::uint8_t> data) {
    Bytes out;
    out.reserve(data.size() + (data.size() + 6) / 7);
    std::size_t groupStart = 0;
    while (groupStart < data.size()) {
        const std::size_t n = std::min<std::size_t>(7, data.size() - groupStart);
        std::uint8_t highBits = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (data[groupStart + i] & 0x80) highBits |= static_cast<std::uint8_t>(0x40 >> i);
        }
        out.push_back(highBits);
        for (std::size_t i = 0; i < n; ++i)
            out.push_back(data[groupStart + i] & 0x7f);
        groupStart += n;
    }
    return out;
}

std::vector<std::string> ConversionErrorLines(const ConversionFaults& faults) {
    std::vector<std::string> lines;
    lines.reserve(faults.positions.size());
    for (const std::size_t pos : faults.positions)
        lines.push_back("Error in conversion at pos " + std::to_string(pos) + ": " +
                        faults.inputHex);
    return lines;
}

Bytes UnpackSevenBit(std::span<const std::uint8_t> packed, ConversionReporter& reporter) {
    Bytes out;
    out.reserve(packed.size());
    ConversionFaults faults;
    int k = 1;
    int highBits = 0;
    for (std::size_t pos = 0; pos < packed.size(); ++pos) {
        int b = packed[pos];
        if (b > 127) {
            faults.positions.push_back(pos + 1);
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
    if (!faults.positions.empty()) {
        faults.inputHex = BytesToHex(packed);
        reporter.ReportConversionErrors(faults);
    }
    return out;
}

} // namespace vtl
