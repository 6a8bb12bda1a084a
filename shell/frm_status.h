#pragma once
// The progress window of MCU transfers. The transfer sets its caption and text and shows and
// hides it; the window keeps the newest line in view and lets the user abort with Close.
// Under the text, a bar and a short line show how far a read or write has got.

#include "link/link_host.h"

#include <QWidget>

#include <functional>
#include <string>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace vtl {

class frmStatus : public QWidget, public StatusSink {
    Q_OBJECT

public:
    // closeInput runs when the user clicks Close: it stops the transfer waiting for the MCUs.
    explicit frmStatus(std::function<void()> closeInput, QWidget* parent = nullptr);

    // The window that centre() centres this one over.
    void setCentreOn(QWidget* window) { centreOn_ = window; }

    // StatusSink. Texts break lines with CR LF.
    void setCaption(const std::string& caption) override;
    void setText(const std::string& text) override;
    void append(const std::string& text) override;
    void centre() override;
    void show() override;
    void hide() override;
    void unload() override;
    bool isVisible() const override;
    // The bar and its line show while the figures are active; the window grows to hold them.
    void setProgress(const TransferProgress& progress) override;

protected:
    // Closing the window in any way clears the text; only Close stops the transfer.
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowEnd();

    std::function<void()> closeInput_;
    QWidget* centreOn_ = nullptr;
    QPlainTextEdit* txtStatus_;
    QProgressBar* prgTransfer_;
    QLabel* lblProgress_;
    QPushButton* cmdClose_;
};

} // namespace vtl
