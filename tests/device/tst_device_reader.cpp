// The device event reader: stage reports and balloons, unplugging, and how
// the reader is started, replaced and stopped.
#include "device_test_support.h"
#include "event_report.h"

#include <QMutex>
#include <QTest>
#include <QThread>

#include <memory>

using namespace devtest;

namespace {
QMutex logMutex;
QStringList logged;
QtMessageHandler previous = nullptr;

// The reader writes from a pool thread; collect its lines under a lock.
void collect(QtMsgType type, const QMessageLogContext &ctx, const QString &msg) {
    QMutexLocker l(&logMutex);
    logged << msg;
    if (type != QtDebugMsg)
        previous(type, ctx, msg);
}
} // namespace

class TstDeviceReader : public QObject {
    Q_OBJECT
    int dev = 0;
    QJsonObject config;
    std::unique_ptr<Hid_Thread> hid;
    QStringList seen; // what reached this (GUI) thread, in order
    bool offGuiThread = false;

    void note(const QString &what) {
        offGuiThread |= QThread::currentThread() != thread();
        seen << what;
    }
    bool start(const QString &family, bool withEvent = true) {
        freshMouse();
        config = deviceJson(family, 32, false);
        dev = VirtualMouse::instance().attach(config);
        hid = std::make_unique<Hid_Thread>();
        hid->setDeviceFlags(family, false);
        DeviceEntry e = entryFor(dev, config);
        if (!withEvent)
            e.eventPath.clear();
        hid->setDeviceList({e});
        // Default connections: queued over to this thread.
        connect(hid.get(), &Hid_Thread::dpiStageChanged, this,
                [this](int s) { note(QString::number(s)); });
        connect(hid.get(), &Hid_Thread::balloon, this,
                [this](const QString &title, const QString &text) { note(title + "|" + text); });
        connect(hid.get(), &Hid_Thread::deviceRemoved, this, [this] { note("removed"); });
        if (!hid->chkDeviceIsEnCode(0))
            return false;
        VirtualMouse::instance().clearWireLog();
        hid->startDeviceReader(0);
        return true;
    }
    static bool listening() { return !wire({"open"}, "event").isEmpty(); }

private slots:
    void initTestCase() {
        QCOMPARE(Hid_Thread::notificationTexts(), QStringList(8, "DPI Switch to"));
        previous = qInstallMessageHandler(collect);
    }
    void cleanupTestCase() { qInstallMessageHandler(previous); }
    void init() {
        seen.clear();
        offGuiThread = false;
        QMutexLocker l(&logMutex);
        logged.clear();
    }
    void cleanup() { hid.reset(); }

    void stageReports_data() {
        QTest::addColumn<QList<int>>("stages");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("stage 3") << QList<int>{3} << QStringList{"3", "Info|three "};
        QTest::newRow("stages 1 and 7")
            << QList<int>{1, 7} << QStringList{"1", "Info|one ", "7", "Info|seven "};
        QTest::newRow("0, 8, 9 share the last text")
            << QList<int>{0, 8, 9}
            << QStringList{"0", "Info|other ", "8", "Info|other ", "9", "Info|other "};
    }
    void stageReports() {
        QFETCH(QList<int>, stages);
        QFETCH(QStringList, expected);
        Hid_Thread::setNotificationTexts({"one", "two", "three", "4", "5", "6", "seven", "other"});
        QVERIFY(start("560"));
        QTRY_VERIFY(listening());
        for (int s : stages)
            VirtualMouse::instance().emitDpiStage(s, dev);
        QTRY_COMPARE(seen, expected);
        QTest::qWait(600); // nothing twice
        QCOMPARE(seen, expected);
        QVERIFY(!offGuiThread);
        QVERIFY(hid->readerRunning);
    }

    // Only the first four bytes count, and nothing shorter than four.
    void reportDecoding_data() {
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<int>("stage");
        QTest::newRow("stage 3") << bytes("06070003") << 3;
        QTest::newRow("byte 2 ignored") << bytes("0607FF05") << 5;
        QTest::newRow("longer") << bytes("0607000401020304") << 4;
        QTest::newRow("three bytes") << bytes("060700") << -1;
        QTest::newRow("empty") << QByteArray() << -1;
        QTest::newRow("other id") << bytes("05070003") << -1;
        QTest::newRow("other event") << bytes("06080003") << -1;
    }
    void reportDecoding() {
        QFETCH(QByteArray, report);
        QFETCH(int, stage);
        const int len = report.size();
        report.append(QByteArray(8, '\x06')); // what follows must not count
        QCOMPARE(EventReport::dpiStage(reinterpret_cast<const uchar *>(report.constData()), len),
                 stage);
    }

    // Starting sets the notification option bit; values that could not be
    // read are not written back.
    void optionBit_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("readFails");
        QTest::addColumn<QStringList>("blocks");
        QTest::newRow("553: o4 | 40")
            << "553" << false << QStringList{"83 00 00 00 00 00 00 7C", "03 11 22 33 44 00 00 52"};
        QTest::newRow("560: o1 | 08")
            << "560" << false << QStringList{"81 00 00 00 00 00 00 7E", "01 19 22 00 00 00 00 C3"};
        QTest::newRow("553, read fails") << "553" << true << QStringList{"83 00 00 00 00 00 00 7C"};
    }
    void optionBit() {
        QFETCH(QString, family);
        QFETCH(bool, readFails);
        QFETCH(QStringList, blocks);
        freshMouse();
        config = deviceJson(family, 32, false);
        dev = VirtualMouse::instance().attach(config);
        Hid_Thread h;
        h.setDeviceFlags(family, false);
        h.setDeviceList({entryFor(dev, config)});
        QVERIFY(h.chkDeviceIsEnCode(0));
        family == "553" ? h.hid553_03H_SetKeyboardoption(0x11, 0x22, 0x33, 0x04)
                        : h.hid560_01H_SetKeyboardoption(0x11, 0x22);
        VirtualMouse::instance().clearWireLog();
        if (readFails)
            VirtualMouse::instance().failNext("get_feature", 1, "command");
        h.startDeviceReader(0);
        QStringList got;
        for (const WireRecord &r : wire({"set_feature"}))
            got << hex(r.data.mid(1));
        QCOMPARE(got, blocks);
        QVERIFY(h.readerRunning);
        QVERIFY(h.hidIdle);
    }

    // Unplugged: "Device removed", the signal, the flag cleared, the path
    // forgotten; after re-plugging and a new check events flow again.
    void unplugAndReplug() {
        QVERIFY(start("553"));
        QTRY_VERIFY(listening());
        VirtualMouse::instance().unplug(dev);
        QTRY_COMPARE(seen, QStringList{"removed"});
        QVERIFY(!hid->readerRunning);
        QVERIFY(hid->deviceList().at(0).eventPath.isEmpty());
        {
            QMutexLocker l(&logMutex);
            QCOMPARE(logged.count("Device removed"), 1);
        }
        QVERIFY(!offGuiThread);

        VirtualMouse::instance().plug(dev);
        hid->setDeviceList({entryFor(dev, config)});
        QVERIFY(hid->chkDeviceIsEnCode(0));
        VirtualMouse::instance().clearWireLog();
        hid->startDeviceReader(0);
        QTRY_VERIFY(listening());
        VirtualMouse::instance().emitDpiStage(2, dev);
        QTRY_COMPARE(seen, QStringList({"removed", "2",
                                        "Info|" + Hid_Thread::notificationTexts()[1] + " "}));
    }

    // Nothing to listen on: the reader ends at once and says so, so that
    // the next device change can start a detection.
    void noEventInterface() {
        QVERIFY(start("553", false));
        QTRY_VERIFY(!hid->readerRunning);
        QVERIFY(!listening());
        QVERIFY(seen.isEmpty());
    }

    // A second start replaces the reader: one set of opens and closes, one
    // delivery per report.
    void restartRunsOneReader() {
        QVERIFY(start("553"));
        QTRY_VERIFY(listening());
        hid->startDeviceReader(0);
        VirtualMouse::instance().emitDpiStage(6, dev);
        QTRY_COMPARE(seen.size(), 2);
        QTest::qWait(600);
        QCOMPARE(seen, QStringList({"6", "Info|" + Hid_Thread::notificationTexts()[5] + " "}));
        QList<WireRecord> ev = wire({"open", "close"}, "event");
        QVERIFY(ev.size() > 2);
        for (int i = 1; i < ev.size(); ++i)
            QVERIFY(ev[i].op != ev[i - 1].op);
    }

    // Cleared flag: the loop ends within a pass. Destruction waits for it.
    void stopping_data() {
        QTest::addColumn<bool>("destroy");
        QTest::newRow("flag cleared") << false;
        QTest::newRow("object destroyed") << true;
    }
    void stopping() {
        QFETCH(bool, destroy);
        QVERIFY(start("553"));
        QTRY_VERIFY(listening());
        if (destroy)
            hid.reset();
        else
            hid->readerRunning = false;
        QTest::qWait(700);
        QCOMPARE(wire({"open", "close"}, "event").last().op, QString("close"));
        VirtualMouse::instance().clearWireLog();
        VirtualMouse::instance().emitDpiStage(3, dev);
        QTest::qWait(700);
        QVERIFY(!listening());
        QVERIFY(seen.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstDeviceReader)
#include "tst_device_reader.moc"
