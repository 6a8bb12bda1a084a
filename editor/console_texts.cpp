#include "editor/console_texts.h"

#include "model/console_model.h"

#include <QStringList>

#include <array>
#include <utility>
#include <vector>

namespace vtl {
namespace {

struct GroupLook {
    const char* shortName;
    const char* prefix; // of the short label
    QRgb colour;
};

// By function group; the last row stands for every unassigned piston.
constexpr std::array<GroupLook, 9> kGroups{{
    {"Coupler", "Cpl", 0xffd27f},
    {"Tremulant", "Trem", 0xc9a7ff},
    {"Cancel", "Cncl", 0xff8f8f},
    {"General", "Gen", 0x8fd88f},
    {"SET", "SET", 0xffff70},
    {"SFZ", "SFZ", 0xffb3e0},
    {"Program change", "PC", 0x80c8ff},
    {"TREVA", "TREVA", 0x7fe3d2},
    {"Unassigned", "", 0xffffff},
}};

bool Assigned(int group) {
    return group >= 0 && group < kUnassignedGroup;
}

const GroupLook& Look(int group) {
    return kGroups[static_cast<std::size_t>(Assigned(group) ? group : kUnassignedGroup)];
}

QString Name(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

// Runs of consecutive channels (1-based, first and last) of bits 0 to 15.
std::vector<std::pair<int, int>> ChannelRuns(std::int32_t channels) {
    std::vector<std::pair<int, int>> runs;
    for (int n = 0; n < kChannelCount; ++n) {
        if ((channels & (1 << n)) == 0) continue;
        if (!runs.empty() && runs.back().second == n) {
            runs.back().second = n + 1;
        } else {
            runs.emplace_back(n + 1, n + 1);
        }
    }
    return runs;
}

// The runs as "1, 3, 5<to>8"; two neighbours are listed singly.
QStringList RunTexts(const std::vector<std::pair<int, int>>& runs, const QString& to) {
    QStringList texts;
    for (const auto& [first, last] : runs) {
        if (last > first + 1) {
            texts << QString::number(first) + to + QString::number(last);
        } else {
            for (int c = first; c <= last; ++c)
                texts << QString::number(c);
        }
    }
    return texts;
}

} // namespace

QColor GroupColour(int group) {
    return QColor(Look(group).colour);
}

QString GroupShortName(int group) {
    return QString::fromLatin1(Look(group).shortName);
}

QString PistonCode(const pistonInfo& piston) {
    const int t = piston.functionType;
    switch (piston.functionGroup) {
    case kGeneralGroup:
        // Memory A to E, generals 1 to 6.
        if (t >= 0 && t < 30) return QChar(u'A' + t / 6) + QString::number(t % 6 + 1);
        return QString::number(t + 1);
    case kSetGroup:
        return QStringLiteral("S");
    case kSfzGroup:
        // As sforzando is marked; a third letter would not fit the face at a readable size.
        return QStringLiteral("Sf");
    case kProgramChangeGroup:
        return QString::number(piston.programNumber);
    default:
        return Assigned(piston.functionGroup) ? QString::number(t + 1) : QString();
    }
}

QString PistonLabel(const pistonInfo& piston) {
    const int g = piston.functionGroup;
    if (!Assigned(g)) return GroupShortName(g);
    QString label = QString::fromLatin1(Look(g).prefix);
    if (g != kSetGroup && g != kSfzGroup) label += QLatin1Char(' ') + PistonCode(piston);
    return label + QStringLiteral(" ch ") + QString::number(piston.midiChannel);
}

QString PistonDescription(const pistonInfo& piston, const FunctionCatalogue& catalogue) {
    const int g = piston.functionGroup;
    if (!Assigned(g)) return Name(catalogue.functionGroupNames.name(kUnassignedGroup));
    QString function;
    if (g == kProgramChangeGroup) {
        function = QStringLiteral("program ") + QString::number(piston.programNumber);
    } else {
        function = Name(
            catalogue.functionTypeNames[static_cast<std::size_t>(g)].name(piston.functionType));
        if (function.isEmpty())
            function = QStringLiteral("function ") + QString::number(piston.functionType + 1);
    }
    return Name(catalogue.functionGroupNames.name(g)) + QStringLiteral(", ") + function +
           QStringLiteral(", MIDI channel ") + QString::number(piston.midiChannel);
}

QString ChannelsLabel(std::int32_t channels) {
    const auto runs = ChannelRuns(channels);
    if (runs.empty()) return QStringLiteral("No channel");
    return QStringLiteral("Ch ") + RunTexts(runs, QStringLiteral("-")).join(QStringLiteral(", "));
}

QString ChannelsDescription(std::int32_t channels) {
    const auto runs = ChannelRuns(channels);
    if (runs.empty()) return QStringLiteral("Sends on no MIDI channel");
    QStringList texts = RunTexts(runs, QStringLiteral(" to "));
    const bool several = texts.size() > 1 || runs.front().second > runs.front().first;
    const QString last = texts.takeLast();
    return QStringLiteral("Sends on MIDI channel") +
           (several ? QStringLiteral("s ") : QStringLiteral(" ")) +
           (texts.isEmpty() ? last
                            : texts.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last);
}

QString ShoeLabel(const shoeInfo& shoe) {
    if (!shoe.expressionOn) return QStringLiteral("Disabled");
    return (shoe.volumeControl ? QStringLiteral("Volume") : QStringLiteral("Expression")) +
           QStringLiteral(", ch ") + QString::number(shoe.midiChannel + 1);
}

QString ShoeDescription(const shoeInfo& shoe, const FunctionCatalogue& catalogue) {
    if (!shoe.expressionOn) return Name(catalogue.shoeTypeNames.name(0));
    return Name(catalogue.shoeTypeNames.name(shoe.volumeControl ? 1 : 2)) +
           QStringLiteral(" on MIDI channel ") + QString::number(shoe.midiChannel + 1);
}

} // namespace vtl
