#pragma once
// A top-level widget as the settings file sees a window: its outer position relative to the
// available area of its screen, its size, and that area, all in pixels.

#include "platform/window_placement.h"

#include <QRect>

class QWidget;

namespace vtl {

class WidgetPlacement : public WindowPlacement {
public:
    // The widget must outlive this object.
    explicit WidgetPlacement(QWidget& widget) : widget_(widget) {}

    bool IsMinimised() const override;
    bool IsMaximised() const override;
    int Left() const override;
    int Top() const override;
    int Width() const override;
    int Height() const override;
    void Move(int left, int top, int width, int height) override;
    void Maximise() override;
    int ScreenWidth() const override { return Area().width(); }
    int ScreenHeight() const override { return Area().height(); }
    int UnitsPerPixelX() const override { return 1; }
    int UnitsPerPixelY() const override { return 1; }

private:
    // The part of the widget's screen that windows may use; empty without a screen.
    QRect Area() const;

    QWidget& widget_;
};

} // namespace vtl
