#include "shell/single_instance.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vtl {
namespace {

// A plain Unix-domain socket rather than Qt's local sockets: Qt Network would be loaded at every
// start, with the libraries it brings, for this alone.
constexpr time_t kConnectSeconds = 1;

// A real folder (no link to one), owned by this user and closed to everybody else.
bool IsPrivateFolder(const QString& path) {
    struct stat info {};
    return path.startsWith(QLatin1Char('/')) &&
           ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

// The session's runtime folder, or else "vtlconfig-<uid>" in the temporary folder, made
// private here; empty when neither is private, as when another user made that one first.
QString SocketFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (IsPrivateFolder(runtime)) return runtime;
    const QString own = QDir(QDir::tempPath()).absolutePath() + QStringLiteral("/vtlconfig-") +
                        QString::number(::geteuid());
    ::mkdir(QFile::encodeName(own).constData(), S_IRWXU); // one that exists is checked next
    return IsPrivateFolder(own) ? own : QString();
}

// The address of a socket file; false when the path is too long for one.
bool SocketAddress(const QString& name, sockaddr_un& address) {
    const QByteArray path = QFile::encodeName(name);
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof address.sun_path)) return false;
    std::memcpy(address.sun_path, path.constData(), path.size());
    return true;
}

sockaddr* Generic(sockaddr_un& address) {
    return reinterpret_cast<sockaddr*>(&address);
}

// A socket notifier that closes its socket when it goes.
class OwnedSocket : public QSocketNotifier {
public:
    OwnedSocket(int socket, QObject* parent) : QSocketNotifier(socket, Read, parent) {}
    ~OwnedSocket() override {
        setEnabled(false);
        ::close(int(socket()));
    }
};

} // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent) {
    const QString folder = SocketFolder();
    if (folder.isEmpty()) return;
    name_ = folder + QLatin1Char('/') + HashedName(key);
}

SingleInstance::~SingleInstance() {
    if (server_) ::unlink(QFile::encodeName(name_).constData());
}

bool SingleInstance::AnotherInstance(const QString& file) {
    sockaddr_un address;
    if (name_.isEmpty() || !SocketAddress(name_, address)) return false;
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0) return false;
    // Connecting waits while the first copy's queue is full, and writing while its buffer is:
    // neither longer than this.
    const timeval timeout{kConnectSeconds, 0};
    ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    const bool answered = ::connect(socket, Generic(address), sizeof address) == 0;
    const bool nobodyListens = !answered && errno == ECONNREFUSED;
    if (answered) {
        const QByteArray line = Request(file);
        for (qsizetype sent = 0, n = 0; sent < line.size(); sent += n) {
            n = ::send(socket, line.constData() + sent, line.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) break;
        }
    }
    ::close(socket);
    if (!answered) Listen(nobodyListens);
    return answered;
}

void SingleInstance::Listen(bool replaceStale) {
    sockaddr_un address;
    SocketAddress(name_, address);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket < 0) return;
    // A socket nobody listens on is one a killed copy left behind; one whose copy was only too
    // slow to answer is left to it.
    const bool bound = ::bind(socket, Generic(address), sizeof address) == 0 ||
                       (errno == EADDRINUSE && replaceStale && ::unlink(address.sun_path) == 0 &&
                        ::bind(socket, Generic(address), sizeof address) == 0);
    // Open to its owner only before anybody can connect. A socket that cannot be made leaves
    // this copy running alone.
    if (!bound || ::chmod(address.sun_path, S_IRWXU) != 0 || ::listen(socket, SOMAXCONN) != 0) {
        if (bound) ::unlink(address.sun_path);
        ::close(socket);
        return;
    }
    server_ = new OwnedSocket(socket, this);
    // Each later copy's connection is read as its lines are complete, and closed once the copy
    // has closed it.
    connect(static_cast<OwnedSocket*>(server_), &QSocketNotifier::activated, this, [this, socket] {
        int peer;
        while ((peer = ::accept4(socket, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0) {
            auto* reader = new OwnedSocket(peer, this);
            connect(reader, &QSocketNotifier::activated, this,
                    [this, reader, pending = QByteArray()]() mutable {
                        char buffer[4096];
                        ssize_t n;
                        while ((n = ::read(int(reader->socket()), buffer, sizeof buffer)) > 0)
                            pending.append(buffer, n);
                        const bool closed = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
                        TakeRequests(pending);
                        if (closed) {
                            reader->setEnabled(false);
                            reader->deleteLater();
                        }
                    });
        }
    });
}

} // namespace vtl
