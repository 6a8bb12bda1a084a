#include "shell/status_presenter.h"

#include "session/transfer_text.h"
#include "shell/status_window.h"

namespace vtl {
namespace {

// What the window does before the report's texts are set.
struct Before {
    StatusWindow& window;

    void operator()(const TransferBegan&) const { window.Centre(); }
    void operator()(const NextManualAsked&) const { window.Centre(); }
    void operator()(const ProgramRequested&) const { window.Centre(); }
    // A read's step starts with an empty text; closing the window cleared it already.
    void operator()(const StepBegan& r) const {
        if (r.mode == TransferMode::Reading && window.IsVisible()) window.Unload();
    }
    void operator()(const StepCancelled&) const { window.Hide(); }
    template <class Other> void operator()(const Other&) const {}
};

// What it does after the texts, and after a message box.
struct After {
    StatusWindow& window;

    void operator()(const TransferProgress& progress) const { window.SetProgress(progress); }
    void operator()(const TransferBegan&) const { window.Show(); }
    void operator()(const NextManualAsked&) const { window.Show(); }
    void operator()(const StepBegan&) const { window.Show(); }
    void operator()(const TransferConcluded&) const { window.Hide(); }
    void operator()(const TransferAbandoned&) const { window.Hide(); }
    void operator()(const EncodeFailure&) const { window.Hide(); }
    template <class Other> void operator()(const Other&) const {}
};

} // namespace

StatusPresenter::StatusPresenter(StatusWindow& window, Say tell, Say log)
    : window_(window), tell_(std::move(tell)), log_(std::move(log)) {}

void StatusPresenter::Report(const TransferReport& report) {
    std::visit(Before{window_}, report);
    for (const TextEdit& edit : TextEdits(report)) {
        switch (edit.kind) {
        case TextEdit::Kind::Title:
            window_.SetCaption(edit.text);
            break;
        case TextEdit::Kind::Replace:
            window_.SetText(edit.text);
            break;
        case TextEdit::Kind::Add:
            window_.Append(edit.text);
            break;
        }
    }
    if (std::holds_alternative<OutputError>(report)) log_("MIDI error opening MIDI tx stream.");
    if (const auto message = MessageText(report)) tell_(*message);
    std::visit(After{window_}, report);
}

} // namespace vtl
