#pragma once
// What the user is told, and what goes to the log: message boxes over the main window, or
// standard error when the program quits after its start and nobody is there to close a box.
// Messages of the start are held until the windows and the link are there to show them.

#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

namespace vtl {

struct AppState;

class UserMessages {
public:
    // toStandardError: the quit-after-start mode.
    UserMessages(const AppState& state, bool toStandardError);

    // The window the message boxes belong to.
    void SetWindow(QWidget* window) { window_ = window; }
    void Show(const std::string& text);
    // Shown by ShowHeld, in the order held.
    void Hold(std::string text);
    void ShowHeld();
    // A line in the log, when logging is on.
    void Log(const std::string& line) const;
    // With standard error: a message was given, which fails the start.
    bool Troubled() const { return troubled_; }

private:
    const AppState& state_;
    bool toStandardError_;
    bool troubled_ = false;
    QPointer<QWidget> window_;
    std::vector<std::string> held_;
};

} // namespace vtl
