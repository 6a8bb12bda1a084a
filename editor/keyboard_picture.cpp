#include "editor/keyboard_picture.h"

#include <QPainter>

#include <algorithm>

namespace vtl {
namespace {

constexpr int kOctaves = 5;
constexpr int kWhiteKeys = kOctaves * 7 + 1; // C to C
// Within an octave of white keys C D E F G A B: a black key follows C, D, F, G and A.
constexpr bool kBlackAfter[7] = {true, true, false, true, true, true, false};
// Within an octave of notes: the white key a note is, or the white key a black one follows.
constexpr int kWhiteOf[12] = {0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6};
constexpr bool kBlack[12] = {false, true,  false, true,  false, false,
                             true,  false, true,  false, true,  false};
const QColor kPressedColour(255, 170, 0);

} // namespace

int KeyboardPicture::KeyOf(int note) {
    return std::clamp(note, kLowestNote, kHighestNote) - kLowestNote;
}

void KeyboardPicture::SetPressed(int note, bool pressed) {
    if (pressed_.test(static_cast<std::size_t>(KeyOf(note))) == pressed) return;
    pressed_.set(static_cast<std::size_t>(KeyOf(note)), pressed);
    update();
}

bool KeyboardPicture::Pressed(int note) const {
    return pressed_.test(static_cast<std::size_t>(KeyOf(note)));
}

void KeyboardPicture::ReleaseAll() {
    pressed_.reset();
    update();
}

void KeyboardPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const double keyWidth = static_cast<double>(width() - 1) / kWhiteKeys;
    const int h = height() - 1;
    p.fillRect(rect(), Qt::white);
    // Pressed white keys under the lines, pressed black keys over the black ones.
    for (std::size_t key = 0; key < pressed_.size(); ++key) {
        const std::size_t inOctave = key % 12;
        if (!pressed_.test(key) || kBlack[inOctave]) continue;
        const int white = static_cast<int>(key / 12) * 7 + kWhiteOf[inOctave];
        p.fillRect(QRectF(white * keyWidth, 0, keyWidth, h), kPressedColour);
    }
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
    p.setBrush(kPressedColour);
    for (std::size_t key = 0; key < pressed_.size(); ++key) {
        const std::size_t inOctave = key % 12;
        if (!pressed_.test(key) || !kBlack[inOctave]) continue;
        const int white = static_cast<int>(key / 12) * 7 + kWhiteOf[inOctave];
        p.drawRect(QRectF((white + 1) * keyWidth - keyWidth * 0.3, 0, keyWidth * 0.6, h * 0.62));
    }
    if (hasFocus()) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

} // namespace vtl
