#include "tests/core/file_faults.h"

#include "model/config_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vtl::test {

// A file size limit with SIGXFSZ ignored makes the write fail with EFBIG, as on a full disk.
FailedSave SaveFailingMidway(ConsoleModel& model, const std::filesystem::path& target) {
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit lowered = previous;
    lowered.rlim_cur = 100;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &lowered), 0);
    auto saved = SaveConfigFile(model, target);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, handler);
    return {std::move(saved), std::string("cannot write: ") + std::strerror(EFBIG)};
}

std::filesystem::path NotPlainFile(const std::filesystem::path& path) {
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
    return path;
}

std::jthread HoldBriefly(const std::filesystem::path& path, std::chrono::milliseconds span) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    EXPECT_GE(fd, 0);
    return std::jthread([fd, span] {
        std::this_thread::sleep_for(span);
        ::close(fd);
    });
}

HeldLock::HeldLock(const std::filesystem::path& path) {
    int ready[2];
    EXPECT_EQ(::pipe(ready), 0);
    holder_ = ::fork();
    if (holder_ == 0) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        ::_exit(::flock(fd, LOCK_EX) != 0 || ::write(ready[1], "!", 1) != 1 || ::pause());
    }
    char signal = 0;
    EXPECT_EQ(::read(ready[0], &signal, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
}

HeldLock::~HeldLock() {
    ::kill(static_cast<pid_t>(holder_), SIGKILL);
    ::waitpid(static_cast<pid_t>(holder_), nullptr, 0);
}

} // namespace vtl::test
