#include "sim/console_play.h"

#include "model/catalogue.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace vtl {
namespace {

constexpr int kDefaultVelocity = 100;
constexpr std::uint8_t kVolumeController = 7;
constexpr std::uint8_t kExpressionController = 11;

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    while (!line.empty()) {
        const auto start = line.find_first_not_of(" \t\r");
        if (start == std::string_view::npos) break;
        line.remove_prefix(start);
        const auto end = line.find_first_of(" \t\r");
        words.push_back(line.substr(0, end));
        line.remove_prefix(end == std::string_view::npos ? line.size() : end);
    }
    return words;
}

bool Number(std::string_view text, int low, int high, int& value) {
    const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), value);
    return fault == std::errc{} && end == text.data() + text.size() && value >= low &&
           value <= high;
}

Bytes Short(int status, int channel, int data) {
    return {static_cast<std::uint8_t>(status | ((channel - 1) & 0x0F)),
            static_cast<std::uint8_t>(data & 0x7F)};
}

} // namespace

Expected<PlayStep> ParsePlayStep(std::string_view line) {
    const auto words = Words(line);
    PlayStep step;
    if (words.empty() || words[0].starts_with('#')) return step;
    const std::string_view verb = words[0];
    const std::string usage = "expected key M NOTE on|off [VELOCITY], piston M P, shoe M VALUE "
                              "or wait MS: " +
                              std::string(line);
    if (verb == "wait") {
        step.kind = PlayStep::Kind::Wait;
        if (words.size() == 2 && Number(words[1], 0, 3'600'000, step.number)) return step;
        return Error{usage};
    }
    if (words.size() < 3 || !Number(words[1], 1, kMaxManuals, step.manual)) return Error{usage};
    if (verb == "key" && (words.size() == 4 || words.size() == 5) &&
        Number(words[2], 0, 127, step.number) && (words[3] == "on" || words[3] == "off") &&
        (words.size() == 4 || Number(words[4], 0, 127, step.velocity))) {
        step.kind = PlayStep::Kind::Key;
        step.on = words[3] == "on";
        return step;
    }
    if (verb == "piston" && words.size() == 3 &&
        Number(words[2], 1, kPistonsPerManual, step.number)) {
        step.kind = PlayStep::Kind::Piston;
        return step;
    }
    if (verb == "shoe" && words.size() == 3 && Number(words[2], 0, 127, step.number)) {
        step.kind = PlayStep::Kind::Shoe;
        return step;
    }
    return Error{usage};
}

Expected<std::vector<Bytes>> PlayedMessages(const ConsoleModel& console, const PlayStep& step) {
    const std::string manual = "manual " + std::to_string(step.manual);
    std::vector<Bytes> messages;
    switch (step.kind) {
    case PlayStep::Kind::Key: {
        const int velocity = step.velocity >= 0 ? step.velocity : step.on ? kDefaultVelocity : 0;
        for (int channel = 1; channel <= kChannelCount; ++channel) {
            if ((console.Channels(step.manual) >> (channel - 1) & 1) == 0) continue;
            Bytes message = Short(step.on ? 0x90 : 0x80, channel, step.number);
            message.push_back(static_cast<std::uint8_t>(velocity));
            messages.push_back(std::move(message));
        }
        if (messages.empty()) return Error{"the division of " + manual + " sends on no channel"};
        return messages;
    }
    case PlayStep::Kind::Piston: {
        const PistonInfo& piston = console.Piston(step.manual, step.number - 1);
        if (piston.functionGroup != kProgramChangeGroup)
            return Error{"piston " + std::to_string(step.number) + " of " + manual +
                         " sends no program change; what it sends otherwise is not known"};
        messages.push_back(Short(0xC0, piston.midiChannel, piston.programNumber - 1));
        return messages;
    }
    case PlayStep::Kind::Shoe: {
        const ShoeInfo& shoe = console.Shoe(step.manual);
        if (!shoe.expressionOn) return Error{"the shoe of " + manual + " is disabled"};
        Bytes message = Short(0xB0, shoe.midiChannel + 1,
                              shoe.volumeControl ? kVolumeController : kExpressionController);
        message.push_back(static_cast<std::uint8_t>(step.number));
        messages.push_back(std::move(message));
        return messages;
    }
    case PlayStep::Kind::Nothing:
    case PlayStep::Kind::Wait:
        break;
    }
    return messages;
}

std::vector<PlayStep> DemoPassage(const ConsoleModel& console) {
    using Kind = PlayStep::Kind;
    const int manuals = std::clamp(static_cast<int>(console.manualCount), 0, kMaxManuals);
    std::vector<PlayStep> steps;
    const auto wait = [&steps](int ms) { steps.push_back({Kind::Wait, 0, ms}); };
    const auto key = [&steps](int manual, int note, bool on) {
        steps.push_back({Kind::Key, manual, note, on});
    };
    if (manuals >= 1) {
        for (const int note : {60, 62, 64, 65, 67, 69, 71, 72}) {
            key(1, note, true);
            wait(200);
            key(1, note, false);
        }
    }
    if (manuals >= 2) {
        for (const int note : {60, 64, 67})
            key(2, note, true);
        wait(800);
        for (const int note : {60, 64, 67})
            key(2, note, false);
    }
    for (int m = 1; m <= manuals; ++m) {
        for (int p = 0; p < kPistonsPerManual; ++p) {
            if (console.Piston(m, p).functionGroup != kProgramChangeGroup) continue;
            steps.push_back({Kind::Piston, m, p + 1});
            wait(400);
            m = manuals;
            break;
        }
    }
    for (int m = 1; m <= manuals; ++m) {
        if (!console.Shoe(m).expressionOn) continue;
        for (int value = 0; value <= 254; value += 8) {
            steps.push_back({Kind::Shoe, m, value <= 127 ? value : 254 - value});
            wait(50);
        }
        steps.push_back({Kind::Shoe, m, 0});
        break;
    }
    return steps;
}

} // namespace vtl
