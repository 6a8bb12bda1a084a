#include "editor/level_bar.h"

#include <QPainter>

#include <algorithm>

namespace vtl {

LevelBar::LevelBar(QWidget& parent, const QRect& geometry) : QWidget(&parent) {
    setGeometry(geometry);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LevelBar::SetLevel(int level) {
    level_ = std::clamp(level, 0, kHighest);
    update();
}

void LevelBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    painter.fillRect(rect(), QColor(0x404040));
    painter.fillRect(inside, Qt::white);
    painter.fillRect(
        QRect(inside.topLeft(), QSize(inside.width() * level_ / kHighest, inside.height())),
        QColor(0x1f6fd0));
}

} // namespace vtl
