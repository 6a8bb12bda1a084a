#pragma once
// Keeps every report of a transfer with the tick it came on, and whether the reports leave the
// transfer in view; passes each on to another observer when one is given.

#include "link/transfer_report.h"

#include <utility>
#include <vector>

namespace vtl::test {

class ReportLog : public TransferObserver {
public:
    void Report(const TransferReport& report) override {
        reports.push_back({now, report});
        if (std::holds_alternative<TransferBegan>(report) ||
            std::holds_alternative<NextManualAsked>(report) ||
            std::holds_alternative<StepBegan>(report)) {
            inView = true;
        }
        if (std::holds_alternative<StepCancelled>(report) ||
            std::holds_alternative<TransferConcluded>(report) ||
            std::holds_alternative<TransferAbandoned>(report) ||
            std::holds_alternative<EncodeFailure>(report)) {
            inView = false;
        }
        if (forward) forward->Report(report);
    }

    // The reports of one kind, and the ticks they came on.
    template <class Kind> std::vector<Kind> All() const {
        std::vector<Kind> all;
        for (const auto& [tick, report] : reports) {
            if (const auto* r = std::get_if<Kind>(&report)) all.push_back(*r);
        }
        return all;
    }
    template <class Kind> std::vector<long> TicksOf() const {
        std::vector<long> ticks;
        for (const auto& [tick, report] : reports) {
            if (std::holds_alternative<Kind>(report)) ticks.push_back(tick);
        }
        return ticks;
    }
    // Reports the user is told of in a message: failures and data that cannot be unpacked.
    std::size_t Failures() const {
        return All<PortFailure>().size() + All<DeviceGone>().size() +
               All<ConversionError>().size() + All<DecodeFailure>().size() +
               All<EncodeFailure>().size();
    }

    long now = 0;
    bool inView = false;
    TransferObserver* forward = nullptr;
    std::vector<std::pair<long, TransferReport>> reports;
};

} // namespace vtl::test
