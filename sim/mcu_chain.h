#pragma once
// A chain of MCUs as the PC sees it: the PC's MIDI output feeds MCU 1, each MCU feeds the
// next and the last one feeds the PC's MIDI input. Every message passes the whole chain,
// so the PC hears its own requests; the MCU a request addresses adds its replies behind
// it, and those replies pass the MCUs after it before they reach the PC. Faults can be
// switched on to see how the PC copes with a chain that misbehaves.

#include "sim/console_play.h"
#include "sysex/bytes.h"
#include "sysex/result.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <map>
#include <span>
#include <string_view>
#include <vector>

namespace vtl {

class McuChain {
public:
    static constexpr int kMaxMcus = 4;
    static constexpr std::uint8_t kDefaultIdentityByte21 = 0x12;
    // Bytes never written read as erased memory.
    static constexpr std::uint8_t kErasedByte = 0xff;

    // A chain of mcuCount MCUs, clamped to 0 to kMaxMcus. MCU k (1-based) sits at
    // position k and answers device byte k.
    explicit McuChain(int mcuCount);

    int McuCount() const { return static_cast<int>(mcus_.size()); }
    // Boards added or removed at the end of the chain, as when one is fitted or taken out;
    // every link is whole afterwards.
    void Resize(int mcuCount);

    // Settings and state of one MCU. Calls naming an MCU outside 1 to mcuCount() change
    // nothing; queries about such an MCU give 0 or nothing.
    void SetIdentityByte21(int mcu, std::uint8_t value);
    void StoreProgram(int mcu, std::uint32_t programIndex, std::span<const std::uint8_t> image);
    // The 256 bytes of one program as the MCU holds them.
    Bytes Program(int mcu, std::uint32_t programIndex) const;
    int RebootCount(int mcu) const;
    // PROGRAM_UPDATE messages addressed to the MCU that it refused: a length byte that does
    // not match the data, or a data byte above 127.
    int RefusedUpdates(int mcu) const;

    // Stores the images of a console file into program 0, line k into MCU k. A line that
    // is not hex text, longer than a console line, or beyond the last MCU is an error
    // naming the file and the line; the lines before it stay stored.
    Status PreloadConsole(std::istream& in, std::string_view fileName);
    // The same from a file; an error names the file when it cannot be opened.
    Status PreloadConsoleFile(const std::filesystem::path& path);

    // Passes one message from the PC along the chain; returns what reaches the PC's input,
    // in the order it arrives.
    std::vector<Bytes> Send(std::span<const std::uint8_t> message);
    // The console played: what the MCU of step.manual sends by the configuration in its
    // program 0, after it has passed the rest of the chain; an error says why it sends nothing.
    Expected<std::vector<Bytes>> Play(const PlayStep& step);
    // One tick of time: returns the held-back replies that become due, after they have
    // passed the rest of the chain.
    std::vector<Bytes> Tick();

    // Faults. Link k carries messages from MCU k to MCU k + 1; link 0 is the cable from the
    // PC to MCU 1 and link mcuCount() the cable back to the PC. A broken link loses every
    // message that reaches it; the MCUs before it still act on what they receive.
    void BreakLink(int link);
    void RepairLinks();
    // A silent MCU passes messages on and stores updates but never answers.
    void SetSilent(int mcu, bool silent);
    // The next count replies of the MCU (identity replies or single responses) vanish.
    void DropReplies(int mcu, int count);
    // Every later reply of the MCU is held back: instead of coming out of send() it comes
    // out of the (ticks + 1)-th call of tick() after it, so ticks whole ticks later than
    // the messages sent with it. 0 ends the delay for new replies.
    void DelayReplies(int mcu, int ticks);
    // The next PROGRAM_RESPONSE of the MCU carries its first data byte with bit 7 set.
    void CorruptNextResponse(int mcu);
    // Every later reply of the MCU is sent twice.
    void DuplicateReplies(int mcu, bool twice);
    // An MCU that passes nothing on still acts on what reaches it and sends its own replies,
    // as when its MIDI thru fails while its own output works.
    void SetPassing(int mcu, bool passing);

    // The MIDI device the chain hangs on fails once the PC has sent `sends` more messages:
    // it vanishes as when unplugged (no device listed, nothing passes), or it refuses every
    // later message with an error.
    enum class DeviceFault { None, Vanished, Refusing };
    void FailDeviceAfter(int sends, DeviceFault fault);
    DeviceFault Fault() const { return sendsBeforeFault_ == 0 ? deviceFault_ : DeviceFault::None; }

private:
    struct Mcu {
        // Memory in 256-byte pages, created when first written.
        std::map<std::uint32_t, std::array<std::uint8_t, 256>> pages;
        std::uint8_t identityByte21 = kDefaultIdentityByte21;
        int reboots = 0;
        int refusedUpdates = 0;
        bool silent = false;
        int repliesToDrop = 0;
        int replyDelay = 0;
        bool corruptResponse = false;
        bool duplicate = false;
        bool passing = true;

        std::uint8_t Read(std::uint32_t address) const;
        void Write(std::uint32_t address, std::uint8_t value);
    };

    // A reply held back by its MCU until ticksLeft has run down.
    struct HeldReply {
        int mcuIndex;
        int ticksLeft;
        Bytes message;
    };

    Mcu* Find(int mcu);
    const Mcu* Find(int mcu) const;

    // Runs messages through the MCUs from firstIndex (0-based) to the end of the chain.
    std::vector<Bytes> Pass(int firstIndex, std::vector<Bytes> messages);
    // One MCU's handling of one message: the message passed on, then its replies.
    void Handle(int index, const Bytes& message, std::vector<Bytes>& out);
    std::vector<Bytes> Answer(int index, const Bytes& message);
    void PassReply(int index, Bytes reply, std::vector<Bytes>& out);

    std::vector<Mcu> mcus_;
    std::vector<bool> brokenLinks_;
    std::vector<HeldReply> held_;
    DeviceFault deviceFault_ = DeviceFault::None;
    int sendsBeforeFault_ = -1; // counts down to 0, where the fault holds
};

} // namespace vtl
