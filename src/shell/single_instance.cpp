#include "single_instance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>

#include <unistd.h>

namespace {

constexpr char kAck = 'a';
// A message larger than this is not a restore request or a copy-data text;
// refusing it keeps a misbehaving client from making us buffer without end.
constexpr quint32 kMaxMessage = 1u << 20;

QString keyDigest(const QString &key) {
    QByteArray material = key.toUtf8();
#ifdef Q_OS_UNIX
    // Local sockets and the temp folder are shared between users.
    material += '\0' + QByteArray::number(static_cast<qulonglong>(::getuid()));
#endif
    return QString::fromLatin1(
        QCryptographicHash::hash(material, QCryptographicHash::Sha1).toHex().left(20));
}

QString defaultKey() {
    const QString path = QCoreApplication::applicationFilePath();
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

} // namespace

QString SingleInstance::serverNameFor(const QString &key) {
    return QStringLiteral("skarn-mouse-") + keyDigest(key);
}

QString SingleInstance::lockFilePathFor(const QString &key) {
    return QDir::tempPath() + QStringLiteral("/skarn-mouse-") + keyDigest(key) +
           QStringLiteral(".lock");
}

SingleInstance::SingleInstance(const QString &key, QObject *parent) : QObject(parent) {
    const QString k = key.isEmpty() ? defaultKey() : key;
    lockPath = lockFilePathFor(k);
    socketName = serverNameFor(k);
}

SingleInstance::~SingleInstance() {
    if (server)
        server->close();
    // QLockFile removes the file when it goes out of scope.
}

bool SingleInstance::isRunning() {
    if (decided)
        return otherRunning;
    decided = true;

    lock = std::make_unique<QLockFile>(lockPath);
    // Never treat a lock as stale by age: the owner may run for weeks. A lock
    // whose process has died is still recognised (QLockFile checks the pid).
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError) {
            otherRunning = true;
            return true;
        }
        // The temp folder is unusable: run rather than refuse to start.
        lock.reset();
        return false;
    }

    // A crashed owner may have left its socket file behind.
    QLocalServer::removeServer(socketName);
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    server->listen(socketName);
    return false;
}

void SingleInstance::acceptConnection() {
    while (QLocalSocket *socket = server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            if (buffer->size() < 4)
                return;
            const auto *p = reinterpret_cast<const uchar *>(buffer->constData());
            const quint32 length = (quint32(p[0]) << 24) | (quint32(p[1]) << 16) |
                                   (quint32(p[2]) << 8) | quint32(p[3]);
            if (length > kMaxMessage) {
                socket->abort();
                return;
            }
            if (quint32(buffer->size()) < 4 + length)
                return;
            const QString text = QString::fromUtf8(buffer->constData() + 4, int(length));
            buffer->clear();
            socket->write(&kAck, 1);
            socket->flush();
            QPointer<QLocalSocket> guard(socket);
            emit messageReceived(text);
            if (guard)
                guard->disconnectFromServer();
        });
    }
}

bool SingleInstance::sendMessage(const QString &text, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    // The owner may hold the lock but not yet listen: retry until the deadline.
    for (;;) {
        socket.connectToServer(socketName);
        if (socket.waitForConnected(
                int(qMax<qint64>(1, qMin<qint64>(deadline.remainingTime(), 500)))))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
        if (deadline.hasExpired())
            return false;
    }

    const QByteArray payload = text.toUtf8();
    QByteArray frame;
    const quint32 length = quint32(payload.size());
    frame.append(char(length >> 24))
        .append(char(length >> 16))
        .append(char(length >> 8))
        .append(char(length));
    frame.append(payload);
    socket.write(frame);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(int(qMax<qint64>(1, deadline.remainingTime()))))
            return false;
    }
    while (socket.bytesAvailable() < 1) {
        if (deadline.hasExpired() ||
            !socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            return false;
    }
    char answer = 0;
    socket.read(&answer, 1);
    socket.disconnectFromServer();
    return answer == kAck;
}
