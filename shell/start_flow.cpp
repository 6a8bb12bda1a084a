#include "shell/start_flow.h"

#include "editor/console_document.h"
#include "editor/frm_main.h"
#include "shell/app_settings.h"
#include "shell/app_state.h"
#include "shell/frm_choice.h"
#include "shell/frm_splash.h"
#include "shell/user_messages.h"

#include <QCoreApplication>
#include <QTimer>

#include <iostream>

namespace vtl {

StartFlow::StartFlow(const AppOptions& options, AppState& state, AppSettings& settings,
                     const ConsoleDocument& document, const UserMessages& messages)
    : options_(options), state_(state), settings_(settings), document_(document),
      messages_(messages), splash_(std::make_unique<SplashWindow>(state_.programFolder +
                                                                  QStringLiteral("/tlsplash.jpg"))),
      choice_(std::make_unique<StartChoice>()) {
    splash_->OnUnload([this] { SplashGone(); });
    splash_->OnFirstPaint([this] { emit LinkWanted(); });
    choice_->OnChoice([this](const QString& word) { Choose(word); });
    // Leaving from the start choice saves nothing: nothing has been changed yet.
    choice_->OnExit([] { QCoreApplication::exit(0); });
}

StartFlow::~StartFlow() = default;

void StartFlow::Start(MainWindow& main) {
    main_ = &main;
    splash_->Start();
    splash_->show();
    if (options_.quitAfterStart) QTimer::singleShot(0, splash_.get(), &QDialog::accept);
}

void StartFlow::SplashGone() {
    if (state_.choiceShown) return;
    state_.choiceShown = true;
    emit LinkWanted();
    if (options_.openFile.isEmpty() && !options_.quitAfterStart) {
        choice_->show();
    } else {
        OpenGivenFile();
    }
}

void StartFlow::Choose(const QString& word) {
    choice_->hide();
    if (word == QLatin1String("New")) {
        main_->DoWhenActivated([this] { emit ReadChosen(); });
    } else if (word == QLatin1String("Load")) {
        main_->DoWhenActivated([this] { emit LoadChosen(); });
    }
    ShowMain();
}

void StartFlow::OpenGivenFile() {
    ShowMain();
    // Queued first, so that it also ends the message box of a file that fails to load.
    if (options_.quitAfterStart) QTimer::singleShot(0, main_, [this] { QuitAfterStart(); });
    if (!options_.openFile.isEmpty()) emit FileGiven(options_.openFile);
}

void StartFlow::QuitAfterStart() {
    const bool loaded = options_.openFile.isEmpty() || document_.FilePath() == options_.openFile;
    std::cout << "Application folder: " << state_.programFolder.toStdString() << std::endl;
    emit EndWanted();
    // Replaces the status of the quit that the end asked for: the event loop has not ended.
    QCoreApplication::exit(loaded && !messages_.Troubled() ? 0 : 1);
}

void StartFlow::ShowMain() {
    if (!mainPlaced_) {
        mainPlaced_ = true;
        main_->ResizeToDesign(); // the placement's default
        settings_.PlaceMain(*main_);
    }
    main_->show();
    main_->raise();
    main_->activateWindow();
    emit MainShown();
}

void StartFlow::RaiseWindow() {
    QWidget* window = main_ && main_->isVisible() ? static_cast<QWidget*>(main_)
                      : choice_->isVisible()      ? static_cast<QWidget*>(choice_.get())
                                                  : static_cast<QWidget*>(splash_.get());
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
    window->activateWindow();
}

void StartFlow::About() {
    splash_->Start();
    splash_->exec();
}

} // namespace vtl
