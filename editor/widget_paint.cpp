#include "editor/widget_paint.h"

#include <QBrush>
#include <QColor>
#include <QPainter>
#include <QPen>
#include <QWidget>

namespace vtl {

void SetColour(QWidget& widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(role, colour);
    widget.setPalette(palette);
}

void PaintRoundedOutline(QWidget& widget, const QColor& colour, qreal width, qreal radius,
                         const QBrush& fill) {
    QPainter p(&widget);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour, width));
    p.setBrush(fill);
    // The pen is centred on the path: half its width inside keeps all of it on the widget.
    const qreal inset = width / 2;
    p.drawRoundedRect(QRectF(widget.rect()).adjusted(inset, inset, -inset, -inset), radius, radius);
}

} // namespace vtl
