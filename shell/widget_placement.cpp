#include "shell/widget_placement.h"

#include <QScreen>
#include <QWidget>

namespace vtl {

bool WidgetPlacement::IsMinimised() const {
    return widget_.isMinimized();
}

bool WidgetPlacement::IsMaximised() const {
    return widget_.isMaximized();
}

// The position is the frame's, as move() takes it; the size is the client area's, as
// resize() takes it, so that a placement restored before the window is shown (when its
// frame is not yet known) is the one saved.
int WidgetPlacement::Left() const {
    return widget_.pos().x() - Area().x();
}

int WidgetPlacement::Top() const {
    return widget_.pos().y() - Area().y();
}

int WidgetPlacement::Width() const {
    return widget_.width();
}

int WidgetPlacement::Height() const {
    return widget_.height();
}

void WidgetPlacement::Move(int left, int top, int width, int height) {
    const QRect screen = Area();
    widget_.move(screen.x() + left, screen.y() + top);
    widget_.resize(width, height);
}

void WidgetPlacement::Maximise() {
    widget_.setWindowState(widget_.windowState() | Qt::WindowMaximized);
}

QRect WidgetPlacement::Area() const {
    const QScreen* screen = widget_.screen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace vtl
