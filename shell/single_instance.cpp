#include "shell/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <sys/stat.h>
#include <unistd.h>

namespace vtl {
namespace {

constexpr int kConnectMilliseconds = 1000;
// One line each: "activate", or "open " and a file's path, which raises the window too.
const QByteArray kActivate = "activate";
const QByteArray kOpen = "open ";

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

} // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent) {
    const QString folder = SocketFolder();
    if (folder.isEmpty()) return;
    // Socket paths must be short and plain: the title is hashed.
    name_ = folder + QStringLiteral("/vtlconfig-") +
            QString::fromLatin1(
                QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::AnotherInstance(const QString& file) {
    if (name_.isEmpty()) return false;
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (socket.waitForConnected(kConnectMilliseconds)) {
        socket.write((file.isEmpty() ? kActivate : kOpen + file.toUtf8()) + '\n');
        socket.waitForBytesWritten(kConnectMilliseconds);
        socket.disconnectFromServer();
        return true;
    }
    Listen();
    return false;
}

void SingleInstance::Listen() {
    server_ = new QLocalServer(this);
    // Qt binds the socket in a fresh folder beside the name, sets its mode to 0700 and
    // renames it onto the name: a socket that a crashed copy left behind is replaced. A socket
    // that cannot be made leaves this copy running alone.
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->listen(name_);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_->nextPendingConnection()) {
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                while (peer->canReadLine()) {
                    const QByteArray line = peer->readLine().chopped(1);
                    if (!activate_) continue;
                    if (line == kActivate) activate_({});
                    if (line.startsWith(kOpen))
                        activate_(QString::fromUtf8(line.mid(kOpen.size())));
                }
            });
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        }
    });
}

} // namespace vtl
