#include "tests/core/file_faults.h"

#include "model/config_file.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace vtl::test {

// Opened as most programs open a document they show: others may read and write it, but not
// delete or rename it, nor anything over it.
FailedSave SaveFailingMidway(ConsoleModel& model, const std::filesystem::path& target) {
    const HANDLE held =
        CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(held, INVALID_HANDLE_VALUE);
    auto saved = SaveConfigFile(model, target);
    CloseHandle(held);
    return {std::move(saved), "cannot replace the file: another program has the file open (close "
                              "it there and try again)"};
}

std::filesystem::path NotPlainFile(const std::filesystem::path&) {
    return "NUL";
}

std::jthread HoldBriefly(const std::filesystem::path& path, std::chrono::milliseconds span) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    return std::jthread([file, span] {
        std::this_thread::sleep_for(span);
        CloseHandle(file);
    });
}

HeldLock::HeldLock(const std::filesystem::path& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    OVERLAPPED from{};
    EXPECT_TRUE(LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &from));
    holder_ = reinterpret_cast<std::intptr_t>(file);
}

HeldLock::~HeldLock() {
    CloseHandle(reinterpret_cast<HANDLE>(holder_));
}

} // namespace vtl::test
