#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

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
// the message has been handed to messageReceived(). A message that starts
// with the request prefix goes to the request handler instead, and the owner
// answers with 'r', a 4-byte big-endian length and the handler's reply.
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

    // Requests: the handler gets the text after the prefix and calls answer
    // once, possibly later, with the reply.
    using Answer = std::function<void(const QByteArray &reply)>;
    using RequestHandler = std::function<void(const QString &request, const Answer &answer)>;
    void setRequestHandler(const QString &prefix, RequestHandler handler);

    // Sends a request to the owner listening on serverName and waits for its
    // reply; nothing when no owner answered within timeoutMs.
    static std::optional<QByteArray> request(const QString &serverName, const QString &text,
                                             int timeoutMs);

    QString lockFilePath() const { return lockPath; }
    QString serverName() const { return socketName; }

    // The socket and lock names used for key (exposed so that other local
    // programs can reach a running instance).
    static QString serverNameFor(const QString &key);
    static QString lockFilePathFor(const QString &key);
    // The private folder that holds the locks and sockets of this user.
    static QString folder();

signals:
    void messageReceived(const QString &message);

private:
    void acceptConnection();

    QString lockPath;
    QString socketName;
    std::unique_ptr<QLockFile> lock;
    QLocalServer *server = nullptr;
    QString requestPrefix;
    RequestHandler requestHandler;
    bool decided = false;
    bool otherRunning = false;
};
