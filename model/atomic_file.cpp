#include "model/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vtl {
namespace {

Error SystemError(const std::string& what, int error) {
    return Error{what + ": " + std::strerror(error)};
}

// Opens a new file beside the target that no one else uses.
int CreateTemporary(const std::filesystem::path& target, std::filesystem::path& temporary) {
    for (int attempt = 0;; ++attempt) {
        temporary = target;
        temporary.replace_filename("." + target.filename().string() + ".tmp-" +
                                   std::to_string(::getpid()) + "-" + std::to_string(attempt));
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST || attempt > 100) return fd;
    }
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

void SyncFolder(const std::filesystem::path& target) {
    const auto folder = target.has_parent_path() ? target.parent_path() : ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

Status WriteFileAtomically(const std::filesystem::path& target, std::string_view contents) {
    std::filesystem::path temporary;
    const int fd = CreateTemporary(target, temporary);
    if (fd < 0) return SystemError("cannot create a file in the folder", errno);

    // A file being replaced keeps its permissions.
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) ::fchmod(fd, existing.st_mode & 07777);

    Status written = WriteAll(fd, contents);
    if (written && ::fsync(fd) != 0) written = SystemError("cannot flush to disk", errno);
    if (::close(fd) != 0 && written) written = SystemError("cannot close", errno);
    if (written && ::rename(temporary.c_str(), target.c_str()) != 0) {
        written = SystemError("cannot replace the file", errno);
    }
    if (!written) {
        ::unlink(temporary.c_str());
        return written;
    }
    SyncFolder(target);
    return Ok();
}

} // namespace vtl
