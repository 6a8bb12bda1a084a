#include "sim/mcu_chain.h"

#include "model/config_file.h"
#include "model/file_path.h"
#include "model/program_image.h"
#include "sysex/messages.h"
#include "sysex/seven_bit.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>

namespace vtl {
namespace {

constexpr std::uint32_t kAddressMask = (1u << 21) - 1;
constexpr std::size_t kResponseBlock = 64;
constexpr std::size_t kPageSize = 256;

bool IsSevenBit(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b < 0x80; });
}

bool Addresses(std::uint8_t device, int index) {
    return device == kAllDevices || device == index + 1;
}

// Notes whether unpacking met a byte that cannot be 7-bit data.
class FaultRecorder : public ConversionReporter {
public:
    void ReportConversionErrors(const ConversionFaults&) override { faulty = true; }
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

} // namespace

std::uint8_t McuChain::Mcu::Read(std::uint32_t address) const {
    address &= kAddressMask;
    const auto page = pages.find(static_cast<std::uint32_t>(address / kPageSize));
    return page == pages.end() ? kErasedByte : page->second[address % kPageSize];
}

void McuChain::Mcu::Write(std::uint32_t address, std::uint8_t value) {
    address &= kAddressMask;
    auto [page, created] = pages.try_emplace(static_cast<std::uint32_t>(address / kPageSize));
    if (created) page->second.fill(kErasedByte);
    page->second[address % kPageSize] = value;
}

McuChain::McuChain(int mcuCount)
    : mcus_(static_cast<std::size_t>(std::clamp(mcuCount, 0, kMaxMcus))),
      brokenLinks_(mcus_.size() + 1, false) {}

void McuChain::Resize(int mcuCount) {
    mcus_.resize(static_cast<std::size_t>(std::clamp(mcuCount, 0, kMaxMcus)));
    brokenLinks_.assign(mcus_.size() + 1, false);
}

McuChain::Mcu* McuChain::Find(int mcu) {
    return mcu >= 1 && mcu <= McuCount() ? &mcus_[static_cast<std::size_t>(mcu - 1)] : nullptr;
}

const McuChain::Mcu* McuChain::Find(int mcu) const {
    return mcu >= 1 && mcu <= McuCount() ? &mcus_[static_cast<std::size_t>(mcu - 1)] : nullptr;
}

void McuChain::SetIdentityByte21(int mcu, std::uint8_t value) {
    if (auto* m = Find(mcu)) m->identityByte21 = value;
}

void McuChain::StoreProgram(int mcu, std::uint32_t programIndex,
                            std::span<const std::uint8_t> image) {
    auto* m = Find(mcu);
    if (!m) return;
    const std::size_t n = std::min(image.size(), kPageSize);
    for (std::size_t i = 0; i < n; ++i) {
        m->Write(static_cast<std::uint32_t>(programIndex * kPageSize + i), image[i]);
    }
}

Bytes McuChain::Program(int mcu, std::uint32_t programIndex) const {
    const auto* m = Find(mcu);
    if (!m) return {};
    Bytes image(kPageSize);
    for (std::size_t i = 0; i < kPageSize; ++i) {
        image[i] = m->Read(static_cast<std::uint32_t>(programIndex * kPageSize + i));
    }
    return image;
}

int McuChain::RebootCount(int mcu) const {
    const auto* m = Find(mcu);
    return m ? m->reboots : 0;
}

int McuChain::RefusedUpdates(int mcu) const {
    const auto* m = Find(mcu);
    return m ? m->refusedUpdates : 0;
}

Status McuChain::PreloadConsole(std::istream& in, std::string_view fileName) {
    return ForEachConsoleLine(in, fileName, McuCount(),
                              "the chain has " + std::to_string(McuCount()) + " MCUs",
                              [this](int number, const Expected<Bytes>& image) -> Status {
                                  if (!image) return image.error();
                                  StoreProgram(number, 0, *image);
                                  return Ok();
                              });
}

Status McuChain::PreloadConsoleFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return Error{Utf8Name(path) + ": " + std::strerror(errno)};
    return PreloadConsole(in, Utf8Name(path));
}

std::vector<Bytes> McuChain::Send(std::span<const std::uint8_t> message) {
    if (sendsBeforeFault_ > 0) --sendsBeforeFault_;
    if (DeviceFault() != DeviceFault::None) return {};
    return Pass(0, {Bytes(message.begin(), message.end())});
}

Expected<std::vector<Bytes>> McuChain::Play(const PlayStep& step) {
    if (step.kind == PlayStep::Kind::Nothing || step.kind == PlayStep::Kind::Wait)
        return std::vector<Bytes>{};
    if (!Find(step.manual)) return Error{"there is no MCU " + std::to_string(step.manual)};
    ConsoleModel console;
    console.currentManual = static_cast<std::int16_t>(step.manual);
    if (const auto decoded = DecodeProgramImage(console, Program(step.manual, 0)); !decoded)
        return decoded.error();
    auto played = PlayedMessages(console, step);
    if (!played || DeviceFault() != DeviceFault::None) return played;
    return Pass(step.manual, std::move(*played));
}

std::vector<Bytes> McuChain::Tick() {
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
        auto out = Pass(reply.mcuIndex + 1, {std::move(reply.message)});
        arrived.insert(arrived.end(), std::make_move_iterator(out.begin()),
                       std::make_move_iterator(out.end()));
    }
    return arrived;
}

void McuChain::BreakLink(int link) {
    if (link >= 0 && link <= McuCount()) brokenLinks_[static_cast<std::size_t>(link)] = true;
}

void McuChain::RepairLinks() {
    std::fill(brokenLinks_.begin(), brokenLinks_.end(), false);
}

void McuChain::SetSilent(int mcu, bool silent) {
    if (auto* m = Find(mcu)) m->silent = silent;
}

void McuChain::DropReplies(int mcu, int count) {
    if (auto* m = Find(mcu)) m->repliesToDrop = std::max(count, 0);
}

void McuChain::DelayReplies(int mcu, int ticks) {
    if (auto* m = Find(mcu)) m->replyDelay = std::max(ticks, 0);
}

void McuChain::CorruptNextResponse(int mcu) {
    if (auto* m = Find(mcu)) m->corruptResponse = true;
}

void McuChain::DuplicateReplies(int mcu, bool twice) {
    if (auto* m = Find(mcu)) m->duplicate = twice;
}

void McuChain::SetPassing(int mcu, bool passing) {
    if (auto* m = Find(mcu)) m->passing = passing;
}

void McuChain::FailDeviceAfter(int sends, DeviceFault fault) {
    sendsBeforeFault_ = std::max(sends, 0);
    deviceFault_ = fault;
}

std::vector<Bytes> McuChain::Pass(int firstIndex, std::vector<Bytes> messages) {
    for (int index = firstIndex; index < McuCount(); ++index) {
        if (brokenLinks_[static_cast<std::size_t>(index)]) return {};
        std::vector<Bytes> out;
        for (const auto& message : messages)
            Handle(index, message, out);
        messages = std::move(out);
    }
    if (brokenLinks_.back()) return {};
    return messages;
}

void McuChain::Handle(int index, const Bytes& message, std::vector<Bytes>& out) {
    Bytes passed = message;
    if (const auto value = TagValue(message); value && Recognise(message) == MessageKind::Tag) {
        passed[field::kTagValue] = static_cast<std::uint8_t>((*value + 1) & 0x7f);
    }
    if (mcus_[static_cast<std::size_t>(index)].passing) out.push_back(std::move(passed));
    for (auto& reply : Answer(index, message))
        PassReply(index, std::move(reply), out);
}

std::vector<Bytes> McuChain::Answer(int index, const Bytes& message) {
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
        if (message.size() == kIdentityRequestSize && terminated &&
            addressed(field::kIdentityDevice)) {
            return {IdentityReplyMessage(device, mcu.identityByte21)};
        }
        return {};
    case MessageKind::ProgramRequest: {
        if (message.size() != kRequestSize || !terminated || !IsSevenBit(body) ||
            !addressed(field::kVendorDevice)) {
            return {};
        }
        const auto address = *Address21(message, field::kRequestAddress);
        const auto length = *RequestLength(message);
        std::vector<Bytes> responses;
        for (std::uint32_t offset = 0; offset < length; offset += kResponseBlock) {
            Bytes data(std::min<std::size_t>(kResponseBlock, length - offset));
            for (std::size_t i = 0; i < data.size(); ++i) {
                data[i] = mcu.Read(static_cast<std::uint32_t>(address + offset + i));
            }
            responses.push_back(
                ProgramResponseMessage(device, (address + offset) & kAddressMask, data));
        }
        return responses;
    }
    case MessageKind::ProgramUpdate: {
        if (!addressed(field::kVendorDevice)) return {};
        const auto packed = UpdateData(message);
        const auto data =
            packed && IsSevenBit(body) ? UnpackStrict(*packed) : std::optional<Bytes>{};
        if (!data) {
            ++mcu.refusedUpdates;
            return {};
        }
        const auto address = *Address21(message, field::kUpdateAddress);
        for (std::size_t i = 0; i < data->size(); ++i) {
            mcu.Write(static_cast<std::uint32_t>(address + i), (*data)[i]);
        }
        return {};
    }
    case MessageKind::McuReboot:
        if (message.size() == kRebootSize && terminated && addressed(field::kVendorDevice)) {
            ++mcu.reboots;
        }
        return {};
    default:
        return {};
    }
}

void McuChain::PassReply(int index, Bytes reply, std::vector<Bytes>& out) {
    Mcu& mcu = mcus_[static_cast<std::size_t>(index)];
    if (mcu.silent) return;
    if (mcu.repliesToDrop > 0) {
        --mcu.repliesToDrop;
        return;
    }
    if (mcu.corruptResponse && Recognise(reply) == MessageKind::ProgramResponse) {
        reply[field::kResponseData] |= 0x80;
        mcu.corruptResponse = false;
    }
    for (int copy = mcu.duplicate ? 2 : 1; copy > 0; --copy) {
        if (mcu.replyDelay > 0) {
            held_.push_back({index, mcu.replyDelay, reply});
        } else {
            out.push_back(reply);
        }
    }
}

} // namespace vtl
