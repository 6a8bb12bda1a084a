// Whole-file reads and atomic saves on Windows, through the wide (UTF-16) file API: LockFileEx
// where POSIX has flock, FlushFileBuffers, and MoveFileExW with MOVEFILE_WRITE_THROUGH for
// the rename. The reasons in errors are the C library's words where it has them, so that
// messages read as on Linux.

#include "model/atomic_file.h"
#include "model/atomic_file_shared.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include <windows.h>

namespace vtl {
namespace {

// Reads, writes or locks of at most this many bytes at once (the calls take a DWORD).
constexpr DWORD kChunk = 1u << 30;

std::string Reason(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
        return std::strerror(ENOENT);
    case ERROR_ACCESS_DENIED:
        return std::strerror(EACCES);
    case ERROR_WRITE_PROTECT:
        return std::strerror(EROFS);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return std::strerror(EEXIST);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return std::strerror(ENOSPC);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "another program has the file open (close it there and try again)";
    }
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring wide(text ? text : L"", length);
    LocalFree(text);
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L'.'))
        wide.pop_back();
    if (wide.empty()) return "Windows error " + std::to_string(error);
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string reason(std::size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), reason.data(), size, nullptr,
                        nullptr);
    return reason;
}

std::string LastReason() {
    return Reason(GetLastError());
}

// Closes the handle when it goes out of scope.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (Valid()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

// The whole file, locked against every other handle; false when another holds a lock on it.
bool LockWhole(HANDLE file) {
    OVERLAPPED from{};
    return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                      MAXDWORD, &from) != 0;
}

// Marks an open file for deletion: it goes when its last handle closes, whatever it is named
// by then.
void DeleteOnClose(HANDLE file) {
    FILE_DISPOSITION_INFO disposition{TRUE};
    SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

// Removes the temporary files of killed saves: those whose lock no running save holds. The
// file is locked and deleted through one handle, so it is the file that was checked.
void RemoveLeftovers(const std::filesystem::path& folder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const auto& path = entry.path();
        if (!IsTemporaryName(path)) continue;
        const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ | DELETE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                          nullptr));
        BY_HANDLE_FILE_INFORMATION information{};
        if (!file.Valid() || !GetFileInformationByHandle(file.Get(), &information) ||
            (information.dwFileAttributes &
             (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
            continue;
        }
        if (LockWhole(file.Get())) DeleteOnClose(file.Get());
    }
}

// Opens a new file beside the target that no one else uses, locked, and open to a rename
// while this handle holds it. A cleanup in another process may take a file between its
// creation and its lock: the next name is tried then. Where the file system has no locks
// the file is used unlocked; no cleanup can take its lock then either.
HANDLE CreateTemporary(const std::filesystem::path& target, std::filesystem::path& temporary) {
    for (int attempt = 0; attempt <= 100; ++attempt) {
        temporary = TemporaryName(target, GetCurrentProcessId(), attempt);
        const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE | DELETE,
                                        FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return file;
        if (file == INVALID_HANDLE_VALUE) continue;
        if (LockWhole(file) || GetLastError() != ERROR_LOCK_VIOLATION) return file;
        CloseHandle(file);
    }
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

// Why a rename over the target failed. Windows says "access denied" when another program holds
// the target open without sharing its deletion, as a document it shows: asked again for the
// right to delete it, it tells the two apart.
std::string RenameReason(const std::filesystem::path& target) {
    const DWORD error = GetLastError();
    if (error != ERROR_ACCESS_DENIED) return Reason(error);
    const FileHandle probe(
        CreateFileW(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return Reason(!probe.Valid() && GetLastError() == ERROR_SHARING_VIOLATION
                      ? ERROR_SHARING_VIOLATION
                      : error);
}

Status WriteAll(HANDLE file, std::string_view contents) {
    while (!contents.empty()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size(), kChunk));
        if (!WriteFile(file, contents.data(), chunk, &written, nullptr)) {
            return SystemError("cannot write", LastReason());
        }
        contents.remove_prefix(written);
    }
    return Ok();
}

} // namespace

Expected<std::string> ReadWholeFile(const std::filesystem::path& path, std::size_t maxSize,
                                    std::string_view kind) {
    // Folders open only with backup semantics; they are then told apart as on POSIX.
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.Valid()) return FileError(path, LastReason());
    if (GetFileType(file.Get()) != FILE_TYPE_DISK) return NotPlainFile(path, kind);
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file.Get(), &information)) {
        return FileError(path, LastReason());
    }
    if (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        return FileError(path, std::strerror(EISDIR));
    }
    const std::uintmax_t size =
        (std::uintmax_t{information.nFileSizeHigh} << 32) | information.nFileSizeLow;
    if (size > maxSize) return TooBig(path, size, maxSize, kind);
    // Room for the size taken and a byte more, which tells of a file that grew after; one that
    // grew gets more, up to one byte more than allowed.
    std::string contents(static_cast<std::size_t>(size) + 1, '\0');
    std::size_t filled = 0;
    while (filled < contents.size() || contents.size() <= maxSize) {
        if (filled == contents.size()) contents.resize(std::min(2 * filled, maxSize + 1));
        DWORD n = 0;
        const auto chunk =
            static_cast<DWORD>(std::min<std::size_t>(contents.size() - filled, kChunk));
        if (!ReadFile(file.Get(), contents.data() + filled, chunk, &n, nullptr)) {
            return FileError(path, LastReason());
        }
        if (n == 0) break;
        filled += n;
    }
    if (filled > maxSize) return TooBig(path, filled, maxSize, kind);
    contents.resize(filled);
    return contents;
}

Status WriteFileAtomically(const std::filesystem::path& target, std::string_view contents) {
    RemoveLeftovers(FolderOf(target));
    std::filesystem::path temporary;
    const FileHandle file(CreateTemporary(target, temporary));
    if (!file.Valid()) return SystemError("cannot create a file in the folder", LastReason());

    // Renamed while still open and locked, so that no cleanup takes it before the name is the
    // target's; the write-through rename reaches the disk before the call returns. A target
    // that another program holds open without sharing its deletion cannot be replaced: the
    // save fails and the file stays as it was.
    Status written = WriteAll(file.Get(), contents);
    if (written && !FlushFileBuffers(file.Get())) {
        written = SystemError("cannot flush to disk", LastReason());
    }
    if (written && !MoveFileExW(temporary.c_str(), target.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        written = SystemError("cannot replace the file", RenameReason(target));
    }
    if (!written) DeleteOnClose(file.Get());
    return written;
}

} // namespace vtl
