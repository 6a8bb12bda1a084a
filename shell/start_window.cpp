#include "shell/start_window.h"

#include "editor/rounded_window.h"
#include "link/product.h"

namespace vtl {

StartWindow::StartWindow(QWidget* parent) : QDialog(parent) {
    MakeRoundedWindow(*this);
    setWindowTitle(QString::fromLatin1(kWindowTitle));
}

void StartWindow::setVisible(bool visible) {
    // Where the dialog would place itself as it shows, but before its window is made: the
    // window system, and a screen reader through it, would otherwise learn of it at the top
    // left of the screen and only later of its move.
    if (visible && !isVisible()) adjustPosition(parentWidget());
    QDialog::setVisible(visible);
}

} // namespace vtl
