#pragma once

#include <QWidget>

namespace vtl {

// A five-octave keyboard drawn to the widget's size.
class KeyboardPicture : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vtl
