#include "editor/keyboard_picture.h"

#include <QPainter>

namespace vtl {
namespace {

constexpr int kOctaves = 5;
constexpr int kWhiteKeys = kOctaves * 7 + 1; // C to C
// Within an octave of white keys C D E F G A B: a black key follows C, D, F, G and A.
constexpr bool kBlackAfter[7] = {true, true, false, true, true, true, false};

} // namespace

void KeyboardPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const double keyWidth = static_cast<double>(width() - 1) / kWhiteKeys;
    const int h = height() - 1;
    p.fillRect(rect(), Qt::white);
    p.setPen(QColor(60, 60, 60));
    for (int k = 0; k <= kWhiteKeys; ++k) {
        const int x = static_cast<int>(k * keyWidth);
        p.drawLine(x, 0, x, h);
    }
    p.drawLine(0, 0, width() - 1, 0);
    p.drawLine(0, h, width() - 1, h);
    p.setBrush(Qt::black);
    for (int k = 0; k < kWhiteKeys - 1; ++k) {
        if (!kBlackAfter[k % 7]) continue;
        const double x = (k + 1) * keyWidth - keyWidth * 0.3;
        p.drawRect(QRectF(x, 0, keyWidth * 0.6, h * 0.62));
    }
    if (hasFocus()) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

} // namespace vtl
