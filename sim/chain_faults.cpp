#include "sim/chain_faults.h"

#include "sim/mcu_chain.h"

#include <charconv>
#include <optional>
#include <string>
#include <vector>

namespace vtl {
namespace {

// The numbers after the name, each a whole number of at most four digits.
std::optional<std::vector<int>> Numbers(std::string_view text) {
    std::vector<int> numbers;
    while (!text.empty()) {
        const auto colon = text.find(':');
        const std::string_view part = text.substr(0, colon);
        int value = 0;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (error != std::errc{} || end != part.data() + part.size() || part.size() > 4 ||
            value < 0) {
            return std::nullopt;
        }
        numbers.push_back(value);
        text = colon == std::string_view::npos ? std::string_view{} : text.substr(colon + 1);
    }
    return numbers;
}

} // namespace

Status ApplyChainFault(McuChain& chain, std::string_view fault) {
    const auto colon = fault.find(':');
    const std::string_view name = fault.substr(0, colon);
    const auto numbers = colon == std::string_view::npos ? std::optional<std::vector<int>>{}
                                                         : Numbers(fault.substr(colon + 1));
    const auto wrong = [&](const std::string& why) {
        return Error{"fault \"" + std::string(fault) + "\": " + why};
    };
    if (!numbers) return wrong("expected NAME:NUMBER[:NUMBER] with whole numbers");
    const auto& n = *numbers;
    const std::size_t wanted = name == "drop" || name == "late" ? 2 : 1;
    if (n.size() != wanted) {
        return wrong("takes " + std::to_string(wanted) + (wanted == 1 ? " number" : " numbers"));
    }
    const bool namesMcu = name != "mcus" && name != "vanish" && name != "port-error";
    if (namesMcu && (n[0] < 1 || n[0] > chain.McuCount())) {
        return wrong("there is no MCU " + std::to_string(n[0]) + " on a chain of " +
                     std::to_string(chain.McuCount()));
    }
    if (name == "mcus") {
        if (n[0] > McuChain::kMaxMcus) return wrong("a chain has 0 to 4 MCUs");
        chain.Resize(n[0]);
    } else if (name == "silent") {
        chain.SetSilent(n[0], true);
    } else if (name == "no-pass") {
        chain.SetPassing(n[0], false);
    } else if (name == "drop") {
        chain.DropReplies(n[0], n[1]);
    } else if (name == "late") {
        chain.DelayReplies(n[0], n[1]);
    } else if (name == "twice") {
        chain.DuplicateReplies(n[0], true);
    } else if (name == "high-byte") {
        chain.CorruptNextResponse(n[0]);
    } else if (name == "vanish") {
        chain.FailDeviceAfter(n[0], McuChain::DeviceFault::Vanished);
    } else if (name == "port-error") {
        chain.FailDeviceAfter(n[0], McuChain::DeviceFault::Refusing);
    } else {
        return wrong("unknown; the faults are " + std::string(kChainFaultHelp));
    }
    return Ok();
}

} // namespace vtl
