#pragma once
// Words a transfer's reports as the application shows them: the status window's captions and
// texts, brought into view and taken out of it, message boxes and the log.

#include "link/transfer_report.h"

#include <functional>
#include <string>

namespace vtl {

class StatusWindow;

class StatusPresenter : public TransferObserver {
public:
    using Say = std::function<void(const std::string&)>;

    // tell shows a message to the user, log writes a line to the log.
    StatusPresenter(StatusWindow& window, Say tell, Say log);

    void Report(const TransferReport& report) override;

private:
    StatusWindow& window_;
    Say tell_;
    Say log_;
};

} // namespace vtl
