#include "shell/rounded_window.h"

#include <QPainterPath>
#include <QRegion>
#include <QWidget>

namespace vtl {

void MakeRoundedWindow(QWidget& window) {
    window.setWindowFlags(Qt::FramelessWindowHint | Qt::Dialog);
    window.setFixedSize(499, 262);
    QPainterPath path;
    path.addRoundedRect(QRectF(5, 5, 498, 245), 25, 25);
    window.setMask(QRegion(path.toFillPolygon().toPolygon()));
}

} // namespace vtl
