#include "editor/piston_button.h"

#include <QFontMetrics>
#include <QPainter>

namespace vtl {
namespace {

// A code is drawn in a narrow face, as large as it fits inside the border, bold if it can be,
// and never below the smallest size that still reads at a glance: every one- and
// two-character code shows alike at the largest size, a three-digit program at the smallest.
constexpr int kLargestPixels = 11;
constexpr int kSmallestPixels = 9;
// Taken from the face's width: the border each side, and a pixel that keeps the ink off it.
constexpr int kBorders = 3;

QFont FaceFont(QFont font, const QString& code, int room) {
    font.setStretch(QFont::Condensed);
    for (const bool bold : {true, false}) {
        font.setBold(bold);
        for (int pixels = kLargestPixels; pixels >= kSmallestPixels; --pixels) {
            font.setPixelSize(pixels);
            if (QFontMetrics(font).tightBoundingRect(code).width() <= room) return font;
        }
    }
    font.setPixelSize(kSmallestPixels);
    return font;
}

} // namespace

void PistonButton::SetFace(const QColor& colour, const QString& code) {
    colour_ = colour;
    setText(code);
    update();
}

void PistonButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF face = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    // The focus is shown by the console view, around the piston.
    p.setPen(QColor(0xc0c0c0));
    p.setBrush(isDown() ? colour_.darker(130) : colour_);
    p.drawRoundedRect(face, 3, 3);
    if (text().isEmpty()) return;
    p.setFont(FaceFont(font(), text(), width() - kBorders));
    p.setPen(Qt::black);
    p.drawText(rect(), Qt::AlignCenter, text());
}

} // namespace vtl
