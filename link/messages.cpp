#include "link/messages.h"

#include <algorithm>

namespace vtl {
namespace {

constexpr std::uint8_t kSysExStart = 0xf0;
constexpr std::uint8_t kSysExEnd = 0xf7;
constexpr std::array<std::uint8_t, 4> kVendorPrefix{0xf0, 0x00, 0x3d, 0x62};
constexpr std::array<std::uint8_t, 7> kTagHead{0xf0, 0x00, 0x3d, 0x62, 0x7f, 0x04, 0x02};

// Commands at bytes 6 to 8 of a vendor message.
struct Command {
    std::array<std::uint8_t, 3> bytes;
    MessageKind kind;
};
constexpr std::array<Command, 4> kCommands{{
    {{0x04, 0x01, 0x03}, MessageKind::ProgramRequest},
    {{0x04, 0x01, 0x04}, MessageKind::ProgramResponse},
    {{0x04, 0x01, 0x08}, MessageKind::ProgramUpdate},
    {{0x04, 0x01, 0x20}, MessageKind::McuReboot},
}};
constexpr std::array<std::uint8_t, 3> kRequestCommand = kCommands[0].bytes;
constexpr std::array<std::uint8_t, 3> kUpdateCommand = kCommands[2].bytes;
constexpr std::array<std::uint8_t, 3> kRebootCommand = kCommands[3].bytes;

constexpr std::uint8_t kUniversalNonRealtime = 0x7e;
constexpr std::uint8_t kGeneralInformation = 0x06;
constexpr std::uint8_t kIdentityRequest = 0x01;
constexpr std::uint8_t kIdentityReply = 0x02;

// The read length 256 as two 7-bit groups, lowest first.
constexpr std::array<std::uint8_t, 2> kProgramLength{0x00, 0x02};

bool StartsWith(std::span<const std::uint8_t> message, std::span<const std::uint8_t> head,
                std::size_t offset = 0) {
    return message.size() >= offset + head.size() &&
           std::equal(head.begin(), head.end(), message.begin() + static_cast<long>(offset));
}

Bytes VendorMessage(std::uint8_t device, std::span<const std::uint8_t> command) {
    Bytes m(kVendorPrefix.begin(), kVendorPrefix.end());
    m.push_back(device);
    m.insert(m.end(), command.begin(), command.end());
    return m;
}

} // namespace

std::array<std::uint8_t, 3> SevenBitGroups21(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value & 127), static_cast<std::uint8_t>((value >> 7) & 127),
            static_cast<std::uint8_t>((value >> 14) & 127)};
}

Bytes TagMessage(std::uint8_t value) {
    Bytes m(kTagHead.begin(), kTagHead.end());
    m.push_back(value);
    m.push_back(kSysExEnd);
    return m;
}

Bytes ProgramRequestMessage(std::uint8_t device, std::uint32_t programIndex) {
    Bytes m = VendorMessage(device, kRequestCommand);
    const auto address = SevenBitGroups21(programIndex * 256);
    m.insert(m.end(), address.begin(), address.end());
    m.insert(m.end(), kProgramLength.begin(), kProgramLength.end());
    m.push_back(kSysExEnd);
    return m;
}

Bytes ProgramUpdateMessage(std::uint8_t device, std::uint32_t address,
                           std::span<const std::uint8_t> packed) {
    Bytes m = VendorMessage(device, kUpdateCommand);
    m.push_back(0x00);
    m.push_back(0x00);
    const auto groups = SevenBitGroups21(address);
    m.insert(m.end(), groups.begin(), groups.end());
    m.push_back(static_cast<std::uint8_t>(packed.size()));
    m.insert(m.end(), packed.begin(), packed.end());
    m.push_back(kSysExEnd);
    return m;
}

Bytes McuRebootMessage(std::uint8_t device) {
    Bytes m = VendorMessage(device, kRebootCommand);
    m.push_back(kSysExEnd);
    return m;
}

Bytes IdentityRequestMessage(std::uint8_t device) {
    return {kSysExStart,         kUniversalNonRealtime, device,
            kGeneralInformation, kIdentityRequest,      kSysExEnd};
}

MessageKind Recognise(std::span<const std::uint8_t> message) {
    if (StartsWith(message, kVendorPrefix)) {
        if (StartsWith(message, kTagHead)) return MessageKind::Tag;
        for (const auto& command : kCommands) {
            if (StartsWith(message, command.bytes, 5)) return command.kind;
        }
        return MessageKind::Unrecognised;
    }
    // The device byte (byte 3) of an identity message is not compared.
    if (message.size() >= 5 && message[0] == kSysExStart && message[1] == kUniversalNonRealtime &&
        message[3] == kGeneralInformation) {
        if (message[4] == kIdentityRequest) return MessageKind::IdentityRequest;
        if (message[4] == kIdentityReply) return MessageKind::IdentityReply;
    }
    return MessageKind::Unrecognised;
}

std::optional<std::uint8_t> TagValue(std::span<const std::uint8_t> tag) {
    if (tag.size() < 8) return std::nullopt;
    return tag[7];
}

std::optional<std::uint8_t> IdentityByte21(std::span<const std::uint8_t> reply) {
    if (reply.size() < 21) return std::nullopt;
    return reply[20];
}

std::span<const std::uint8_t> ResponseData(std::span<const std::uint8_t> response) {
    constexpr std::size_t kFirstData = 11;
    if (response.size() <= kFirstData) return {};
    std::size_t end = response.size();
    if (response.back() == kSysExEnd) --end;
    return response.subspan(kFirstData, end - kFirstData);
}

} // namespace vtl
