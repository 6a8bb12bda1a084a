#pragma once
// The start choice: read the console ("New"), open a saved file ("Load"), or leave.

#include "shell/start_window.h"

#include <functional>

namespace vtl {

class StartChoice : public StartWindow {
public:
    explicit StartChoice(QWidget* parent = nullptr);

    // "New" or "Load".
    void OnChoice(std::function<void(const QString&)> handler) { choice_ = std::move(handler); }
    // "Exit", and every other way of closing the window: Escape, the window manager's close.
    void OnExit(std::function<void()> handler) { exit_ = std::move(handler); }

    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<void(const QString&)> choice_;
    std::function<void()> exit_;
};

} // namespace vtl
