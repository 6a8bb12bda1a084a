#include "editor/piston_button.h"

#include <QPainter>

namespace vtl {

void PistonButton::setFace(const QColor& colour, const QString& code) {
    colour_ = colour;
    setText(code);
    update();
}

void PistonButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF face = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(hasFocus() ? QPen(palette().color(QPalette::Highlight), 2) : QPen(QColor(0xc0c0c0)));
    p.setBrush(isDown() ? colour_.darker(130) : colour_);
    p.drawRoundedRect(face, 3, 3);
    if (text().isEmpty()) return;
    // As large as fits: three characters at most.
    QFont small = font();
    small.setPixelSize(text().size() > 2 ? 7 : 9);
    small.setBold(true);
    p.setFont(small);
    p.setPen(Qt::black);
    p.drawText(rect(), Qt::AlignCenter, text());
}

} // namespace vtl
