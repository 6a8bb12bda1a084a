#pragma once
// Cuts received MIDI bytes into whole messages and says what each one is. A driver may hand
// over a SysEx message in pieces, glue an unfinished one to whatever follows, or leave out a
// repeated status byte (running status); the receiver must see only complete messages, so a
// SysEx fragment cut short by a new status byte is dropped here.

#include "model/live_event.h"
#include "sysex/bytes.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vtl {

class MidiStreamParser {
public:
    // The longest SysEx message kept, F0 and F7 included. A longer one is dropped, the rest of
    // its bytes with it, so that a device that never ends one costs no more memory than this.
    static constexpr std::size_t kMaxSysExLength = 64 * 1024;

    // Consumes one chunk as the driver delivered it and returns the messages it completed,
    // in order. A SysEx message may span chunks; realtime bytes (F8 to FF) are messages of
    // their own wherever they occur. Data bytes after a channel message repeat its status;
    // other stray data bytes, a lone F7 and short messages missing data bytes are dropped.
    std::vector<Bytes> Feed(std::span<const std::uint8_t> chunk);
    // Forgets a partly received message and the running status.
    void Reset() {
        partial_.clear();
        runningStatus_ = 0;
    }

private:
    // The message being received: empty, a SysEx message without its F7 yet, or a short
    // message without all its data bytes yet.
    Bytes partial_;
    // The status of the last channel message, which data bytes without one take; 0 for none.
    std::uint8_t runningStatus_ = 0;
};

// The parts of one whole message. A note-on with velocity 0 is a note-off. A short message
// padded beyond its length, as an input hands it over, is cut to it.
MidiMessage DecodeMessage(std::span<const std::uint8_t> message);

} // namespace vtl
