#pragma once

class QWidget;

namespace vtl {

// The splash and choice windows: 499 x 262 pixels cut to a rounded rectangle from (5, 5)
// to (503, 250) with 50 x 50 corner ellipses.
void MakeRoundedWindow(QWidget& window);

} // namespace vtl
