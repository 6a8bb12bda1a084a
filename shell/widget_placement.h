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

    bool isMinimised() const override;
    bool isMaximised() const override;
    int left() const override;
    int top() const override;
    int width() const override;
    int height() const override;
    void move(int left, int top, int width, int height) override;
    void maximise() override;
    int screenWidth() const override { return area().width(); }
    int screenHeight() const override { return area().height(); }
    int unitsPerPixelX() const override { return 1; }
    int unitsPerPixelY() const override { return 1; }

private:
    // The part of the widget's screen that windows may use; empty without a screen.
    QRect area() const;

    QWidget& widget_;
};

} // namespace vtl
