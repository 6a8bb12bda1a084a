#pragma once
// The SysEx messages exchanged with the MCUs: how each is built and how a received one is
// recognised. Messages the PC sends also come back to it through the chain.

#include "link/bytes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace vtl {

// The device byte that addresses every MCU of the chain.
inline constexpr std::uint8_t kAllDevices = 0x7f;

enum class MessageKind {
    Unrecognised,
    Tag,
    ProgramRequest,
    ProgramResponse,
    ProgramUpdate,
    McuReboot,
    IdentityRequest,
    IdentityReply,
};

// A number of up to 21 bits as three 7-bit groups, lowest first.
std::array<std::uint8_t, 3> SevenBitGroups21(std::uint32_t value);

// F0 00 3D 62 7F 04 02 v F7: each MCU adds one to v as the message passes it.
Bytes TagMessage(std::uint8_t value);
// F0 00 3D 62 n 04 01 03 a0 a1 a2 00 02 F7: read the 256 bytes of one program.
Bytes ProgramRequestMessage(std::uint8_t device, std::uint32_t programIndex);
// F0 00 3D 62 n 04 01 08 00 00 a0 a1 a2 len p… F7: write one packed block at an address.
Bytes ProgramUpdateMessage(std::uint8_t device, std::uint32_t address,
                           std::span<const std::uint8_t> packed);
// F0 00 3D 62 n 04 01 20 F7.
Bytes McuRebootMessage(std::uint8_t device);
// F0 7E n 06 01 F7: the MIDI universal device inquiry.
Bytes IdentityRequestMessage(std::uint8_t device);

MessageKind Recognise(std::span<const std::uint8_t> message);

// Fields of received messages; empty when the message is too short to carry them.
std::optional<std::uint8_t> TagValue(std::span<const std::uint8_t> tag);
std::optional<std::uint8_t> IdentityByte21(std::span<const std::uint8_t> reply);
// The packed program data of a PROGRAM_RESPONSE: from byte 12 up to the byte before F7.
std::span<const std::uint8_t> ResponseData(std::span<const std::uint8_t> response);

} // namespace vtl
