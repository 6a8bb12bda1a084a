#pragma once
// The console's words (model/console_text.h) as the windows show them, and the colour of each
// function group's pistons.

#include "model/console_text.h"

#include <QColor>
#include <QString>

namespace vtl {

// The face colour of a piston of the group; a group outside 0 to 7 is unassigned (white).
QColor GroupColour(int group);

inline QString GroupShortName(int group) {
    return QString::fromStdString(words::GroupShortName(group));
}
inline QString GroupName(int group, const FunctionCatalogue& catalogue) {
    return QString::fromStdString(words::GroupName(group, catalogue));
}
inline QString PistonCode(const PistonInfo& piston) {
    return QString::fromStdString(words::PistonCode(piston));
}
inline QString PistonLabel(const PistonInfo& piston) {
    return QString::fromStdString(words::PistonLabel(piston));
}
inline QString PistonDescription(const PistonInfo& piston, const FunctionCatalogue& catalogue) {
    return QString::fromStdString(words::PistonDescription(piston, catalogue));
}
inline QString ChannelsLabel(std::int32_t channels) {
    return QString::fromStdString(words::ChannelsLabel(channels));
}
inline QString ChannelsDescription(std::int32_t channels) {
    return QString::fromStdString(words::ChannelsDescription(channels));
}
inline QString ShoeLabel(const ShoeInfo& shoe) {
    return QString::fromStdString(words::ShoeLabel(shoe));
}
inline QString ShoeDescription(const ShoeInfo& shoe, const FunctionCatalogue& catalogue) {
    return QString::fromStdString(words::ShoeDescription(shoe, catalogue));
}

} // namespace vtl
