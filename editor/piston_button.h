#pragma once

#include <QAbstractButton>
#include <QColor>

namespace vtl {

// A thumb piston of the console view: a small square face in the colour of its function
// group, with a short code of its function.
class PistonButton : public QAbstractButton {
public:
    using QAbstractButton::QAbstractButton;

    void SetFace(const QColor& colour, const QString& code);
    const QColor& FaceColour() const { return colour_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_ = Qt::white;
};

} // namespace vtl
