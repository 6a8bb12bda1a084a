#pragma once
// What the status presenter drives: the progress window of MCU transfers (ProgressWindow), or a
// recording of it in tests.

#include <string>

namespace vtl {

struct TransferProgress;

class StatusWindow {
public:
    virtual ~StatusWindow() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    // Texts break lines with '\n'.
    virtual void SetText(const std::string& text) = 0;
    virtual void Append(const std::string& text) = 0;
    // Over the main window.
    virtual void Centre() = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    // Hides the window and clears its text.
    virtual void Unload() = 0;
    virtual bool IsVisible() const = 0;
    // How far the transfer has got; inactive figures when there is none to show.
    virtual void SetProgress(const TransferProgress& progress) = 0;
};

} // namespace vtl
