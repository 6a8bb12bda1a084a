#pragma once
// The SysEx messages exchanged with the MCUs: how each is built and how a received one is
// recognised and read. Messages the PC sends also come back to it through the chain; the
// MCUs' replies are built here too, for the simulated chain and the tests.

#include "sysex/bytes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace vtl {

inline constexpr std::uint8_t kSysExStart = 0xf0;
inline constexpr std::uint8_t kSysExEnd = 0xf7;
// The device byte that addresses every MCU of the chain.
inline constexpr std::uint8_t kAllDevices = 0x7f;

// Byte positions (0-based) of the fields, counted from F0.
namespace field {
inline constexpr std::size_t kVendorDevice = 4;    // every vendor message
inline constexpr std::size_t kTagValue = 7;        // TAG
inline constexpr std::size_t kIdentityDevice = 2;  // identity request and reply
inline constexpr std::size_t kIdentityByte21 = 20; // identity reply: the MCU's format choice
inline constexpr std::size_t kRequestAddress = 8;  // PROGRAM_REQUEST: 3 groups, then...
inline constexpr std::size_t kRequestLength = 11;  // ...2 groups of the length
inline constexpr std::size_t kResponseAddress = 8; // PROGRAM_RESPONSE: 3 groups, then...
inline constexpr std::size_t kResponseData = 11;   // ...the packed data up to F7
inline constexpr std::size_t kUpdateAddress = 10;  // PROGRAM_UPDATE: 3 groups, then...
inline constexpr std::size_t kUpdateLength = 13;   // ...the packed length, then...
inline constexpr std::size_t kUpdateData = 14;     // ...the packed data
} // namespace field

// Whole lengths of the fixed-size messages.
inline constexpr std::size_t kRequestSize = 14;
inline constexpr std::size_t kRebootSize = 9;
inline constexpr std::size_t kIdentityRequestSize = 6;

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
// The number 7-bit groups stand for, lowest first.
std::uint32_t FromSevenBitGroups(std::span<const std::uint8_t> groups);

// Requests the PC sends.
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

// Replies an MCU sends.
// F0 7E n 06 02 00 3D 62 f f m m v v v v x x x x c x F7, c being byte 21.
Bytes IdentityReplyMessage(std::uint8_t device, std::uint8_t byte21);
// F0 00 3D 62 n 04 01 04 a0 a1 a2 p… F7: a block of program data, 7-bit packed.
Bytes ProgramResponseMessage(std::uint8_t device, std::uint32_t address,
                             std::span<const std::uint8_t> data);

MessageKind Recognise(std::span<const std::uint8_t> message);

// Fields of received messages; empty when the message is too short to carry them.
std::optional<std::uint8_t> TagValue(std::span<const std::uint8_t> tag);
std::optional<std::uint8_t> IdentityByte21(std::span<const std::uint8_t> reply);
// The packed program data of a PROGRAM_RESPONSE: from byte 12 up to the byte before F7.
std::span<const std::uint8_t> ResponseData(std::span<const std::uint8_t> response);
// The 21-bit number of 3 groups at a position (addresses); empty when the message is short.
std::optional<std::uint32_t> Address21(std::span<const std::uint8_t> message, std::size_t at);
// The read length of a PROGRAM_REQUEST.
std::optional<std::uint32_t> RequestLength(std::span<const std::uint8_t> request);
// The packed data of a PROGRAM_UPDATE whose length byte matches it and that ends in F7.
std::optional<std::span<const std::uint8_t>> UpdateData(std::span<const std::uint8_t> update);

} // namespace vtl
