#include "shell/single_instance.h"

#include <QCryptographicHash>

namespace vtl {
namespace {

const QByteArray kActivate = "activate";
const QByteArray kOpen = "open ";

} // namespace

QString SingleInstance::HashedName(const QString& key) {
    return QStringLiteral("vtlconfig-") +
           QString::fromLatin1(
               QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}

QByteArray SingleInstance::Request(const QString& file) {
    return (file.isEmpty() ? kActivate : kOpen + file.toUtf8()) + '\n';
}

void SingleInstance::TakeRequests(QByteArray& pending) {
    for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1)) {
        const QByteArray line = pending.left(end);
        if (!activate_) continue;
        if (line == kActivate) activate_({});
        if (line.startsWith(kOpen)) activate_(QString::fromUtf8(line.mid(kOpen.size())));
    }
}

} // namespace vtl
