#include "link/transfer_progress.h"

#include "link/tick.h"

#include <algorithm>
#include <utility>

namespace vtl {
namespace {

// What one transfer needs, in messages sent and taken, and in link openings.
struct Plan {
    int sentBefore;  // before the first manual
    int takenBefore; // the counting TAG's return
    int sentPerManual;
    int takenPerManual;
    int openingsBefore;
    int openingsPerManual;
    int ticksPerTurn;
    int waitTicks;

    int UnitsBefore() const { return sentBefore + takenBefore; }
    int UnitsPerManual() const { return sentPerManual + takenPerManual; }
    int Openings(int manuals) const { return openingsBefore + openingsPerManual * manuals; }
};

// A manual's program data counts in quarters, however many responses carry it.
constexpr int kDataParts = 4;

// Reading: the queue sends one entry every 4 ticks, the first on tick 4. Needed are the
// MCU_REBOOT to every MCU and the counting TAG, then per manual a TAG, the identity request,
// the PROGRAM_REQUEST and the manual's MCU_REBOOT; taken are the TAG's return, then per
// manual the identity reply and the program data. The link opens before the first message
// and again before each PROGRAM_REQUEST (the input is closed once a manual has identified
// itself). On top the state machine waits 11 ticks after the first identity reply before it
// queues the request; the opening and the request could otherwise leave 4 and 8 ticks after
// the identity request, so the wait adds 8 ticks. (Later manuals pause only one tick: the
// counter is shared with the finishing state.) Each reply arrives one tick after its
// request, within the 4 ticks to the next turn. The transfer is over when its last message
// has left.
constexpr Plan kReadPlan{2, 1, 4, 1 + kDataParts, 1, 1, 4, 8};

// Writing: nothing is queued before the first repeat, on tick 10, so the first entry leaves
// on tick 12; every entry, the opening included, is followed by 6 ticks of pause and then up
// to 4 ticks to the next turn: 10 ticks per entry. Needed are per manual a TAG, the identity
// request, four PROGRAM_UPDATEs and the MCU_REBOOT, and one opening; taken is each manual's
// identity reply. A reply waits out the pause and its data is queued at the end of it, in
// time for the next turn. The transfer is over when the pause behind its last message has
// run: 12 + 10 * (turns - 1) + 6 ticks.
constexpr Plan kWritePlan{0, 0, 7, 1, 1, 0, 10, 8};

const Plan& PlanOf(TransferMode mode) {
    return mode == TransferMode::Writing ? kWritePlan : kReadPlan;
}

} // namespace

TransferPacing MinimumPacing(TransferMode mode, int manuals) {
    const Plan& plan = PlanOf(mode);
    return {plan.sentBefore + plan.sentPerManual * manuals + plan.Openings(manuals),
            plan.ticksPerTurn, plan.waitTicks};
}

void ProgressCounter::Start(TransferMode mode, int manuals) {
    const TransferProgress shown = figures_;
    *this = ProgressCounter();
    figures_ = shown;
    mode_ = mode;
    manuals_ = std::clamp(manuals, 0, kMaxManuals);
    Update();
}

void ProgressCounter::Stop() {
    Start(TransferMode::None, 0);
}

void ProgressCounter::Expect(int manual, const Bytes& message) {
    if (!Known(manual)) return;
    const bool asked = std::any_of(needs_.begin(), needs_.end(), [&](const Need& n) {
        return n.manual == manual && n.message == message;
    });
    if (!asked) needs_.push_back({manual, message, false});
}

void ProgressCounter::Left(const std::optional<Bytes>& message) {
    if (!message) {
        ++openings_;
        return Update();
    }
    const auto need = std::find_if(needs_.begin(), needs_.end(),
                                   [&](const Need& n) { return !n.left && n.message == *message; });
    if (need == needs_.end()) return;
    need->left = true;
    Add(need->manual, 1);
}

void ProgressCounter::Counted(int manuals) {
    if (mode_ != TransferMode::Reading || manuals_ != 0) return;
    manuals_ = std::clamp(manuals, 1, kMaxManuals);
    // The TAG came back, so what was sent before it has left.
    Identified(0);
}

void ProgressCounter::Identified(int manual) {
    if (!Known(manual) || of_[manual].identified) return;
    of_[manual].identified = true;
    int settled = 1;
    for (auto& need : needs_) {
        if (need.manual == manual && !need.left) {
            need.left = true;
            ++settled;
        }
    }
    Add(manual, settled);
}

void ProgressCounter::DataTaken(int manual, std::size_t bytes, std::size_t length) {
    if (!Known(manual) || length == 0) return;
    const int parts = static_cast<int>(std::min(bytes, length) * kDataParts / length);
    if (parts <= of_[manual].dataParts) return;
    Add(manual, parts - of_[manual].dataParts);
    of_[manual].dataParts = parts;
}

void ProgressCounter::Stall() {
    if (!figures_.Active()) return;
    stalled_ = true;
    Update();
}

bool ProgressCounter::TakeChanged() {
    return std::exchange(changed_, false);
}

bool ProgressCounter::Known(int manual) const {
    return figures_.Active() && manual >= 0 && manual <= kMaxManuals;
}

void ProgressCounter::Add(int manual, int units) {
    of_[manual].units += units;
    stalled_ = false;
    Update();
}

void ProgressCounter::Update() {
    TransferProgress f;
    if (mode_ == TransferMode::Reading || mode_ == TransferMode::Writing) {
        f.mode = mode_;
        f.stalled = stalled_;
    }
    if (f.Active() && manuals_ > 0) {
        const Plan& plan = PlanOf(mode_);
        f.manuals = manuals_;
        f.manualTotal = plan.UnitsPerManual();
        f.total = plan.UnitsBefore() + f.manualTotal * manuals_;
        f.done = of_[0].units;
        f.manual = manuals_;
        for (int m = manuals_; m >= 1; --m) {
            f.done += of_[m].units;
            if (of_[m].units == f.manualTotal) {
                ++f.manualsDone;
            } else {
                f.manual = m;
            }
        }
        f.manualDone = of_[f.manual].units;

        const TransferPacing pacing = MinimumPacing(mode_, manuals_);
        const int left = static_cast<int>(
            std::count_if(needs_.begin(), needs_.end(), [](const Need& n) { return n.left; }));
        const int turnsDone = left + std::min(openings_, plan.Openings(manuals_));
        const long turnsLeft = std::max(0, pacing.turns - turnsDone);
        const long ticksLeft =
            turnsLeft * pacing.ticksPerTurn + pacing.waitTicks * turnsLeft / pacing.turns;
        f.secondsLeft = static_cast<int>((ticksLeft + kTicksPerSecond - 1) / kTicksPerSecond);
    }
    if (f == figures_) return;
    figures_ = f;
    changed_ = true;
}

} // namespace vtl
