#include "single_instance.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QUuid>

#include <thread>

#include <unistd.h>

namespace {

QString uniqueKey() {
    return QStringLiteral("/test/skarn/") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// Sends from another thread: the owner answers from this thread's event loop.
bool sendFromThread(const QString &key, const QString &text, int timeoutMs, QSignalSpy &spy,
                    int expectedSignals) {
    bool sent = false;
    std::thread client([&] {
        SingleInstance other(key);
        sent = other.sendMessage(text, timeoutMs);
    });
    // Keep serving until the client is done (it waits for the answer).
    QDeadlineTimer deadline(timeoutMs + 2000);
    while (!deadline.hasExpired() && spy.count() < expectedSignals)
        QTest::qWait(10);
    QTest::qWait(50);
    client.join();
    return sent;
}

QString readLineFrom(QProcess &p) {
    QDeadlineTimer deadline(10000);
    while (!p.canReadLine() && !deadline.hasExpired() && p.state() != QProcess::NotRunning)
        p.waitForReadyRead(100);
    return QString::fromUtf8(p.readLine()).trimmed();
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void firstOwnsSecondSeesIt() {
        const QString key = uniqueKey();
        SingleInstance first(key);
        QVERIFY(!first.isRunning());
        QVERIFY(QFileInfo::exists(first.lockFilePath()));

        SingleInstance second(key);
        QVERIFY(second.isRunning());

        SingleInstance elsewhere(uniqueKey());
        QVERIFY(!elsewhere.isRunning());
    }
    void messagesArriveIntact_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("non-latin") << QStringLiteral("鼠标 — ñ ✓");
        QTest::newRow("large") << QString(200000, QLatin1Char('x'));
    }
    void messagesArriveIntact() {
        QFETCH(QString, text);
        const QString key = uniqueKey();
        SingleInstance owner(key);
        QVERIFY(!owner.isRunning());
        QSignalSpy spy(&owner, &SingleInstance::messageReceived);

        QVERIFY(sendFromThread(key, text, 5000, spy, 1));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), text);
    }
    // A lock that no answering owner stands behind is taken over, and the new
    // owner is reachable (a dead owner's: crashedOwnerLeavesNoBlock).
    void abandonedLockTakenOver_data() {
        QTest::addColumn<QByteArray>("contents");
        const QByteArray host = QSysInfo::machineHostName().toUtf8();
        QTest::newRow("empty") << QByteArray();
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
        QVERIFY(sendFromThread(key, QStringLiteral("hello"), 5000, spy, 1));
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
    void sendWithoutOwnerFails() {
        SingleInstance lonely(uniqueKey());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!lonely.sendMessage(QString(), 300));
        QVERIFY2(clock.elapsed() < 3000, "the time-out must bound the wait");
    }
    void oversizedMessageRefused() {
        const QString key = uniqueKey();
        SingleInstance owner(key);
        QVERIFY(!owner.isRunning());
        QSignalSpy spy(&owner, &SingleInstance::messageReceived);

        QVERIFY(!sendFromThread(key, QString(2 * 1024 * 1024, QLatin1Char('y')), 2000, spy, 1));
        QCOMPARE(spy.count(), 0);

        // The owner still serves well-formed messages afterwards.
        QVERIFY(sendFromThread(key, QStringLiteral("after"), 5000, spy, 1));
        QCOMPARE(spy.count(), 1);
    }

    void secondProcessExitsWithOne() {
        QProcess first;
        first.start(probe, {});
        QVERIFY(readLineFrom(first).startsWith(QLatin1String("owner ")));

        QProcess second;
        second.start(probe, {});
        QVERIFY(second.waitForFinished(15000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(second.readAllStandardOutput()).trimmed(),
                 QStringLiteral("sent 1"));
        QCOMPARE(readLineFrom(first), QStringLiteral("message []"));

        QProcess third;
        third.start(probe, {QStringLiteral("quit")});
        QVERIFY(third.waitForFinished(15000));
        QCOMPARE(third.exitCode(), 1);
        QCOMPARE(readLineFrom(first), QStringLiteral("message [quit]"));
        QVERIFY(first.waitForFinished(15000));
        QCOMPARE(first.exitCode(), 0);
    }
    void crashedOwnerLeavesNoBlock() {
        QProcess crashed;
        crashed.start(probe, {});
        QVERIFY(readLineFrom(crashed).startsWith(QLatin1String("owner ")));
        crashed.kill(); // SIGKILL: lock file and socket stay behind
        QVERIFY(crashed.waitForFinished(5000));

        QProcess next;
        next.start(probe, {});
        QVERIFY2(readLineFrom(next).startsWith(QLatin1String("owner ")),
                 "a dead owner's lock must not keep the program from starting");

        // And the new owner is reachable through the socket the old one left.
        QProcess quit;
        quit.start(probe, {QStringLiteral("quit")});
        QVERIFY(quit.waitForFinished(15000));
        QCOMPARE(quit.exitCode(), 1);
        QVERIFY(next.waitForFinished(15000));
        QCOMPARE(next.exitCode(), 0);
    }

private:
    QString probe = QStringLiteral(PROBE_PATH);
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
