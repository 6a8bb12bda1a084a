#include "shell/single_instance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

namespace vtl {
namespace {

constexpr int kConnectMilliseconds = 1000;
const QByteArray kActivate = "activate\n";

QString UserName() {
    const QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    return user.isEmpty() ? QStringLiteral("user") : user;
}

} // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent) {
    // Socket names must be short and plain; the hash keeps the title and user apart.
    const QByteArray id = (key + QLatin1Char('/') + UserName()).toUtf8();
    name_ = QStringLiteral("vtlconfig-") +
            QString::fromLatin1(
                QCryptographicHash::hash(id, QCryptographicHash::Sha1).toHex().left(16));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::AnotherInstance() {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (socket.waitForConnected(kConnectMilliseconds)) {
        socket.write(kActivate);
        socket.waitForBytesWritten(kConnectMilliseconds);
        socket.disconnectFromServer();
        return true;
    }
    Listen();
    return false;
}

void SingleInstance::Listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        // A copy that crashed leaves its socket behind: nobody answered, so take it over.
        QLocalServer::removeServer(name_);
        server_->listen(name_);
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_->nextPendingConnection()) {
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (peer->readAll().contains("activate") && activate_) activate_();
                peer->deleteLater();
            });
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        }
    });
}

} // namespace vtl
