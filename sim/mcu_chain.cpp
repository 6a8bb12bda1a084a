#include "sim/mcu_chain.h"

#include "link/hex.h"
#include "link/messages.h"
#include "link/seven_bit.h"
#include "model/program_image.h"
#include "model/program_update.h"

#include <algorithm>
#include <optional>
#include <string>

namespace vtl {
namespace {

constexpr std::uint8_t kSysExEnd = 0xf7;
constexpr std::uint32_t kAddressMask = (1u << 21) - 1;
constexpr std::size_t kResponseBlock = 64;
constexpr std::size_t kPageSize = 256;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Byte positions (0-based) in the messages an MCU acts on.
constexpr std::size_t kVendorDevice = 4;
constexpr std::size_t kTagValue = 7;
constexpr std::size_t kIdentityDevice = 2;
constexpr std::size_t kRequestAddress = 8;
constexpr std::size_t kRequestLength = 11;
constexpr std::size_t kRequestSize = 14;
constexpr std::size_t kUpdateAddress = 10;
constexpr std::size_t kUpdateLength = 13;
constexpr std::size_t kUpdateData = 14;
constexpr std::size_t kRebootSize = 9;
constexpr std::size_t kIdentityRequestSize = 6;
constexpr std::size_t kResponseData = 11;

// What an MCU answers an identity request with around byte 21, which alone matters to the
// PC: family, member, version and four further bytes before it, one byte after it.
constexpr std::array<std::uint8_t, 12> kIdentityFields{0x01, 0x00, 0x01, 0x00, 0x01, 0x00,
                                                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
constexpr std::uint8_t kIdentityLastField = 0x00;
constexpr std::array<std::uint8_t, 3> kResponseCommand{0x04, 0x01, 0x04};

bool IsSevenBit(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b < 0x80; });
}

bool Addresses(std::uint8_t device, int index) {
    return device == kAllDevices || device == index + 1;
}

std::uint32_t Number(std::span<const std::uint8_t> groups) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < groups.size(); ++i)
        value |= std::uint32_t{groups[i]} << (7 * i);
    return value;
}

// F0 7E n 06 02 00 3D 62 f f m m v v v v x x x x c x F7.
Bytes IdentityReply(std::uint8_t device, std::uint8_t byte21) {
    Bytes m{0xf0, 0x7e, device, 0x06, 0x02, 0x00, 0x3d, 0x62};
    m.insert(m.end(), kIdentityFields.begin(), kIdentityFields.end());
    m.push_back(byte21);
    m.push_back(kIdentityLastField);
    m.push_back(kSysExEnd);
    return m;
}

// F0 00 3D 62 n 04 01 04 a0 a1 a2 d… F7.
Bytes ProgramResponse(std::uint8_t device, std::uint32_t address,
                      std::span<const std::uint8_t> data) {
    Bytes m{0xf0, 0x00, 0x3d, 0x62, device};
    m.insert(m.end(), kResponseCommand.begin(), kResponseCommand.end());
    const auto groups = SevenBitGroups21(address);
    m.insert(m.end(), groups.begin(), groups.end());
    const Bytes packed = PackSevenBit(data);
    m.insert(m.end(), packed.begin(), packed.end());
    m.push_back(kSysExEnd);
    return m;
}

// Notes whether unpacking met a byte that cannot be 7-bit data.
class FaultRecorder : public ConversionReporter {
public:
    void ReportConversionError(const std::string&) override { faulty = true; }
    bool faulty = false;
};

// The unpacked data of a well-formed packed block; nothing when a byte is above 127 or the
// block is not what packing produces (a lone high-bits byte, high bits for missing bytes).
std::optional<Bytes> UnpackStrict(std::span<const std::uint8_t> packed) {
    FaultRecorder recorder;
    Bytes data = UnpackSevenBit(packed, recorder);
    if (recorder.faulty) return std::nullopt;
    const Bytes repacked = PackSevenBit(data);
    if (!std::equal(repacked.begin(), repacked.end(), packed.begin(), packed.end())) {
        return std::nullopt;
    }
    return data;
}

Error LineError(std::string_view fileName, int line, const std::string& what) {
    return Error{std::string(fileName) + ":" + std::to_string(line) + ": " + what};
}

} // namespace

std::uint8_t McuChain::Mcu::read(std::uint32_t address) const {
    address &= kAddressMask;
    const auto page = pages.find(address / kPageSize);
    return page == pages.end() ? kErasedByte : page->second[address % kPageSize];
}

void McuChain::Mcu::write(std::uint32_t address, std::uint8_t value) {
    address &= kAddressMask;
    auto [page, created] = pages.try_emplace(address / kPageSize);
    if (created) page->second.fill(kErasedByte);
    page->second[address % kPageSize] = value;
}

McuChain::McuChain(int mcuCount)
    : mcus_(static_cast<std::size_t>(std::clamp(mcuCount, 0, kMaxMcus))),
      brokenLinks_(mcus_.size() + 1, false) {}

McuChain::Mcu* McuChain::find(int mcu) {
    return mcu >= 1 && mcu <= mcuCount() ? &mcus_[static_cast<std::size_t>(mcu - 1)] : nullptr;
}

const McuChain::Mcu* McuChain::find(int mcu) const {
    return mcu >= 1 && mcu <= mcuCount() ? &mcus_[static_cast<std::size_t>(mcu - 1)] : nullptr;
}

void McuChain::setIdentityByte21(int mcu, std::uint8_t value) {
    if (auto* m = find(mcu)) m->identityByte21 = value;
}

void McuChain::storeProgram(int mcu, std::uint32_t programIndex,
                            std::span<const std::uint8_t> image) {
    auto* m = find(mcu);
    if (!m) return;
    const std::size_t n = std::min(image.size(), kPageSize);
    for (std::size_t i = 0; i < n; ++i) {
        m->write(static_cast<std::uint32_t>(programIndex * kPageSize + i), image[i]);
    }
}

Bytes McuChain::program(int mcu, std::uint32_t programIndex) const {
    const auto* m = find(mcu);
    if (!m) return {};
    Bytes image(kPageSize);
    for (std::size_t i = 0; i < kPageSize; ++i) {
        image[i] = m->read(static_cast<std::uint32_t>(programIndex * kPageSize + i));
    }
    return image;
}

int McuChain::rebootCount(int mcu) const {
    const auto* m = find(mcu);
    return m ? m->reboots : 0;
}

int McuChain::refusedUpdates(int mcu) const {
    const auto* m = find(mcu);
    return m ? m->refusedUpdates : 0;
}

Status McuChain::preloadConsole(std::istream& in, std::string_view fileName) {
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (number == 1 && line.starts_with(kByteOrderMark)) line.erase(0, kByteOrderMark.size());
        if (number > mcuCount()) {
            return LineError(fileName, number,
                             "the chain has " + std::to_string(mcuCount()) + " MCUs");
        }
        const auto bytes = HexToBytes(line);
        if (!bytes) return LineError(fileName, number, "not hex text: " + bytes.error().message);
        if (bytes->size() > kFileImageSize) {
            return LineError(fileName, number, "longer than a console line");
        }
        storeProgram(number, 0, *bytes);
    }
    if (in.bad()) return Error{std::string(fileName) + ": cannot read the file"};
    return Ok();
}

std::vector<Bytes> McuChain::send(std::span<const std::uint8_t> message) {
    return pass(0, {Bytes(message.begin(), message.end())});
}

std::vector<Bytes> McuChain::tick() {
    std::vector<HeldReply> due;
    std::vector<HeldReply> waiting;
    for (auto& reply : held_) {
        if (reply.ticksLeft == 0) {
            due.push_back(std::move(reply));
        } else {
            --reply.ticksLeft;
            waiting.push_back(std::move(reply));
        }
    }
    held_ = std::move(waiting);

    std::vector<Bytes> arrived;
    for (auto& reply : due) {
        auto out = pass(reply.mcuIndex + 1, {std::move(reply.message)});
        arrived.insert(arrived.end(), std::make_move_iterator(out.begin()),
                       std::make_move_iterator(out.end()));
    }
    return arrived;
}

void McuChain::breakLink(int link) {
    if (link >= 0 && link <= mcuCount()) brokenLinks_[static_cast<std::size_t>(link)] = true;
}

void McuChain::repairLinks() {
    std::fill(brokenLinks_.begin(), brokenLinks_.end(), false);
}

void McuChain::setSilent(int mcu, bool silent) {
    if (auto* m = find(mcu)) m->silent = silent;
}

void McuChain::dropReplies(int mcu, int count) {
    if (auto* m = find(mcu)) m->repliesToDrop = std::max(count, 0);
}

void McuChain::delayReplies(int mcu, int ticks) {
    if (auto* m = find(mcu)) m->replyDelay = std::max(ticks, 0);
}

void McuChain::corruptNextResponse(int mcu) {
    if (auto* m = find(mcu)) m->corruptResponse = true;
}

std::vector<Bytes> McuChain::pass(int firstIndex, std::vector<Bytes> messages) {
    for (int index = firstIndex; index < mcuCount(); ++index) {
        if (brokenLinks_[static_cast<std::size_t>(index)]) return {};
        std::vector<Bytes> out;
        for (const auto& message : messages)
            handle(index, message, out);
        messages = std::move(out);
    }
    if (brokenLinks_.back()) return {};
    return messages;
}

void McuChain::handle(int index, const Bytes& message, std::vector<Bytes>& out) {
    Bytes passed = message;
    if (Recognise(message) == MessageKind::Tag && passed.size() > kTagValue) {
        passed[kTagValue] = static_cast<std::uint8_t>((passed[kTagValue] + 1) & 0x7f);
    }
    out.push_back(std::move(passed));
    for (auto& reply : answer(index, message))
        passReply(index, std::move(reply), out);
}

std::vector<Bytes> McuChain::answer(int index, const Bytes& message) {
    Mcu& mcu = mcus_[static_cast<std::size_t>(index)];
    const auto device = static_cast<std::uint8_t>(index + 1);
    const auto addressed = [&](std::size_t at) {
        return message.size() > at && Addresses(message[at], index);
    };
    const bool terminated = message.size() >= 2 && message.back() == kSysExEnd;
    const auto body = terminated ? std::span(message).subspan(1, message.size() - 2)
                                 : std::span<const std::uint8_t>{};

    switch (Recognise(message)) {
    case MessageKind::IdentityRequest:
        if (message.size() == kIdentityRequestSize && terminated && addressed(kIdentityDevice)) {
            return {IdentityReply(device, mcu.identityByte21)};
        }
        return {};
    case MessageKind::ProgramRequest: {
        if (message.size() != kRequestSize || !terminated || !IsSevenBit(body) ||
            !addressed(kVendorDevice)) {
            return {};
        }
        const auto address = Number(std::span(message).subspan(kRequestAddress, 3));
        const auto length = Number(std::span(message).subspan(kRequestLength, 2));
        std::vector<Bytes> responses;
        for (std::uint32_t offset = 0; offset < length; offset += kResponseBlock) {
            Bytes data(std::min<std::size_t>(kResponseBlock, length - offset));
            for (std::size_t i = 0; i < data.size(); ++i) {
                data[i] = mcu.read(static_cast<std::uint32_t>(address + offset + i));
            }
            responses.push_back(ProgramResponse(device, (address + offset) & kAddressMask, data));
        }
        return responses;
    }
    case MessageKind::ProgramUpdate: {
        if (!addressed(kVendorDevice)) return {};
        const std::size_t length = message.size() > kUpdateLength ? message[kUpdateLength] : 0;
        const auto data =
            terminated && message.size() == kUpdateData + length + 1 && IsSevenBit(body)
                ? UnpackStrict(std::span(message).subspan(kUpdateData, length))
                : std::nullopt;
        if (!data) {
            ++mcu.refusedUpdates;
            return {};
        }
        const auto address = Number(std::span(message).subspan(kUpdateAddress, 3));
        for (std::size_t i = 0; i < data->size(); ++i) {
            mcu.write(static_cast<std::uint32_t>(address + i), (*data)[i]);
        }
        return {};
    }
    case MessageKind::McuReboot:
        if (message.size() == kRebootSize && terminated && addressed(kVendorDevice)) ++mcu.reboots;
        return {};
    default:
        return {};
    }
}

void McuChain::passReply(int index, Bytes reply, std::vector<Bytes>& out) {
    Mcu& mcu = mcus_[static_cast<std::size_t>(index)];
    if (mcu.silent) return;
    if (mcu.repliesToDrop > 0) {
        --mcu.repliesToDrop;
        return;
    }
    if (mcu.corruptResponse && Recognise(reply) == MessageKind::ProgramResponse) {
        reply[kResponseData] |= 0x80;
        mcu.corruptResponse = false;
    }
    if (mcu.replyDelay > 0) {
        held_.push_back({index, mcu.replyDelay, std::move(reply)});
        return;
    }
    out.push_back(std::move(reply));
}

} // namespace vtl
