#include "shell/link_controller.h"

#include "editor/console_document.h"
#include "link/tick.h"
#include "link/transfer_controller.h"
#include "session/link_session.h"
#include "shell/app_options.h"
#include "shell/app_state.h"
#include "shell/settings.h"
#include "shell/user_messages.h"

#include <QTimer>

namespace vtl {

LinkController::LinkController(AppState& state, ConsoleDocument& document, QObject* parent)
    : QObject(parent), state_(state), document_(document), tickTimer_(new QTimer(this)) {
    tickTimer_->setInterval(kTickMilliseconds);
    tickTimer_->setTimerType(Qt::PreciseTimer);
    connect(tickTimer_, &QTimer::timeout, this, &LinkController::Tick);
}

LinkController::~LinkController() = default;

void LinkController::Open(const AppOptions& options, UserMessages& messages,
                          ChooseDevices chooseDevices) {
    if (session_) return;
    PortChoice choice{options.demo, options.api, {}};
    if (options.demo) {
        choice.demoConsole = (state_.programFolder + "/samples/three-manuals.vtl").toStdString();
    }
    TransferObserver& observer = *this;
    session_ = std::make_unique<LinkSession>(choice, state_.console, state_.midi, observer,
                                             std::move(chooseDevices));
    if (!options.demo) RefindPorts(state_, session_->Input(), session_->Output());
    session_->OnReceived([this](std::span<const std::uint8_t> message) { Received(message); });
    if (const auto& preloaded = session_->DemoPreloaded(); !preloaded) {
        messages.Hold("The simulated console starts blank: " + preloaded.error().message);
    }
    if (!options.tracePath.isEmpty()) {
        if (const auto traced = session_->StartTrace(options.tracePath.toStdString()); !traced) {
            messages.Hold("No MIDI trace is written: " + traced.error().message);
        }
    }
}

TransferController& LinkController::Transfer() {
    return session_->Transfer();
}

void LinkController::StartTimer() {
    tickTimer_->start();
}

void LinkController::StopTimer() {
    tickTimer_->stop();
}

void LinkController::Tick() {
    // A dialog or message box opened from inside a tick runs its own event loop, in which the
    // timer goes on firing: those ticks wait until the outer one is done.
    if (inTick_) return;
    inTick_ = true;
    session_->Tick();
    // A finished write is read back once nothing of it waits to be sent.
    if (session_->Completed() && readBack_.TakeDue()) Transfer().StartRead();
    inTick_ = false;
}

void LinkController::StartRead() {
    EndReadBack();
    if (mayDiscard_ && !mayDiscard_()) return;
    Transfer().StartRead();
}

void LinkController::StartWrite() {
    EndReadBack();
    Transfer().StartWrite();
}

void LinkController::CloseInput() {
    if (!session_) return;
    Transfer().CloseInput();
    EndReadBack();
}

void LinkController::Dismissed() {
    if (session_) Transfer().Dismissed();
}

void LinkController::FileLoaded() {
    Transfer().FileLoaded();
}

void LinkController::EndReadBack() {
    if (!readBack_.Abandon(state_.console)) return;
    document_.MarkRestored();
    emit ConsoleSettled();
}

void LinkController::Close() {
    tickTimer_->stop();
    if (session_) session_->Close(); // the link is made once the splash has painted
}

void LinkController::Report(const TransferReport& report) {
    // The commands that need a console are enabled before the status window goes.
    if (std::holds_alternative<TransferConcluded>(report)) Concluded();
    emit Reported(report);
    if (const auto* began = std::get_if<TransferBegan>(&report)) {
        emit TransferStarted();
        if (began->mode == TransferMode::Reading) emit ReadStarted();
    }
    if (std::holds_alternative<ConsoleRead>(report)) ConsoleCameIn();
    if (std::holds_alternative<StepCancelled>(report)) emit TransferEnded();
    if (const auto* abandoned = std::get_if<TransferAbandoned>(&report)) {
        emit TransferEnded();
        // Before the first console the start prompt stays.
        if (abandoned->mode == TransferMode::Reading && state_.console.manualCount > 0)
            emit ConsoleSettled();
    }
}

void LinkController::Concluded() {
    // At the end of a write the MCUs hold what is in memory.
    if (Transfer().Mode() == TransferMode::Writing) {
        if (state_.verifyAfterWrite) readBack_.Written(state_.console);
        document_.MarkWritten();
    }
    emit TransferEnded();
}

void LinkController::ConsoleCameIn() {
    if (readBack_.Reading()) {
        const auto differences = readBack_.Finish(state_.console);
        document_.MarkRestored();
        emit ConsoleSettled();
        emit Verified(differences);
        return;
    }
    emit ConsoleReadIn();
    document_.MarkRead();
    emit ConsoleSettled();
}

void LinkController::Received(std::span<const std::uint8_t> message) {
    if (!session_->Quiet()) return;
    emit MessageWhileQuiet(
        QByteArray(reinterpret_cast<const char*>(message.data()), std::ssize(message)));
}

} // namespace vtl
