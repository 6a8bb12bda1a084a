#include "link/midi_stream.h"

#include <cstddef>

namespace vtl {
namespace {

constexpr std::uint8_t kSysExStart = 0xF0;
constexpr std::uint8_t kSysExEnd = 0xF7;
constexpr std::uint8_t kFirstRealtime = 0xF8;

// Length of a short message including its status byte; 0 for a status that cannot start one.
std::size_t ShortLength(std::uint8_t status) {
    if (status < 0xF0) return (status & 0xE0) == 0xC0 ? 2 : 3; // Cx, Dx carry one data byte
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 2;
    case 0xF2:
        return 3;
    case kSysExEnd:
        return 0;
    default:
        return 1;
    }
}

} // namespace

std::vector<Bytes> MidiStreamParser::Feed(std::span<const std::uint8_t> chunk) {
    std::vector<Bytes> complete;
    for (const std::uint8_t byte : chunk) {
        if (byte >= kFirstRealtime) {
            complete.push_back({byte});
            continue;
        }
        const bool inSysEx = !partial_.empty() && partial_.front() == kSysExStart;
        if (byte < 0x80) {
            if (partial_.empty() && runningStatus_ != 0) partial_.push_back(runningStatus_);
            if (partial_.empty()) continue;
            if (inSysEx && partial_.size() + 1 >= kMaxSysExLength) {
                partial_.clear(); // no running status in SysEx: its other bytes go too
                continue;
            }
            partial_.push_back(byte);
            if (!inSysEx && partial_.size() == ShortLength(partial_.front())) {
                complete.push_back(std::move(partial_));
                partial_.clear();
            }
            continue;
        }
        if (byte == kSysExEnd && inSysEx) {
            partial_.push_back(byte);
            complete.push_back(std::move(partial_));
            partial_.clear();
            continue;
        }
        // Any other status byte ends what came before it unfinished; only a channel message's
        // status runs on.
        partial_.clear();
        runningStatus_ = byte < 0xF0 ? byte : 0;
        if (byte == kSysExStart) {
            partial_.push_back(byte);
            continue;
        }
        const std::size_t length = ShortLength(byte);
        if (length == 1) complete.push_back({byte});
        if (length > 1) partial_.push_back(byte);
    }
    return complete;
}

MidiMessage DecodeMessage(std::span<const std::uint8_t> message) {
    MidiMessage decoded;
    decoded.bytes.assign(message.begin(), message.end());
    if (message.empty()) return decoded;
    const std::uint8_t status = message[0];
    if (status == kSysExStart) {
        decoded.kind = MidiKind::SysEx;
        return decoded;
    }
    const std::size_t length = ShortLength(status);
    if (length != 0 && message.size() > length) decoded.bytes.resize(length);
    if (status < 0x80 || status >= 0xF0 || message.size() < length) return decoded;
    decoded.channel = (status & 0x0F) + 1;
    const int first = message[1];
    switch (status & 0xF0) {
    case 0x80:
    case 0x90:
        decoded.kind =
            (status & 0xF0) == 0x90 && message[2] != 0 ? MidiKind::NoteOn : MidiKind::NoteOff;
        decoded.note = first;
        decoded.velocity = message[2];
        break;
    case 0xB0:
        decoded.kind = MidiKind::Controller;
        decoded.controller = first;
        decoded.value = message[2];
        break;
    case 0xC0:
        decoded.kind = MidiKind::ProgramChange;
        decoded.program = first + 1;
        break;
    default:
        break; // aftertouch, pitch bend: shown raw
    }
    return decoded;
}

} // namespace vtl
