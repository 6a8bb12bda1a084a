#pragma once
// Window geometry of every window: design positions are kept in twips (15 twips make
// one pixel at 96 dpi), and windows are centred on one another by their outer frames.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace vtl {

inline constexpr int kTwipsPerPixel = 15;

// A control's place on its window, from its design position in twips.
inline constexpr QRect TwipsRect(int left, int top, int width, int height) {
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
            height / kTwipsPerPixel};
}

// Where a window of this size goes to be centred on the rectangle.
inline constexpr QPoint CentredPosition(const QRect& on, const QSize& size) {
    return {on.left() + (on.width() - size.width()) / 2,
            on.top() + (on.height() - size.height()) / 2};
}

} // namespace vtl
