#pragma once
// What the splash and the start choice share: a window without a title bar, cut to a rounded
// outline, named as the program, and placed on the screen before it shows.

#include <QDialog>

namespace vtl {

class StartWindow : public QDialog {
public:
    void setVisible(bool visible) override;

protected:
    explicit StartWindow(QWidget* parent);
};

} // namespace vtl
