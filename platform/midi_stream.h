#pragma once
// Cuts received MIDI bytes into whole messages. A driver may hand over a SysEx message in
// pieces, or glue an unfinished one to whatever follows; the receiver must see only complete
// messages, so a SysEx fragment cut short by a new status byte is dropped here.

#include "sysex/bytes.h"

#include <cstdint>
#include <span>
#include <vector>

namespace vtl {

class MidiStreamParser {
public:
    // Consumes one chunk as the driver delivered it and returns the messages it completed,
    // in order. A SysEx message may span chunks; realtime bytes (F8 to FF) are messages of
    // their own wherever they occur. Stray data bytes, a lone F7 and short messages missing
    // data bytes are dropped.
    std::vector<Bytes> Feed(std::span<const std::uint8_t> chunk);
    // Forgets a partly received message.
    void Reset() { partial_.clear(); }

private:
    // The message being received: empty, a SysEx message without its F7 yet, or a short
    // message without all its data bytes yet.
    Bytes partial_;
};

} // namespace vtl
