#pragma once
// The progress window of MCU transfers. The status presenter sets its caption and text and
// shows and hides it; the window keeps the newest line in view and lets the user abort with
// Close. Under the text, a bar and a short line show how far a read or write has got.

#include "shell/status_window.h"

#include <QWidget>

#include <functional>
#include <string>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace vtl {

class ProgressWindow : public QWidget, public StatusWindow {
    Q_OBJECT

public:
    // closeInput runs when the user clicks Close: it stops the transfer waiting for the MCUs.
    explicit ProgressWindow(std::function<void()> closeInput, QWidget* parent = nullptr);

    // The window that Centre() centres this one over.
    void SetCentreOn(QWidget* window) { centreOn_ = window; }
    // Runs when the user closes the window other than by Close (its title bar, the window
    // manager): the transfer goes on out of view.
    void OnDismissed(std::function<void()> dismissed) { dismissed_ = std::move(dismissed); }

    // StatusWindow.
    void SetCaption(const std::string& caption) override;
    void SetText(const std::string& text) override;
    void Append(const std::string& text) override;
    void Centre() override;
    void Show() override { show(); }
    void Hide() override { hide(); }
    void Unload() override;
    bool IsVisible() const override { return isVisible(); }
    // The bar and its line show while the figures are active; the window grows to hold them.
    void SetProgress(const TransferProgress& progress) override;

protected:
    // Closing the window in any way clears the text; only Close stops the transfer.
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowEnd();

    std::function<void()> closeInput_;
    std::function<void()> dismissed_;
    QWidget* centreOn_ = nullptr;
    QPlainTextEdit* txtStatus_;
    QProgressBar* prgTransfer_;
    QLabel* lblProgress_;
    QPushButton* cmdClose_;
};

} // namespace vtl
