#include "shell/widget_placement.h"

#include <QScreen>
#include <QWidget>

namespace vtl {

bool WidgetPlacement::isMinimised() const {
    return widget_.isMinimized();
}

bool WidgetPlacement::isMaximised() const {
    return widget_.isMaximized();
}

// The position is the frame's, as move() takes it; the size is the client area's, as
// resize() takes it, so that a placement restored before the window is shown (when its
// frame is not yet known) is the one saved.
int WidgetPlacement::left() const {
    return widget_.pos().x() - area().x();
}

int WidgetPlacement::top() const {
    return widget_.pos().y() - area().y();
}

int WidgetPlacement::width() const {
    return widget_.width();
}

int WidgetPlacement::height() const {
    return widget_.height();
}

void WidgetPlacement::move(int left, int top, int width, int height) {
    const QRect screen = area();
    widget_.move(screen.x() + left, screen.y() + top);
    widget_.resize(width, height);
}

void WidgetPlacement::maximise() {
    widget_.setWindowState(widget_.windowState() | Qt::WindowMaximized);
}

QRect WidgetPlacement::area() const {
    const QScreen* screen = widget_.screen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace vtl
