// The one-instance channel on Windows: a named pipe. Pipe names are one namespace for the whole
// machine, so the name carries the user's settings folder (which holds the user's name); made
// first, the pipe is the user's own: the default security lets other accounts read it at most,
// and a name another account took first leaves this copy running alone. The pipe's buffer
// takes a request whole, so a later copy never waits for the first to read it, not even when
// both are one process, as in the tests. The pipe goes with its process: nothing is left over.

#include "shell/single_instance.h"

#include "shell/app_paths.h"

#include <QWinEventNotifier>

#include <functional>
#include <string>
#include <utility>

#include <windows.h>

namespace vtl {
namespace {

constexpr DWORD kConnectMilliseconds = 1000;
constexpr DWORD kBufferBytes = 64 * 1024;

std::wstring PipePath(const QString& name) {
    return (QStringLiteral("\\\\.\\pipe\\") + name).toStdWString();
}

// One instance of the pipe: it waits for a later copy, reads what the copy sends and hands it
// on as it arrives, and goes once the copy has closed its end. Its I/O is overlapped and
// finishes on an event that the UI thread's event loop watches.
class PipeInstance : public QObject {
public:
    // connected: called once a copy has connected, so that the next instance can wait.
    PipeInstance(HANDLE pipe, std::function<void(QByteArray&)> take,
                 std::function<void()> connected, QObject* parent)
        : QObject(parent), pipe_(pipe), take_(std::move(take)), connected_(std::move(connected)),
          event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), notifier_(event_) {
        overlapped_.hEvent = event_;
        connect(&notifier_, &QWinEventNotifier::activated, this, &PipeInstance::Next);
        if (ConnectNamedPipe(pipe_, &overlapped_)) return; // finished: the event is set
        const DWORD error = GetLastError();
        // A copy that came before the call is connected without an operation to ask about.
        connectedBefore_ = error == ERROR_PIPE_CONNECTED;
        if (connectedBefore_) SetEvent(event_);
        if (!connectedBefore_ && error != ERROR_IO_PENDING) notifier_.setEnabled(false);
    }
    ~PipeInstance() override {
        notifier_.setEnabled(false);
        DWORD ignored = 0;
        if (CancelIoEx(pipe_, &overlapped_))
            GetOverlappedResult(pipe_, &overlapped_, &ignored, TRUE);
        CloseHandle(pipe_);
        CloseHandle(event_);
    }

private:
    void Next() {
        DWORD bytes = 0;
        const bool done = std::exchange(connectedBefore_, false) ||
                          GetOverlappedResult(pipe_, &overlapped_, &bytes, FALSE);
        if (!done && GetLastError() == ERROR_IO_INCOMPLETE) return;
        if (!reading_) { // a copy connected, or the wait failed: either way the next one waits
            reading_ = true;
            connected_();
        } else if (done) {
            pending_.append(buffer_, qsizetype(bytes));
            take_(pending_);
        }
        // A read that fails at once, or later, means the copy has closed its end.
        if (!done || (!ReadFile(pipe_, buffer_, sizeof buffer_, nullptr, &overlapped_) &&
                      GetLastError() != ERROR_IO_PENDING)) {
            notifier_.setEnabled(false);
            deleteLater();
        }
    }

    HANDLE pipe_;
    std::function<void(QByteArray&)> take_;
    std::function<void()> connected_;
    HANDLE event_;
    QWinEventNotifier notifier_;
    OVERLAPPED overlapped_{};
    bool connectedBefore_ = false;
    bool reading_ = false;
    char buffer_[4096];
    QByteArray pending_;
};

} // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent)
    : QObject(parent), name_(HashedName(key + QLatin1Char('/') + UserConfigFolder())) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::AnotherInstance(const QString& file) {
    const std::wstring path = PipePath(name_);
    HANDLE pipe = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    // Every instance is taken for the moment: the first copy is given a second to offer another.
    if (pipe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PIPE_BUSY &&
        WaitNamedPipeW(path.c_str(), kConnectMilliseconds)) {
        pipe = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    if (pipe == INVALID_HANDLE_VALUE) {
        Listen(false);
        return false;
    }
    // The first copy may bring its window to the front: Windows lets only the program the user
    // just started do that, unless it passes the right on.
    AllowSetForegroundWindow(ASFW_ANY);
    const QByteArray line = Request(file);
    DWORD written = 0;
    WriteFile(pipe, line.constData(), DWORD(line.size()), &written, nullptr);
    CloseHandle(pipe);
    return true;
}

// The first instance makes the name this copy's; each instance that a later copy connects to
// has the next one wait, so that copies never wait for each other (nor a copy for itself).
void SingleInstance::Listen(bool) {
    const HANDLE pipe = CreateNamedPipeW(
        PipePath(name_).c_str(),
        PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | (server_ ? 0 : FILE_FLAG_FIRST_PIPE_INSTANCE),
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
        PIPE_UNLIMITED_INSTANCES, 0, kBufferBytes, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) return; // without the first, this copy runs alone
    auto* instance = new PipeInstance(
        pipe, [this](QByteArray& pending) { TakeRequests(pending); }, [this] { Listen(false); },
        this);
    if (!server_) server_ = instance;
}

} // namespace vtl
