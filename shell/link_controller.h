#pragma once
// The application's link to the console: it owns the link session and its 100 ms tick,
// starts and stops the transfers, reads the console back after a write when the user wants
// that, and tells the windows through signals what happened. Messages that arrive while no
// transfer runs are offered to whoever listens.

#include "link/transfer_report.h"
#include "shell/read_back.h"

#include <QByteArray>
#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

class QTimer;

namespace vtl {

struct AppOptions;
struct AppState;
class ConsoleDocument;
class LinkSession;
class TransferController;
class UserMessages;

class LinkController : public QObject, private TransferObserver {
    Q_OBJECT

public:
    // The link reads into and writes from state's console, and marks in the document what the
    // console in memory now is.
    LinkController(AppState& state, ConsoleDocument& document, QObject* parent = nullptr);
    ~LinkController() override;

    // Makes the link, once: the ports of the options (on real ports, the devices found again
    // by name), and the trace. What cannot be had is held for the user. chooseDevices is asked
    // when a transfer finds no devices chosen.
    void Open(const AppOptions& options, UserMessages& messages, ChooseDevices chooseDevices);
    bool IsOpen() const { return session_ != nullptr; }
    LinkSession& Session() { return *session_; }
    TransferController& Transfer();
    // Asked before a read replaces the console: false keeps it.
    void SetDiscardQuestion(std::function<bool()> mayDiscard) {
        mayDiscard_ = std::move(mayDiscard);
    }

    // The tick drives the transfers while the timer runs; a test may tick by hand instead.
    void StartTimer();
    void StopTimer();
    void Tick();

    // The commands.
    void StartRead();
    void StartWrite();
    // The status window's Close: the transfer stops waiting.
    void CloseInput();
    // The status window was put away without Close: the transfer goes on out of view.
    void Dismissed();
    // A console file was loaded: reported as a transfer's end.
    void FileLoaded();
    // A read-back due or under way ends: the console shows again as written.
    void EndReadBack();
    // At shutdown: the tick stops and the ports close.
    void Close();

signals:
    // Every report of the transfers, as it comes.
    void Reported(const vtl::TransferReport& report);
    // A transfer began or ended, or a console file was loaded: the commands' rules may say
    // otherwise now.
    void TransferStarted();
    void TransferEnded();
    // A read began: the console view waits for it.
    void ReadStarted();
    // A console was read from the MCUs; not a read-back.
    void ConsoleReadIn();
    // The console in memory is settled after a transfer: the view shows its manuals.
    void ConsoleSettled();
    // A read-back is complete: the differences from what was written, a line each; none
    // when the MCUs hold it.
    void Verified(const std::vector<std::string>& differences);
    // A message arrived while no transfer runs.
    void MessageWhileQuiet(const QByteArray& message);

private:
    void Report(const TransferReport& report) override;
    void Concluded();
    void ConsoleCameIn();
    void Received(std::span<const std::uint8_t> message);

    AppState& state_;
    ConsoleDocument& document_;
    std::unique_ptr<LinkSession> session_;
    QTimer* tickTimer_;
    std::function<bool()> mayDiscard_;
    ReadBack readBack_;
    bool inTick_ = false;
};

} // namespace vtl
