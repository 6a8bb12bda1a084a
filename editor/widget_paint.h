#pragma once
// Colours and outlines the windows draw themselves: a style sheet would have every widget below
// the one it is set on polished and painted through the style sheet machinery, a large part of
// the start-up's work.

#include <QPalette>

class QBrush;
class QColor;
class QWidget;

namespace vtl {

// Sets one colour of the widget's palette; its children inherit it.
void SetColour(QWidget& widget, QPalette::ColorRole role, const QColor& colour);

// Paints a rounded rectangle just inside the widget: an outline of the given colour and width,
// filled with fill.
void PaintRoundedOutline(QWidget& widget, const QColor& colour, qreal width, qreal radius,
                         const QBrush& fill);

} // namespace vtl
