#include "editor/console_texts.h"

#include <array>

namespace vtl {

QColor GroupColour(int group) {
    // By function group; the last stands for every unassigned piston.
    constexpr std::array<QRgb, kUnassignedGroup + 1> kColours{
        0xffd27f, 0xc9a7ff, 0xff8f8f, 0x8fd88f, 0xffff70, 0xffb3e0, 0x80c8ff, 0x7fe3d2, 0xffffff,
    };
    return QColor(kColours[static_cast<std::size_t>(words::ShownGroup(group))]);
}

} // namespace vtl
