#pragma once
// The splash window shown at start, and again as the About box.

#include "shell/start_window.h"

#include <QImage>

#include <functional>
#include <future>

class QLabel;

namespace vtl {

class SplashWindow : public StartWindow {
public:
    static constexpr int kShowMilliseconds = 3500;

    SplashWindow(const QString& picturePath, QWidget* parent = nullptr);

    // Shows the window for 3.5 s or until a click or key.
    void Start();
    // Called each time the window goes away.
    void OnUnload(std::function<void()> handler) { unload_ = std::move(handler); }
    // Called once, on the turn after the window was first painted.
    void OnFirstPaint(std::function<void()> handler) { firstPaint_ = std::move(handler); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLabel* picture_;
    // The picture is read on another thread while the program makes its other windows; it is
    // put in place when the window is first shown.
    std::future<QImage> reading_;
    QTimer* timer1_;
    std::function<void()> unload_;
    std::function<void()> firstPaint_;
};

} // namespace vtl
