#include "editor/frm_main.h"

#include "editor/console_document.h"
#include "editor/console_view.h"
#include "editor/frm_midi_channels.h"
#include "editor/frm_piston.h"
#include "editor/frm_shoe_setup.h"
#include "editor/manual_panel.h"
#include "editor/window_geometry.h"
#include "link/product.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <cmath>
#include <utility>

namespace vtl {
namespace {

// The cursor file's own hot spot is the tip of the finger; without the file, the system's hand.
QCursor LoadHandCursor(const QString& programFolder) {
    const QPixmap picture(programFolder + QStringLiteral("/hand.cur"));
    return picture.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(picture, 6, 0);
}

} // namespace

MainWindow::MainWindow(ConsoleDocument& document, const QString& programFolder, QWidget* parent)
    : QMainWindow(parent), document_(document), handCursor_(LoadHandCursor(programFolder)) {
    setWindowTitle(QString::fromLatin1(kWindowTitle));
    setFont(QFont(QStringLiteral("Verdana"), 8));
    // The menu bar, which the commands fill, is the window's first child: a screen reader
    // lists it before the view.
    menuBar();
    view_ = new ConsoleView(document_, handCursor_, this);
    setCentralWidget(view_);
    connect(view_, &ConsoleView::PistonClicked, this, &MainWindow::OpenPiston);
    connect(view_, &ConsoleView::KeyboardClicked, this, &MainWindow::OpenKeyboard);
    connect(view_, &ConsoleView::ShoeClicked, this, &MainWindow::OpenShoe);
    // The printed console sheet is named after the file.
    connect(&document_, &ConsoleDocument::Changed, this,
            [this] { setWindowFilePath(document_.FilePath()); });
}

void MainWindow::PlaceOverManual(QWidget& dialog, ManualIndex manual) const {
    // Twips above the client area: the caption and the menu bar.
    constexpr double kAboveClient = 800;
    constexpr double kTwips = kTwipsPerPixel;
    const QRect main = frameGeometry();
    const QSize size = dialog.frameGeometry().size();
    const ManualPanel& panel = view_->Panel(manual);
    // The panel's top in the client area below the menu bar, where the toolbar begins.
    const double panelTop = (panel.mapTo(this, QPoint()).y() - menuBar()->height()) * kTwips;
    const double left = (main.width() * kTwips - size.width() * kTwips) / 2 + main.left() * kTwips;
    const double top = main.top() * kTwips + panelTop +
                       (panel.height() * kTwips - size.height() * kTwips) / 2 + kAboveClient;
    QPoint at(static_cast<int>(std::lround(left / kTwips)),
              static_cast<int>(std::lround(top / kTwips)));
    // Kept whole on the screen when the main window sits near its edge.
    if (const QScreen* shown = screen()) {
        const QRect area = shown->availableGeometry();
        at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - size.width())));
        at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - size.height())));
    }
    dialog.move(at);
}

void MainWindow::OpenPiston(PistonSlot slot) {
    if (!pistonEditor_) pistonEditor_ = new PistonEditor(*this, document_, this);
    pistonEditor_->SetSlot(slot);
    pistonEditor_->exec();
}

void MainWindow::OpenKeyboard(ManualIndex manual) {
    if (!channelsEditor_) channelsEditor_ = new ChannelEditor(*this, document_, this);
    channelsEditor_->SetManual(manual);
    channelsEditor_->exec();
}

void MainWindow::OpenShoe(ManualIndex manual) {
    if (!shoeEditor_) shoeEditor_ = new ShoeEditor(*this, document_, this);
    shoeEditor_->SetManual(manual);
    shoeEditor_->exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (close_ && !close_()) {
        event->ignore();
        return;
    }
    event->accept();
}

void MainWindow::ResizeToDesign() {
    // The design's client area holds a toolbar of 420 twips; this toolbar's own height takes
    // its place, so the console view below it keeps its design height.
    const auto* toolbar = findChild<QToolBar*>();
    resize(13605 / kTwipsPerPixel, (8220 - ConsoleView::kToolbarTwips) / kTwipsPerPixel +
                                       menuBar()->sizeHint().height() +
                                       (toolbar ? toolbar->sizeHint().height() : 0));
}

void MainWindow::setVisible(bool visible) {
    if (visible && !testAttribute(Qt::WA_Resized)) ResizeToDesign();
    QMainWindow::setVisible(visible);
}

bool MainWindow::event(QEvent* e) {
    const bool handled = QMainWindow::event(e);
    // The start choice is acted on once, after the window has come up.
    if (e->type() == QEvent::WindowActivate && whenActivated_)
        QTimer::singleShot(0, this, std::exchange(whenActivated_, nullptr));
    return handled;
}

} // namespace vtl
