#include "shell/read_back.h"

#include "model/console_diff.h"

#include <utility>

namespace vtl {

void ReadBack::Written(const ConsoleModel& written) {
    written_ = written;
    step_ = Step::Due;
}

bool ReadBack::TakeDue() {
    if (step_ != Step::Due) return false;
    step_ = Step::Reading;
    return true;
}

std::vector<std::string> ReadBack::Finish(ConsoleModel& console) {
    auto differences = DescribeDifferences(written_, console, {"the PC", "the VTL"});
    Abandon(console);
    return differences;
}

bool ReadBack::Abandon(ConsoleModel& console) {
    if (std::exchange(step_, Step::None) == Step::None) return false;
    console = written_;
    return true;
}

} // namespace vtl
