#include "model/console_check.h"

#include "model/console_text.h"

#include <algorithm>
#include <array>
#include <map>
#include <tuple>

namespace vtl {
namespace {

struct KindWords {
    std::string_view name;
    FindingSeverity severity;
};

// By FindingKind.
constexpr std::array<KindWords, 6> kKinds{{
    {"shared-division-channel", FindingSeverity::Warning},
    {"duplicate-program-change", FindingSeverity::Warning},
    {"duplicate-shoe-controller", FindingSeverity::Warning},
    {"silent-keyboard", FindingSeverity::Warning},
    {"function-outside-list", FindingSeverity::Note},
    {"duplicate-function", FindingSeverity::Note},
}};

const KindWords& WordsOf(FindingKind kind) {
    return kKinds[static_cast<std::size_t>(kind)];
}

bool SendsOn(std::int32_t channels, int channel) {
    return (channels >> (channel - 1) & 1) != 0;
}

// Groups elements by what they send; every group of two or more is one finding.
template <typename Key> class Collisions {
public:
    void Add(const Key& key, const FindingElement& element) { sent_[key].push_back(element); }

    template <typename MakeFinding> void Report(std::vector<Finding>& findings, MakeFinding make) {
        for (auto& [key, elements] : sent_) {
            if (elements.size() < 2) continue;
            Finding finding = make(key);
            finding.elements = std::move(elements);
            findings.push_back(std::move(finding));
        }
    }

private:
    std::map<Key, std::vector<FindingElement>> sent_;
};

Finding Of(FindingKind kind, int channel = 0) {
    Finding finding;
    finding.kind = kind;
    finding.severity = WordsOf(kind).severity;
    finding.channel = channel;
    return finding;
}

void CheckKeyboards(const ConsoleModel& model, int manuals, std::vector<Finding>& findings) {
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        Finding shared = Of(FindingKind::SharedDivisionChannel, channel);
        for (int m = 1; m <= manuals; ++m)
            if (SendsOn(model.Channels(m), channel)) shared.elements.push_back({m});
        if (shared.elements.size() >= 2) findings.push_back(std::move(shared));
    }
    for (int m = 1; m <= manuals; ++m) {
        // Bits above channel 16 send nothing.
        if ((model.Channels(m) & 0xffff) != 0) continue;
        Finding silent = Of(FindingKind::SilentKeyboard);
        silent.elements.push_back({m});
        findings.push_back(std::move(silent));
    }
}

void CheckShoes(const ConsoleModel& model, int manuals, std::vector<Finding>& findings) {
    Collisions<std::pair<int, int>> sent; // channel, controller
    for (int m = 1; m <= manuals; ++m) {
        const ShoeInfo& shoe = model.Shoe(m);
        if (!shoe.expressionOn) continue;
        sent.Add({shoe.midiChannel + 1, shoe.volumeControl ? 7 : 11},
                 {m, FindingElement::Kind::Shoe});
    }
    sent.Report(findings, [](const std::pair<int, int>& key) {
        Finding finding = Of(FindingKind::DuplicateShoeController, key.first);
        finding.controller = key.second;
        return finding;
    });
}

void CheckPistons(const ConsoleModel& model, const FunctionCatalogue& catalogue, int manuals,
                  std::vector<Finding>& findings) {
    Collisions<std::pair<int, int>> programs;        // channel, program
    Collisions<std::tuple<int, int, int>> functions; // group, type, channel
    for (int m = 1; m <= manuals; ++m) {
        for (int p = 0; p < kPistonsPerManual; ++p) {
            const PistonInfo& piston = model.Piston(m, p);
            const int group = piston.functionGroup;
            if (words::ShownGroup(group) == kUnassignedGroup) continue;
            const FindingElement element{m, FindingElement::Kind::Piston, p + 1};
            // A program change piston's type is neither written nor read back.
            if (group == kProgramChangeGroup) {
                programs.Add({piston.midiChannel, piston.programNumber}, element);
                continue;
            }
            functions.Add({group, piston.functionType, piston.midiChannel}, element);
            const auto& list = catalogue.functionTypeNames[static_cast<std::size_t>(group)];
            if (list.Name(piston.functionType).empty()) {
                Finding outside = Of(FindingKind::FunctionOutsideList);
                outside.elements.push_back(element);
                findings.push_back(std::move(outside));
            }
        }
    }
    programs.Report(findings, [](const std::pair<int, int>& key) {
        Finding finding = Of(FindingKind::DuplicateProgramChange, key.first);
        finding.program = key.second;
        return finding;
    });
    functions.Report(findings, [](const std::tuple<int, int, int>& key) {
        return Of(FindingKind::DuplicateFunction, std::get<2>(key));
    });
}

} // namespace

std::vector<Finding> CheckConsole(const ConsoleModel& model, const FunctionCatalogue& catalogue) {
    const int manuals = ManualsIn(model);
    std::vector<Finding> findings;
    CheckKeyboards(model, manuals, findings);
    CheckShoes(model, manuals, findings);
    CheckPistons(model, catalogue, manuals, findings);
    const auto order = [](const Finding& f) {
        return std::tie(f.severity, f.elements.front(), f.kind, f.channel, f.program);
    };
    std::sort(findings.begin(), findings.end(),
              [&order](const Finding& a, const Finding& b) { return order(a) < order(b); });
    for (Finding& finding : findings)
        finding.text = words::FindingSentence(finding, model, catalogue);
    return findings;
}

bool HasWarnings(const std::vector<Finding>& findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding& f) { return f.severity == FindingSeverity::Warning; });
}

std::string_view KindName(FindingKind kind) {
    return WordsOf(kind).name;
}

std::string_view SeverityName(FindingSeverity severity) {
    return severity == FindingSeverity::Warning ? "warning" : "note";
}

} // namespace vtl
