#include "shell/frm_splash.h"

#include "editor/widget_paint.h"

#include <QColor>
#include <QLabel>
#include <QPixmap>
#include <QTimer>

#include <utility>

namespace vtl {

SplashWindow::SplashWindow(const QString& picturePath, QWidget* parent)
    : StartWindow(parent), picture_(new QLabel(this)),
      reading_(std::async(std::launch::async, [picturePath] { return QImage(picturePath); })),
      timer1_(new QTimer(this)) {
    picture_->setGeometry(rect());
    picture_->lower();
    // The line sits in the free space under the picture's own lines of text, clear of the
    // keyboard drawn across the bottom; it says what the picture does not.
    auto* line = new QLabel(QStringLiteral("Click or press a key to continue"), this);
    line->setGeometry(36, 168, 270, 16);
    SetColour(*line, QPalette::WindowText, QColor(0xe2c27e));
    timer1_->setSingleShot(true);
    timer1_->setInterval(kShowMilliseconds);
    connect(timer1_, &QTimer::timeout, this, &QDialog::accept);
}

void SplashWindow::Start() {
    timer1_->start();
}

void SplashWindow::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (firstPaint_) QTimer::singleShot(0, this, std::exchange(firstPaint_, nullptr));
}

void SplashWindow::showEvent(QShowEvent* event) {
    // A missing picture leaves the window plain.
    if (reading_.valid()) picture_->setPixmap(QPixmap::fromImage(reading_.get()));
    QDialog::showEvent(event);
}

void SplashWindow::mousePressEvent(QMouseEvent*) {
    accept();
}

void SplashWindow::keyPressEvent(QKeyEvent*) {
    accept();
}

void SplashWindow::done(int result) {
    timer1_->stop();
    QDialog::done(result);
    if (unload_) unload_();
}

} // namespace vtl
