#include "session/transfer_text.h"

#include "link/product.h"

namespace vtl {
namespace {

const std::string kProduct(kProductName);
const std::string kReadStep = "Loading Program Data from VTL";
const std::string kWriteStep = "Writing Program Data to VTL";
const std::string kRequestingConfiguration = "Requesting " + kProduct + " Configuration..";
const std::string kDone = "\nDone!";

TextEdit Title(std::string text) {
    return {TextEdit::Kind::Title, std::move(text)};
}
TextEdit Replace(std::string text) {
    return {TextEdit::Kind::Replace, std::move(text)};
}
TextEdit Add(std::string text) {
    return {TextEdit::Kind::Add, std::move(text)};
}

// What to check first, by what the transfer waits for: the count, a manual's identity, or
// (nothing to add) its program.
struct CheckFirst {
    std::string operator()(const ChainSilent&) const { return Counting(); }
    std::string operator()(const TagUnchanged&) const { return Counting(); }
    std::string operator()(const CountRefused&) const { return Counting(); }
    std::string operator()(const McuPassesNothing&) const { return Counting(); }
    std::string operator()(const ManualMissing&) const { return Identifying(); }
    std::string operator()(const ManualSilent&) const { return Identifying(); }
    std::string operator()(const ManualUnreachable&) const { return Identifying(); }
    template <class Other> std::string operator()(const Other&) const { return {}; }

    static std::string Counting() {
        return "Check your MIDI connections, make sure your " + kProduct +
               " is on and the output of your MIDI device chain is connected to the MIDI-IN of "
               "your PC.\n";
    }
    static std::string Identifying() {
        return "Check your MIDI connections and make sure that your " + kProduct +
               " is turned on!\n";
    }
};

struct Waits {
    std::string operator()(std::monostate) const { return {}; }
    std::string operator()(const ChainSilent&) const {
        return "Nothing comes back from the chain: check the cables from the PC's MIDI out to "
               "MCU 1, from each MCU to the next and from the last one to the PC's MIDI in, and "
               "that every MCU is switched on.";
    }
    std::string operator()(const TagUnchanged&) const {
        return "The test message came back without passing any MCU: the PC's MIDI out seems to "
               "lead straight to its MIDI in. Connect it to the MIDI in of MCU 1.";
    }
    std::string operator()(const CountRefused& r) const {
        return "The test message passed " + std::to_string(r.count) +
               " MCUs, but a console has at most 3: check that only the console's MCUs are on "
               "the chain.";
    }
    std::string operator()(const McuPassesNothing& r) const {
        const std::string k = std::to_string(r.mcu);
        return "MCU " + k + " answers, but passes nothing on: check MCU " + k +
               " and its MIDI in and out.";
    }
    std::string operator()(const ManualMissing& r) const {
        return "The test message passed " + std::to_string(r.mcus) +
               (r.mcus == 1 ? " MCU" : " MCUs") + ", so manual " + std::to_string(r.manual) +
               " has none: check that its MCU is connected and switched on.";
    }
    std::string operator()(const ManualSilent& r) const {
        const std::string m = std::to_string(r.manual);
        return "Manual " + m + " does not answer, though messages pass its MCU: check that MCU " +
               m + " is switched on and working.";
    }
    std::string operator()(const ManualUnreachable& r) const {
        return "Manual " + std::to_string(r.manual) +
               " does not answer, and nothing comes back through the chain: check that every "
               "MCU is switched on, and the cables from the PC to MCU 1, from each MCU to the "
               "next and from the last one to the PC.";
    }
    std::string operator()(const ProgramIncomplete& r) const {
        return "Manual " + std::to_string(r.manual) + " sent " + std::to_string(r.taken) + " of " +
               std::to_string(r.expected) + " bytes of its program data; it is asked again.";
    }
};

struct Edits {
    using List = std::vector<TextEdit>;

    List operator()(const TransferBegan& r) const {
        return {Title(r.mode == TransferMode::Reading ? "Loading Program Data from " + kProduct
                                                      : "Writing Program Data to MCU"),
                Replace(kRequestingConfiguration)};
    }
    List operator()(const CountingManuals&) const { return {Replace("Testing cabling set-up...")}; }
    List operator()(const ManualsCounted& r) const {
        return {Add(r.accepted ? "\nNumber of manuals detected = " + std::to_string(r.count)
                               : "\nInvalid number of manuals detected!")};
    }
    // Two blanks in the text, as it always was.
    List operator()(const NextManualAsked&) const {
        return {Title("Write Program Data to MCU"),
                Replace("Requesting  " + kProduct + " Configuration..")};
    }
    List operator()(const StepBegan& r) const {
        if (r.mode == TransferMode::Reading)
            return {Title(kReadStep), Add("\n" + kReadStep + "...")};
        return {Add("\n" + kProduct + " Configuration received!"), Title(kWriteStep),
                Add("\n" + kWriteStep + "...")};
    }
    // A read's step says it is done even when it has to be taken again.
    List operator()(const StepPostponed& r) const { return Done(r.mode); }
    List operator()(const StepCancelled& r) const { return Done(r.mode); }
    List operator()(const ProgramRequested&) const {
        return {Replace("Requesting " + kProduct + " Program Data.."), Add(kDone)};
    }
    List operator()(const ProgramDamaged& r) const {
        return {Add("\nManual " + std::to_string(r.manual) +
                    " sent damaged data (a byte lost or changed on the way); it is asked again.")};
    }
    List operator()(const RequestRepeated&) const { return {Add(".")}; }
    List operator()(const StillWaiting& r) const {
        return {Replace(std::visit(CheckFirst{}, r.diagnosis) + WaitText(r.diagnosis) +
                        "\nRetrying...")};
    }
    List operator()(const WriteSent&) const { return {Add(kDone)}; }
    List operator()(const TransferFinished& r) const {
        switch (r.mode) {
        case TransferMode::Reading:
            return {Add("\n" + kProduct + " Configuration data loaded!\nReady.")};
        case TransferMode::Writing:
            return {Add("\n" + kProduct + " Writing...\n")};
        case TransferMode::FileLoaded:
            return {Add("\n" + kProduct + " Configuration data loaded from file!\nReady.")};
        case TransferMode::None:
            break;
        }
        return {};
    }
    template <class Other> List operator()(const Other&) const { return {}; }

    static List Done(TransferMode mode) {
        return mode == TransferMode::Reading ? List{Add(kDone)} : List{};
    }
};

std::string PortStopped(TransferMode during, const std::string& why) {
    if (during == TransferMode::None) return why;
    const bool reading = during == TransferMode::Reading;
    return std::string("The MIDI device stopped working during the ") +
           (reading ? "read: " : "write: ") + why +
           " Check that it is still connected and switched on, then try again." +
           (reading ? " Nothing of the read is kept: the console from before it stays."
                    : " The MCUs may hold part of the new configuration: write it again.");
}

struct Messages {
    using Text = std::optional<std::string>;

    Text operator()(const PortFailure& r) const { return PortStopped(r.during, r.message); }
    Text operator()(const DeviceGone& r) const {
        const std::string gone =
            "its port is no longer there, as if it was unplugged or the program behind it ended.";
        return PortStopped(r.during, r.during == TransferMode::None
                                         ? "The MIDI device stopped working: " + gone
                                         : gone);
    }
    // All the lines of one message in one text, so that one box shows them.
    Text operator()(const ConversionError& r) const {
        std::string text;
        for (const std::string& line : ConversionErrorLines(r.faults))
            text += (text.empty() ? "" : "\n") + line;
        return text;
    }
    Text operator()(const DecodeFailure& r) const { return r.message; }
    Text operator()(const EncodeFailure& r) const { return r.message; }
    template <class Other> Text operator()(const Other&) const { return std::nullopt; }
};

} // namespace

std::vector<TextEdit> TextEdits(const TransferReport& report) {
    return std::visit(Edits{}, report);
}

std::string ProgressSummary(const TransferProgress& progress) {
    if (!progress.Active()) return {};
    if (progress.total == 0) return "Counting manuals...";
    const std::string manual =
        "Manual " + std::to_string(progress.manual) + " of " + std::to_string(progress.manuals);
    const char* const dash = " \u2014 ";
    if (progress.stalled) return manual + dash + "waiting for an answer";
    if (progress.done == progress.total) return manual + dash + "done";
    return manual + dash + "about " + std::to_string(progress.secondsLeft) + " s left";
}

std::string WaitText(const WaitDiagnosis& diagnosis) {
    return std::visit(Waits{}, diagnosis);
}

std::optional<std::string> MessageText(const TransferReport& report) {
    return std::visit(Messages{}, report);
}

} // namespace vtl
