#pragma once
// Faults of the file system that the console file tests make, each the platform's own way.

#include "model/console_model.h"
#include "sysex/result.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>

namespace vtl::test {

// A save that fails after its temporary file is written: the disk is full (a file size limit)
// on POSIX, another program holds the target open on Windows. reason: what the error says.
struct FailedSave {
    Status saved;
    std::string reason;
};
FailedSave SaveFailingMidway(ConsoleModel& model, const std::filesystem::path& target);

// Something that is no plain file, made at path where the platform can (a pipe without a
// writer on POSIX; on Windows the NUL device): the name to load it by.
std::filesystem::path NotPlainFile(const std::filesystem::path& path);

// A handle on the file, open when this returns and closed span later by the thread it gives,
// sharing reading, writing and deletion: as another save's cleanup of leftovers or a virus
// scanner holds one for a moment.
std::jthread HoldBriefly(const std::filesystem::path& path, std::chrono::milliseconds span);

// An exclusive lock on a file that someone other than the saving code holds while this lives:
// a child process on POSIX, another handle on Windows (whose locks hold against every other
// handle, in this process too).
class HeldLock {
public:
    explicit HeldLock(const std::filesystem::path& path);
    ~HeldLock();
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;

private:
    std::intptr_t holder_ = -1; // the child's process id, or the handle
};

} // namespace vtl::test
