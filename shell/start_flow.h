#pragma once
// The way from the start to the main window: the splash, then the start choice or the file
// given on the command line, then the main window in its remembered place. With
// quit-after-start, the program ends as soon as the main window is up. The splash is also
// the About box.

#include "shell/app_options.h"

#include <QObject>

#include <memory>

namespace vtl {

struct AppState;
class AppSettings;
class ConsoleDocument;
class UserMessages;
class StartChoice;
class MainWindow;
class SplashWindow;

class StartFlow : public QObject {
    Q_OBJECT

public:
    // Makes the splash, whose picture is then read on another thread, and the start choice.
    StartFlow(const AppOptions& options, AppState& state, AppSettings& settings,
              const ConsoleDocument& document, const UserMessages& messages);
    ~StartFlow() override;

    SplashWindow& Splash() { return *splash_; }
    StartChoice& Choice() { return *choice_; }

    // Shows the splash; the main window follows it.
    void Start(MainWindow& main);
    // Brings the window the user is at to the front: the main window, the choice or the splash.
    void RaiseWindow();
    void About();

signals:
    // The splash was painted, or dismissed before: the link is wanted now.
    void LinkWanted();
    // The main window is up.
    void MainShown();
    // The user chose to read the console ("New") or to load a file ("Load"), acted on once the
    // main window is up.
    void ReadChosen();
    void LoadChosen();
    // The file given on the command line, to be loaded.
    void FileGiven(const QString& path);
    // The program is to end, as when its main window is closed.
    void EndWanted();

private:
    void SplashGone();
    void Choose(const QString& word);
    void OpenGivenFile();
    void ShowMain();
    void QuitAfterStart();

    AppOptions options_;
    AppState& state_;
    AppSettings& settings_;
    const ConsoleDocument& document_;
    const UserMessages& messages_;
    std::unique_ptr<SplashWindow> splash_;
    std::unique_ptr<StartChoice> choice_;
    MainWindow* main_ = nullptr;
    bool mainPlaced_ = false;
};

} // namespace vtl
