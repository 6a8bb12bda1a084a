#pragma once

#include <QAbstractButton>

namespace vtl {

// A five-octave keyboard drawn to the widget's size; a click on it edits the division's
// MIDI channels.
class KeyboardPicture : public QAbstractButton {
public:
    using QAbstractButton::QAbstractButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vtl
