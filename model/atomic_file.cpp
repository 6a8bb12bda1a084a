#include "model/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vtl {
namespace {

constexpr std::string_view kTemporaryMark = ".tmp-";

Error SystemError(const std::string& what, int error) {
    return Error{what + ": " + std::strerror(error)};
}

// Closes the descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// ".<name>.tmp-<digits>-<digits>", as CreateTemporary names its files.
bool IsTemporaryName(std::string_view name) {
    const std::size_t mark = name.rfind(kTemporaryMark);
    if (!name.starts_with('.') || mark == std::string_view::npos || mark < 2) return false;
    const std::string_view tail = name.substr(mark + kTemporaryMark.size());
    const std::size_t dash = tail.find('-');
    return dash != std::string_view::npos && IsDigits(tail.substr(0, dash)) &&
           IsDigits(tail.substr(dash + 1));
}

bool SameFile(int fd, const std::filesystem::path& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// Removes the temporary files of killed saves: those whose lock no running save holds.
void RemoveLeftovers(const std::filesystem::path& folder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const auto& path = entry.path();
        if (!IsTemporaryName(path.filename().string())) continue;
        const FileDescriptor fd(
            ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat status {};
        if (fd.Get() < 0 || ::fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode)) continue;
        if (::flock(fd.Get(), LOCK_EX | LOCK_NB) == 0 && SameFile(fd.Get(), path)) {
            ::unlink(path.c_str());
        }
    }
}

// Opens a new file beside the target that no one else uses, locked. A cleanup in another
// process may take a file between its creation and its lock: it is then gone, or about to
// go, and the next name is tried. Where the file system has no locks the file is used
// unlocked; no cleanup can take its lock then either.
int CreateTemporary(const std::filesystem::path& target, std::filesystem::path& temporary) {
    for (int attempt = 0; attempt <= 100; ++attempt) {
        temporary = target;
        temporary.replace_filename("." + target.filename().string() + std::string(kTemporaryMark) +
                                   std::to_string(::getpid()) + "-" + std::to_string(attempt));
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return fd;
        if (fd < 0) continue;
        const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        if ((locked || errno != EWOULDBLOCK) && SameFile(fd, temporary)) return fd;
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

Status WriteAll(int fd, std::string_view contents) {
    while (!contents.empty()) {
        const ssize_t n = ::write(fd, contents.data(), contents.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return SystemError("cannot write", errno);
        }
        contents.remove_prefix(static_cast<std::size_t>(n));
    }
    return Ok();
}

std::filesystem::path FolderOf(const std::filesystem::path& target) {
    return target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
}

void SyncFolder(const std::filesystem::path& folder) {
    const FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() >= 0) ::fsync(fd.Get());
}

Error TooBig(const std::filesystem::path& path, std::uintmax_t size, std::size_t maxSize,
             std::string_view kind) {
    return Error{path.string() + ": " + std::to_string(size) + " bytes is too big for " +
                 std::string(kind) + " (at most " + std::to_string(maxSize) + ")"};
}

} // namespace

Expected<std::string> ReadWholeFile(const std::filesystem::path& path, std::size_t maxSize,
                                    std::string_view kind) {
    // Without O_NONBLOCK opening a pipe would wait for a writer.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (fd.Get() < 0 || ::fstat(fd.Get(), &status) != 0) {
        return Error{path.string() + ": " + std::strerror(errno)};
    }
    if (S_ISDIR(status.st_mode)) return Error{path.string() + ": " + std::strerror(EISDIR)};
    if (!S_ISREG(status.st_mode)) {
        return Error{path.string() + ": not a plain file, so not " + std::string(kind)};
    }
    const auto size = static_cast<std::uintmax_t>(status.st_size);
    if (size > maxSize) return TooBig(path, size, maxSize, kind);
    // One byte more than allowed tells of a file that grew after the size was taken.
    std::string contents(maxSize + 1, '\0');
    std::size_t filled = 0;
    while (filled < contents.size()) {
        const ssize_t n = ::read(fd.Get(), contents.data() + filled, contents.size() - filled);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Error{path.string() + ": " + std::strerror(errno)};
        if (n == 0) break;
        filled += static_cast<std::size_t>(n);
    }
    if (filled > maxSize) return TooBig(path, filled, maxSize, kind);
    contents.resize(filled);
    return contents;
}

Status WriteFileAtomically(const std::filesystem::path& target, std::string_view contents) {
    const auto folder = FolderOf(target);
    RemoveLeftovers(folder);
    std::filesystem::path temporary;
    const int fd = CreateTemporary(target, temporary);
    if (fd < 0) return SystemError("cannot create a file in the folder", errno);

    // A file being replaced keeps its permissions.
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) ::fchmod(fd, existing.st_mode & 07777);

    // Renamed while still open, so that the lock holds until the name is the target's.
    Status written = WriteAll(fd, contents);
    if (written && ::fsync(fd) != 0) written = SystemError("cannot flush to disk", errno);
    if (written && ::rename(temporary.c_str(), target.c_str()) != 0) {
        written = SystemError("cannot replace the file", errno);
    }
    if (!written) ::unlink(temporary.c_str());
    ::close(fd); // after the flush it cannot lose data
    if (!written) return written;
    SyncFolder(folder);
    return Ok();
}

} // namespace vtl
