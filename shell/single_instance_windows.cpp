// The one-instance channel on Windows: a named pipe through Qt's local sockets. Pipe names are
// one namespace for the whole machine, so the name carries the user's settings folder (which
// holds the user's name), and the pipe is open to its owner only; it goes with the process
// that made it, so nothing is left over.

#include "shell/single_instance.h"

#include "shell/app_paths.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <memory>

#include <windows.h>

namespace vtl {
namespace {

constexpr int kConnectMilliseconds = 1000;

} // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent)
    : QObject(parent), name_(HashedName(key + QLatin1Char('/') + UserConfigFolder())) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::AnotherInstance(const QString& file) {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kConnectMilliseconds)) {
        Listen(false);
        return false;
    }
    // The first copy may bring its window to the front: Windows lets only the program the
    // user just started do that, unless it passes the right on.
    AllowSetForegroundWindow(ASFW_ANY);
    socket.write(Request(file));
    socket.waitForBytesWritten(kConnectMilliseconds);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) {
        socket.waitForDisconnected(kConnectMilliseconds);
    }
    return true;
}

void SingleInstance::Listen(bool) {
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name_)) { // this copy runs alone
        delete server;
        return;
    }
    server_ = server;
    connect(server, &QLocalServer::newConnection, this, &SingleInstance::Accept);
}

void SingleInstance::Accept() {
    auto* server = static_cast<QLocalServer*>(server_);
    while (QLocalSocket* peer = server->nextPendingConnection()) {
        // Lines are handled as they are complete, also those that came with the close.
        const auto pending = std::make_shared<QByteArray>();
        const auto take = [this, peer, pending] {
            pending->append(peer->readAll());
            TakeRequests(*pending);
        };
        connect(peer, &QLocalSocket::readyRead, this, take);
        connect(peer, &QLocalSocket::disconnected, this, [take, peer] {
            take();
            peer->deleteLater();
        });
        take();
    }
}

} // namespace vtl
