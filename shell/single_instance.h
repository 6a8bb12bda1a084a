#pragma once
// One running copy per user: a second start hands over to the first, which raises its
// window (and opens the console file the second was started with), and then ends.
//
// On POSIX the channel is a Unix-domain socket in a folder only this user may enter (the
// session's runtime folder, or one of the user's own in the temporary folder), itself open to
// its owner only: no other user can raise the window, nor take the name first and so keep the
// program from starting. On Windows it is a named pipe, named for the user's settings folder
// and the user's own.

#include <QObject>
#include <QString>

#include <functional>

namespace vtl {

class SingleInstance : public QObject {
public:
    // key: the application title.
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when another copy runs; it has then been asked to raise its window and, when a
    // file is given, to open it. Where no private folder can be had, every copy runs alone
    // and this is false; so is this copy when the first does not answer within a second.
    bool AnotherInstance(const QString& file = {});
    // The full path of the local socket the first copy listens on (on Windows the pipe's
    // name); empty without a private folder.
    const QString& ServerName() const { return name_; }
    // Called in the first copy when a later one asks for the window, with the file it was
    // started with (empty when none).
    void OnActivate(std::function<void(const QString& file)> handler) {
        activate_ = std::move(handler);
    }

private:
    // "vtlconfig-" and a hash of the key: channel names must be short and plain.
    static QString HashedName(const QString& key);
    // The line a later copy sends: "activate", or "open " and a file's path, which raises
    // the window too.
    static QByteArray Request(const QString& file);
    // Hands each complete line of what a later copy sent to the handler, and drops it.
    void TakeRequests(QByteArray& pending);

    // replaceStale: a socket at the name is left over, as nobody listens on it (POSIX).
    void Listen(bool replaceStale);

    QString name_;
    QObject* server_ = nullptr; // owns the listening end; null when not listening
    std::function<void(const QString& file)> activate_;
};

} // namespace vtl
