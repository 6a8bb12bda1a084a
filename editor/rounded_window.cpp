#include "editor/rounded_window.h"

#include <QPainterPath>
#include <QRegion>
#include <QWidget>

namespace vtl {

void SetRoundedOutline(QWidget& window, int left, int top, int right, int bottom) {
    constexpr double kCornerRadius = 25;
    window.setWindowFlags(Qt::FramelessWindowHint | Qt::Dialog);
    QPainterPath path;
    path.addRoundedRect(QRectF(left, top, right - left, bottom - top), kCornerRadius,
                        kCornerRadius);
    window.setMask(QRegion(path.toFillPolygon().toPolygon()));
}

void MakeRoundedWindow(QWidget& window) {
    window.setFixedSize(499, 262);
    // The outline's right edge is the window's, so that all four corners show rounded.
    SetRoundedOutline(window, 1, 5, 499, 250);
}

} // namespace vtl
