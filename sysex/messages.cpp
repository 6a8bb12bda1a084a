#include "sysex/messages.h"

#include "sysex/seven_bit.h"

#include <algorithm>

namespace vtl {
namespace {

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
constexpr std::array<std::uint8_t, 3> kResponseCommand = kCommands[1].bytes;
constexpr std::array<std::uint8_t, 3> kRebootCommand = kCommands[3].bytes;

constexpr std::uint8_t kUniversalNonRealtime = 0x7e;
constexpr std::uint8_t kGeneralInformation = 0x06;
constexpr std::uint8_t kIdentityRequest = 0x01;
constexpr std::uint8_t kIdentityReply = 0x02;

// The read length 256 as two 7-bit groups, lowest first.
constexpr std::array<std::uint8_t, 2> kProgramLength{0x00, 0x02};

// What an MCU answers an identity request with around byte 21, which alone matters to the
// PC: manufacturer, family, member, version and four further bytes before it, one after it.
constexpr std::array<std::uint8_t, 15> kIdentityFields{
    0x00, 0x3d, 0x62, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
constexpr std::uint8_t kIdentityLastField = 0x00;

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

std::uint32_t FromSevenBitGroups(std::span<const std::uint8_t> groups) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < groups.size(); ++i)
        value |= std::uint32_t{groups[i]} << (7 * i);
    return value;
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

Bytes IdentityReplyMessage(std::uint8_t device, std::uint8_t byte21) {
    Bytes m{kSysExStart, kUniversalNonRealtime, device, kGeneralInformation, kIdentityReply};
    m.insert(m.end(), kIdentityFields.begin(), kIdentityFields.end());
    m.push_back(byte21);
    m.push_back(kIdentityLastField);
    m.push_back(kSysExEnd);
    return m;
}

Bytes ProgramResponseMessage(std::uint8_t device, std::uint32_t address,
                             std::span<const std::uint8_t> data) {
    Bytes m = VendorMessage(device, kResponseCommand);
    const auto groups = SevenBitGroups21(address);
    m.insert(m.end(), groups.begin(), groups.end());
    const Bytes packed = PackSevenBit(data);
    m.insert(m.end(), packed.begin(), packed.end());
    m.push_back(kSysExEnd);
    return m;
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
    if (tag.size() <= field::kTagValue) return std::nullopt;
    return tag[field::kTagValue];
}

std::optional<std::uint8_t> IdentityByte21(std::span<const std::uint8_t> reply) {
    if (reply.size() <= field::kIdentityByte21) return std::nullopt;
    return reply[field::kIdentityByte21];
}

std::span<const std::uint8_t> ResponseData(std::span<const std::uint8_t> response) {
    if (response.size() <= field::kResponseData) return {};
    std::size_t end = response.size();
    if (response.back() == kSysExEnd) --end;
    return response.subspan(field::kResponseData, end - field::kResponseData);
}

std::optional<std::uint32_t> Address21(std::span<const std::uint8_t> message, std::size_t at) {
    if (message.size() < at + 3) return std::nullopt;
    return FromSevenBitGroups(message.subspan(at, 3));
}

std::optional<std::uint32_t> RequestLength(std::span<const std::uint8_t> request) {
    if (request.size() < field::kRequestLength + 2) return std::nullopt;
    return FromSevenBitGroups(request.subspan(field::kRequestLength, 2));
}

std::optional<std::span<const std::uint8_t>> UpdateData(std::span<const std::uint8_t> update) {
    if (update.size() <= field::kUpdateLength) return std::nullopt;
    const std::size_t length = update[field::kUpdateLength];
    if (update.size() != field::kUpdateData + length + 1 || update.back() != kSysExEnd) {
        return std::nullopt;
    }
    return update.subspan(field::kUpdateData, length);
}

} // namespace vtl
