// Whole-file reads and atomic saves on POSIX: open(2) with O_NONBLOCK, flock(2), fsync(2) of
// the file and its folder, rename(2).

#include "model/atomic_file.h"
#include "model/atomic_file_shared.h"

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
        if (!IsTemporaryName(path)) continue;
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
        temporary = TemporaryName(target, static_cast<unsigned long>(::getpid()), attempt);
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
            return SystemError("cannot write", std::strerror(errno));
        }
        contents.remove_prefix(static_cast<std::size_t>(n));
    }
    return Ok();
}

void SyncFolder(const std::filesystem::path& folder) {
    const FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() >= 0) ::fsync(fd.Get());
}

} // namespace

Expected<std::string> ReadWholeFile(const std::filesystem::path& path, std::size_t maxSize,
                                    std::string_view kind) {
    // Without O_NONBLOCK opening a pipe would wait for a writer.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (fd.Get() < 0 || ::fstat(fd.Get(), &status) != 0)
        return FileError(path, std::strerror(errno));
    if (S_ISDIR(status.st_mode)) return FileError(path, std::strerror(EISDIR));
    if (!S_ISREG(status.st_mode)) return NotPlainFile(path, kind);
    const auto size = static_cast<std::uintmax_t>(status.st_size);
    if (size > maxSize) return TooBig(path, size, maxSize, kind);
    // Room for the size taken and a byte more, which tells of a file that grew after; one that
    // grew gets more, up to one byte more than allowed.
    std::string contents(static_cast<std::size_t>(size) + 1, '\0');
    std::size_t filled = 0;
    while (filled < contents.size() || contents.size() <= maxSize) {
        if (filled == contents.size()) contents.resize(std::min(2 * filled, maxSize + 1));
        const ssize_t n = ::read(fd.Get(), contents.data() + filled, contents.size() - filled);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return FileError(path, std::strerror(errno));
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
    if (fd < 0) return SystemError("cannot create a file in the folder", std::strerror(errno));

    // A file being replaced keeps its permissions.
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) ::fchmod(fd, existing.st_mode & 07777);

    // Renamed while still open, so that the lock holds until the name is the target's.
    Status written = WriteAll(fd, contents);
    if (written && ::fsync(fd) != 0)
        written = SystemError("cannot flush to disk", std::strerror(errno));
    if (written && ::rename(temporary.c_str(), target.c_str()) != 0) {
        written = SystemError("cannot replace the file", std::strerror(errno));
    }
    if (!written) ::unlink(temporary.c_str());
    ::close(fd); // after the flush it cannot lose data
    if (!written) return written;
    SyncFolder(folder);
    return Ok();
}

} // namespace vtl
