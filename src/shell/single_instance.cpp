#include "single_instance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kAck = 'a';
constexpr char kReplyTag = 'r';
// A message larger than this is not a restore request or a copy-data text;
// refusing it keeps a misbehaving client from making us buffer without end.
constexpr quint32 kMaxMessage = 1u << 20;
// How long an owner that holds the lock may take to start listening.
constexpr int kOwnerGraceMs = 1500;

QString keyDigest(const QString &key) {
    QByteArray material = key.toUtf8();
#ifdef Q_OS_UNIX
    // Several users may run the same executable.
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

#ifdef Q_OS_UNIX
// A folder only this user can enter: anyone may compute the lock's name, so in
// a shared folder another user could take it first and keep the program from
// ever starting (and the sticky bit would keep its owner from removing it).
bool isPrivateFolder(const QString &path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

QString makePrivateFolder(const QString &path) {
    if (path.isEmpty())
        return QString();
    QDir().mkpath(path);
    ::chmod(QFile::encodeName(path).constData(), 0700);
    return isPrivateFolder(path) ? path : QString();
}
#endif

QString instanceFolder() {
#ifdef Q_OS_UNIX
    // The session's runtime folder, or a 0700 one of our own where the
    // session has none, else a folder of our own in the home folder.
    QString folder = qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")
                         ? makePrivateFolder(QDir::tempPath() + QStringLiteral("/runtime-") +
                                             QString::number(::getuid()))
                         : QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!folder.isEmpty() && isPrivateFolder(folder))
        return folder;
    folder = makePrivateFolder(QDir::homePath() + QStringLiteral("/.cache/skarn-mouse"));
    return folder.isEmpty() ? QDir::tempPath() : folder;
#else
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
#endif
}

QByteArray lengthPrefix(qsizetype size) {
    const quint32 length = quint32(size);
    QByteArray out;
    out.append(char(length >> 24)).append(char(length >> 16)).append(char(length >> 8));
    out.append(char(length));
    return out;
}

quint32 readLength(const char *data) {
    const auto *p = reinterpret_cast<const uchar *>(data);
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
}

// True when a server accepts a connection on name within timeoutMs. An owner
// that has just taken the lock may not listen yet, hence the retries.
bool serverAnswers(const QString &name, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(int(qBound(qint64(1), deadline.remainingTime(), qint64(200)))))
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
}

} // namespace

QString SingleInstance::serverNameFor(const QString &key) {
#ifdef Q_OS_UNIX
    // A full path: the socket sits beside the lock, in the private folder.
    return instanceFolder() + QStringLiteral("/skarn-mouse-") + keyDigest(key) +
           QStringLiteral(".sock");
#else
    return QStringLiteral("skarn-mouse-") + keyDigest(key);
#endif
}

QString SingleInstance::folder() {
    return instanceFolder();
}

QString SingleInstance::lockFilePathFor(const QString &key) {
    return instanceFolder() + QStringLiteral("/skarn-mouse-") + keyDigest(key) +
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

    QDir().mkpath(QFileInfo(lockPath).absolutePath());
    lock = std::make_unique<QLockFile>(lockPath);
    // Never treat a lock as stale by age: the owner may run for weeks. A lock
    // whose process has died is still recognised (QLockFile checks the pid).
    lock->setStaleLockTime(0);
    bool checkedOwner = false;
    while (!lock->tryLock(0)) {
        if (lock->error() != QLockFile::LockFailedError) {
            // The folder is unusable: run rather than refuse to start.
            lock.reset();
            return false;
        }
        // A lock file that no live instance stands behind (left empty by a
        // power cut, garbage, or a reused pid) would otherwise keep the
        // program from ever starting: only an owner that answers counts.
        // A live owner keeps an exclusive lock on the file, so its file
        // cannot be removed from under it.
        if (checkedOwner || serverAnswers(socketName, kOwnerGraceMs) ||
            !lock->removeStaleLockFile()) {
            otherRunning = true;
            return true;
        }
        checkedOwner = true;
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
            const quint32 length = readLength(buffer->constData());
            if (length > kMaxMessage) {
                socket->abort();
                return;
            }
            if (quint32(buffer->size()) < 4 + length)
                return;
            const QString text = QString::fromUtf8(buffer->constData() + 4, int(length));
            buffer->clear();
            if (requestHandler && text.startsWith(requestPrefix)) {
                QPointer<QLocalSocket> guard(socket);
                requestHandler(text.mid(requestPrefix.size()), [guard](const QByteArray &reply) {
                    if (!guard)
                        return; // the client has gone
                    guard->write(QByteArray(1, kReplyTag) + lengthPrefix(reply.size()) + reply);
                    guard->flush();
                    guard->disconnectFromServer();
                });
                return;
            }
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
    const QByteArray frame = lengthPrefix(payload.size()) + payload;
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

void SingleInstance::setRequestHandler(const QString &prefix, RequestHandler handler) {
    requestPrefix = prefix;
    requestHandler = std::move(handler);
}

std::optional<QByteArray> SingleInstance::request(const QString &serverName, const QString &text,
                                                  int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    const auto left = [&] { return int(qMax<qint64>(1, deadline.remainingTime())); };
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(qMin(left(), 2000)))
        return std::nullopt;
    const QByteArray payload = text.toUtf8();
    socket.write(lengthPrefix(payload.size()) + payload);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(left()))
            return std::nullopt;
    // The reply: the tag, its length, then the text; the owner closes after it.
    QByteArray in;
    const auto complete = [&in] {
        return in.size() >= 5 && in.at(0) == kReplyTag &&
               quint32(in.size()) >= 5 + readLength(in.constData() + 1);
    };
    for (;;) {
        in += socket.readAll();
        if (complete())
            return in.mid(5, int(readLength(in.constData() + 1)));
        if ((!in.isEmpty() && in.at(0) != kReplyTag) || deadline.hasExpired())
            return std::nullopt;
        if (!socket.waitForReadyRead(left()) && socket.bytesAvailable() == 0 &&
            socket.state() != QLocalSocket::ConnectedState)
            return std::nullopt;
    }
}
