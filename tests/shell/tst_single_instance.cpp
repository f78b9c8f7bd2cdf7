#include "single_instance.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <QUuid>

#include <atomic>
#include <thread>

#include <unistd.h>

namespace {

QString uniqueKey() {
    return QStringLiteral("/test/skarn/") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// Sends from another thread: the owner answers from this thread's event loop,
// served until the client is done (it waits for the answer).
bool sendFromThread(const QString &key, const QString &text, int timeoutMs) {
    std::atomic<bool> done{false};
    bool sent = false;
    std::thread client([&] {
        SingleInstance other(key);
        sent = other.sendMessage(text, timeoutMs);
        done = true;
    });
    (void)QTest::qWaitFor([&] { return done.load(); }, timeoutMs + 2000);
    client.join();
    return sent;
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    // The first owns the key, a second sees it; an oversized message is
    // refused and costs nothing, the next arrives intact.
    void ownerTakesMessages() {
        const QString key = uniqueKey();
        SingleInstance owner(key);
        QVERIFY(!owner.isRunning());
        QVERIFY(SingleInstance(key).isRunning());
        QVERIFY(!SingleInstance(uniqueKey()).isRunning());
        QSignalSpy spy(&owner, &SingleInstance::messageReceived);

        QVERIFY(!sendFromThread(key, QString(2 * 1024 * 1024, QLatin1Char('y')), 2000));
        QCOMPARE(spy.count(), 0);
        const QString text = QStringLiteral("鼠标 — ñ ✓").repeated(20000);
        QVERIFY(sendFromThread(key, text, 5000));
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), text);
    }
    // A lock that no answering owner stands behind is taken over, and the new
    // owner is reachable.
    void abandonedLockTakenOver_data() {
        QTest::addColumn<QByteArray>("contents");
        const QByteArray host = QSysInfo::machineHostName().toUtf8();
        QTest::newRow("garbage") << QByteArray("\xff\x01 not a lock\n");
        QTest::newRow("live unrelated pid")
            << QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                   QCoreApplication::applicationName().toUtf8() + '\n' + host + '\n';
    }
    void abandonedLockTakenOver() {
        QFETCH(QByteArray, contents);
        const QString key = uniqueKey();
        QFile stale(SingleInstance::lockFilePathFor(key));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(contents);
        stale.close();

        SingleInstance owner(key);
        QVERIFY2(!owner.isRunning(), "an abandoned lock must not keep the program from starting");
        QSignalSpy spy(&owner, &SingleInstance::messageReceived);
        QVERIFY(sendFromThread(key, QStringLiteral("hello"), 5000));
        QTRY_COMPARE(spy.count(), 1);
    }
    // No other user can create the lock first or reach the socket.
    void namesInPrivateFolder() {
        const QString key = uniqueKey();
        for (const QString &path :
             {SingleInstance::lockFilePathFor(key), SingleInstance::serverNameFor(key)}) {
            const QFileInfo folder(QFileInfo(path).absolutePath());
            QVERIFY2(folder.isDir(), qPrintable(path));
            QCOMPARE(folder.ownerId(), uint(::getuid()));
            QCOMPARE(folder.permissions() &
                         ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                           QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                     QFile::Permissions());
        }
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
