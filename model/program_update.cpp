#include "model/program_update.h"

#include "model/program_image.h"
#include "sysex/messages.h"
#include "sysex/seven_bit.h"

namespace vtl {

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
