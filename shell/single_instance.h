#pragma once
// One running copy per user: a second start hands over to the first, which raises its
// window, and then ends.

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

namespace vtl {

class SingleInstance : public QObject {
public:
    // key: the application title; the user's name is added so that users do not meet.
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when another copy runs; it has then been asked to raise its window.
    bool AnotherInstance();
    // The local socket the first copy listens on.
    const QString& serverName() const { return name_; }
    // Called in the first copy when a later one asks for the window.
    void onActivate(std::function<void()> handler) { activate_ = std::move(handler); }

private:
    void Listen();

    QString name_;
    QLocalServer* server_ = nullptr;
    std::function<void()> activate_;
};

} // namespace vtl
