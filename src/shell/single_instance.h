#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

// One running instance per executable. The first process to take the lock
// file owns the instance and listens on a local socket; later processes find
// the lock taken and can hand the owner a message before they exit.
//
// Both names derive from the key, by default the executable's absolute path,
// so copies installed in different folders run side by side. Both live in a
// folder only this user can enter (the session's runtime folder), so no other
// user can block the start or reach the socket. A lock that no answering
// owner stands behind (unreadable, a dead or reused pid) is taken over.
//
// Wire form of a message on the socket: a 4-byte big-endian length, then that
// many bytes of UTF-8 text. The owner answers with the single byte 'a' once
// the message has been handed to messageReceived().
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // An empty key means the executable's absolute path.
    explicit SingleInstance(const QString &key = QString(), QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when another live process owns the instance. The first call decides;
    // when this process becomes the owner it starts listening.
    bool isRunning();

    // Sends text to the owner; false when nobody answered within timeoutMs.
    bool sendMessage(const QString &text, int timeoutMs);

    QString lockFilePath() const { return lockPath; }
    QString serverName() const { return socketName; }

    // The socket and lock names used for key (exposed so that other local
    // programs can reach a running instance).
    static QString serverNameFor(const QString &key);
    static QString lockFilePathFor(const QString &key);

signals:
    void messageReceived(const QString &message);

private:
    void acceptConnection();

    QString lockPath;
    QString socketName;
    std::unique_ptr<QLockFile> lock;
    QLocalServer *server = nullptr;
    bool decided = false;
    bool otherRunning = false;
};
