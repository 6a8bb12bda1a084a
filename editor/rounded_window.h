#pragma once

class QWidget;

namespace vtl {

// Cuts the window to a rounded rectangle from (left, top) to (right, bottom), in pixels of the
// window, with 50 x 50 corner ellipses. The window has no title bar.
void SetRoundedOutline(QWidget& window, int left, int top, int right, int bottom);

// The splash and choice windows: 499 x 262 pixels cut to a rounded rectangle from (1, 5)
// to (499, 250).
void MakeRoundedWindow(QWidget& window);

} // namespace vtl
