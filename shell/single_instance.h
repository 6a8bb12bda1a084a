#pragma once
// One running copy per user: a second start hands over to the first, which raises its
// window (and opens the console file the second was started with), and then ends.
//
// The socket lies in a folder only this user may enter (the session's runtime folder, or one
// of the user's own in the temporary folder) and is itself open to its owner only: no other
// user can raise the window, nor take the name first and so keep the program from starting.

#include <QObject>
#include <QString>

#include <functional>

class QSocketNotifier;

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
    // The full path of the local socket the first copy listens on; empty without a private
    // folder.
    const QString& ServerName() const { return name_; }
    // Called in the first copy when a later one asks for the window, with the file it was
    // started with (empty when none).
    void OnActivate(std::function<void(const QString& file)> handler) {
        activate_ = std::move(handler);
    }

private:
    // replaceStale: a socket at the name is left over, as nobody listens on it.
    void Listen(bool replaceStale);
    void Accept();

    QString name_;
    QSocketNotifier* server_ = nullptr; // owns the listening socket; null when not listening
    std::function<void(const QString& file)> activate_;
};

} // namespace vtl
