#include "model/program_update.h"

#include "link/messages.h"
#include "model/program_image.h"

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

Expected<std::array<Bytes, kUpdateBlockCount>>
WriteProgramImage(const ConsoleModel& model, std::uint8_t device, std::uint32_t programIndex) {
    const auto image = EncodeProgramImage(model);
    if (!image) return image.error();
    std::array<Bytes, kUpdateBlockCount> messages;
    for (std::size_t k = 0; k < messages.size(); ++k) {
        const auto block = std::span(*image).subspan(k * kUpdateBlockSize, kUpdateBlockSize);
        const auto address =
            static_cast<std::uint32_t>(programIndex * kImageSize + k * kUpdateBlockSize);
        messages[k] = ProgramUpdateMessage(device, address, PackSevenBit(block));
    }
    return messages;
}

} // namespace vtl
