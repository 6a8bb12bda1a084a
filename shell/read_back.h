#pragma once
// Verify after write: once a write has gone out and the link is quiet, the console is read
// back from the MCUs and compared with what was written. The read fills the console in
// memory, so what was written is kept aside meanwhile and put back however the read ends.

#include "model/console_model.h"

#include <string>
#include <vector>

namespace vtl {

class ReadBack {
public:
    // A write has finished: its read-back is due.
    void Written(const ConsoleModel& written);
    // True once per write that is due, when its read is to be started now.
    bool TakeDue();
    bool Reading() const { return step_ == Step::Reading; }
    // The read has decoded every manual: what was written goes back into the console, and
    // the differences are returned in words, a line each; none when the MCUs hold it.
    std::vector<std::string> Finish(ConsoleModel& console);
    // Something else was started, or the read stopped: what was written goes back into the
    // console. False when no read-back was due or under way.
    bool Abandon(ConsoleModel& console);

private:
    enum class Step { None, Due, Reading };
    Step step_ = Step::None;
    ConsoleModel written_;
};

} // namespace vtl
