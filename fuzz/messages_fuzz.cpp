// The message recogniser and 7-bit transport on arbitrary bytes: the input is read as a
// received message (every field reader stays inside it) and as program data, which must
// come back whole from packing and from a PROGRAM_RESPONSE or PROGRAM_UPDATE built of it.

#include "fuzz_check.h"
#include "sysex/messages.h"
#include "sysex/seven_bit.h"

#include <algorithm>

using vtl::fuzz::Require;

namespace {

// Counts the faulty bytes and the reports that carry them: one report per message at most.
class CountingReporter : public vtl::ConversionReporter {
public:
    void ReportConversionErrors(const vtl::ConversionFaults& faults) override {
        Require(!faults.positions.empty() && ++messages == 1, "a message is reported apart");
        faulty += faults.positions.size();
    }
    std::size_t faulty = 0;
    int messages = 0;
};

bool Inside(std::span<const std::uint8_t> part, std::span<const std::uint8_t> whole) {
    return part.empty() || (part.data() >= whole.data() &&
                            part.data() + part.size() <= whole.data() + whole.size());
}

// Every reader of a received message on bytes that may be anything.
void ReadAsReceived(std::span<const std::uint8_t> message) {
    const vtl::MessageKind kind = vtl::Recognise(message);
    Require(kind == vtl::MessageKind::Unrecognised ||
                (message.size() >= 5 && message[0] == vtl::kSysExStart),
            "a message not starting F0 is recognised");
    (void)vtl::TagValue(message);
    (void)vtl::IdentityByte21(message);
    (void)vtl::Address21(message, vtl::field::kRequestAddress);
    (void)vtl::Address21(message, vtl::field::kUpdateAddress);
    (void)vtl::RequestLength(message);
    if (const auto update = vtl::UpdateData(message)) {
        Require(Inside(*update, message), "update data outside its message");
    }
    const auto packed = vtl::ResponseData(message);
    Require(Inside(packed, message), "response data outside its message");
    CountingReporter reporter;
    const vtl::Bytes data = vtl::UnpackSevenBit(packed, reporter);
    const auto high = static_cast<std::size_t>(
        std::count_if(packed.begin(), packed.end(), [](std::uint8_t b) { return b > 127; }));
    Require(reporter.faulty == high, "not every byte above 127 is reported");
    Require(data.size() <= packed.size() - high, "unpacking makes more bytes than it got");
}

// The input as program data sent in both directions.
void SendAsData(std::span<const std::uint8_t> input) {
    const vtl::Bytes packed = vtl::PackSevenBit(input);
    Require(packed.size() == input.size() + (input.size() + 6) / 7, "packed size is wrong");
    Require(std::all_of(packed.begin(), packed.end(), [](std::uint8_t b) { return b < 128; }),
            "packing leaves a byte above 127");
    CountingReporter reporter;
    Require(vtl::UnpackSevenBit(packed, reporter) == vtl::Bytes(input.begin(), input.end()) &&
                reporter.messages == 0,
            "packed data unpacks differently");

    if (input.size() < 4) return;
    const std::uint8_t device = input[0] & 0x7f;
    // Addresses are 21 bits wide.
    const std::uint32_t address =
        (std::uint32_t{input[1]} | std::uint32_t{input[2]} << 8 | std::uint32_t{input[3]} << 16) &
        0x1fffff;
    const auto data = input.subspan(4);

    const vtl::Bytes response = vtl::ProgramResponseMessage(device, address, data);
    Require(vtl::Recognise(response) == vtl::MessageKind::ProgramResponse,
            "a PROGRAM_RESPONSE is not recognised");
    Require(vtl::Address21(response, vtl::field::kResponseAddress) == address,
            "a PROGRAM_RESPONSE's address reads differently");
    Require(vtl::UnpackSevenBit(vtl::ResponseData(response), reporter) ==
                vtl::Bytes(data.begin(), data.end()),
            "a PROGRAM_RESPONSE's data reads differently");

    const vtl::Bytes block = vtl::PackSevenBit(data);
    if (block.size() > 127) return; // its length travels in one 7-bit byte
    const vtl::Bytes update = vtl::ProgramUpdateMessage(device, address, block);
    Require(vtl::Recognise(update) == vtl::MessageKind::ProgramUpdate,
            "a PROGRAM_UPDATE is not recognised");
    const auto sent = vtl::UpdateData(update);
    Require(sent && std::equal(sent->begin(), sent->end(), block.begin(), block.end()),
            "a PROGRAM_UPDATE's data reads differently");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    ReadAsReceived(input);
    SendAsData(input);
    return 0;
}
