#pragma once

#include <QAbstractButton>

#include <bitset>

namespace vtl {

// A five-octave keyboard drawn to the widget's size, its keys drawn pressed as a live console
// asks; a click on it edits the division's MIDI channels.
class KeyboardPicture : public QAbstractButton {
public:
    // The keys from the lowest C to the highest, as MIDI notes.
    static constexpr int kLowestNote = 36;
    static constexpr int kHighestNote = 96;

    using QAbstractButton::QAbstractButton;

    // A note outside the keyboard is drawn at its nearest end.
    void SetPressed(int note, bool pressed);
    bool Pressed(int note) const;
    void ReleaseAll();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static int KeyOf(int note);

    std::bitset<kHighestNote - kLowestNote + 1> pressed_;
};

} // namespace vtl
