// The device event reader: DPI stage reports, balloons, unplugging, and how
// the reader is started and stopped.
#include "device_test_support.h"
#include "event_report.h"

#include <QMutex>
#include <QTest>
#include <QThread>

using namespace devtest;

namespace {

QMutex logMutex;
QStringList logged;
QtMessageHandler previousHandler = nullptr;

// The reader writes from a pool thread; collect its lines under a lock.
void collect(QtMsgType type, const QMessageLogContext &ctx, const QString &msg) {
    {
        QMutexLocker l(&logMutex);
        logged << msg;
    }
    if (type != QtDebugMsg && previousHandler)
        previousHandler(type, ctx, msg);
}

QStringList loggedLines() {
    QMutexLocker l(&logMutex);
    return logged;
}

} // namespace

class TstDeviceReader : public QObject {
    Q_OBJECT

    int dev = 0;
    QJsonObject spec;
    std::unique_ptr<Hid_Thread> hid;
    QList<int> stages;
    QStringList balloons;
    int removed = 0;
    bool offGuiThread = false;

    void watch(Hid_Thread &h) {
        // The context object lives on this (GUI) thread, so the default
        // connection queues the reader's calls over to it.
        connect(&h, &Hid_Thread::dpiStageChanged, this, [this](int s) {
            offGuiThread |= QThread::currentThread() != thread();
            stages << s;
        });
        connect(&h, &Hid_Thread::balloon, this, [this](const QString &title, const QString &text) {
            offGuiThread |= QThread::currentThread() != thread();
            balloons << title + "|" + text;
        });
        connect(&h, &Hid_Thread::deviceRemoved, this, [this] {
            offGuiThread |= QThread::currentThread() != thread();
            ++removed;
        });
    }

    void connectMouse(const QString &family, bool withEvent = true) {
        freshMouse();
        spec = mouseSpec(family, 32, false);
        dev = VirtualMouse::instance().attach(spec);
        hid = std::make_unique<Hid_Thread>();
        hid->setDeviceFlags(family, false);
        DeviceEntry e = entryFor(dev, spec);
        if (!withEvent)
            e.eventPath.clear();
        hid->setDeviceList({e});
        QVERIFY(hid->chkDeviceIsEnCode(0));
        watch(*hid);
    }

    // The reader is listening once it has opened the event interface.
    static bool readerListening() { return !wire({"open"}, "event").isEmpty(); }

private slots:
    void initTestCase() {
        // Program-wide texts before any language is loaded.
        QCOMPARE(Hid_Thread::notificationTexts(), QStringList(8, "DPI Switch to"));
        previousHandler = qInstallMessageHandler(collect);
    }
    void cleanupTestCase() { qInstallMessageHandler(previousHandler); }

    void init() {
        stages.clear();
        balloons.clear();
        removed = 0;
        offGuiThread = false;
        QMutexLocker l(&logMutex);
        logged.clear();
    }
    void cleanup() { hid.reset(); }

    void defaultTextBeforeLanguage() {
        connectMouse("553");
        if (QTest::currentTestFailed())
            return;
        hid->startDeviceReader(0);
        QTRY_VERIFY(readerListening());
        VirtualMouse::instance().emitDpiStage(4, dev);
        QTRY_COMPARE(balloons, QStringList{"Info|DPI Switch to "});
        QCOMPARE(stages, QList<int>{4});
    }

    void stageReports_data() {
        QTest::addColumn<int>("stage");
        QTest::addColumn<QString>("text");
        QTest::newRow("stage 1") << 1 << "one ";
        QTest::newRow("stage 3") << 3 << "three ";
        QTest::newRow("stage 7") << 7 << "seven ";
        QTest::newRow("stage 0") << 0 << "other ";
        QTest::newRow("stage 8") << 8 << "other ";
        QTest::newRow("stage 9") << 9 << "other ";
        QTest::newRow("stage 255") << 255 << "other ";
    }
    void stageReports() {
        QFETCH(int, stage);
        QFETCH(QString, text);
        Hid_Thread::setNotificationTexts(
            {"one", "two", "three", "four", "five", "six", "seven", "other"});
        connectMouse("560");
        if (QTest::currentTestFailed())
            return;
        hid->startDeviceReader(0);
        QTRY_VERIFY(readerListening());
        VirtualMouse::instance().emitDpiStage(stage, dev);
        QTRY_COMPARE(stages, QList<int>{stage});
        QTRY_COMPARE(balloons, QStringList{"Info|" + text});
        QVERIFY(!offGuiThread);
        QVERIFY(hid->readerRunning);
    }

    // Several changes in a row each reach the view, in order, once.
    void consecutiveReports() {
        connectMouse("553");
        if (QTest::currentTestFailed())
            return;
        hid->startDeviceReader(0);
        QTRY_VERIFY(readerListening());
        for (int s : {2, 5, 1})
            VirtualMouse::instance().emitDpiStage(s, dev);
        QTRY_COMPARE(stages, QList<int>({2, 5, 1}));
        QTest::qWait(600);
        QCOMPARE(stages.size(), 3);
    }

    void shorterTextListKeepsTheRest() {
        Hid_Thread::setNotificationTexts(QStringList(8, "x"));
        Hid_Thread::setNotificationTexts({"A", "B"});
        QCOMPARE(Hid_Thread::notificationTexts(),
                 QStringList({"A", "B", "x", "x", "x", "x", "x", "x"}));
        Hid_Thread::setNotificationTexts({"0", "1", "2", "3", "4", "5", "6", "7", "eight", "nine"});
        QCOMPARE(Hid_Thread::notificationTexts().size(), 8);
        QCOMPARE(Hid_Thread::notificationTexts().last(), QString("7"));
    }

    // What counts as a stage report: the first four bytes, nothing shorter.
    void reportDecoding_data() {
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<int>("stage");
        QTest::newRow("stage 3") << bytes("06070003") << 3;
        QTest::newRow("byte 2 ignored") << bytes("0607FF05") << 5;
        QTest::newRow("longer report") << bytes("0607000401020304") << 4;
        QTest::newRow("three bytes") << bytes("060700") << -1;
        QTest::newRow("empty") << QByteArray() << -1;
        QTest::newRow("other report id") << bytes("05070003") << -1;
        QTest::newRow("other event") << bytes("06080003") << -1;
        QTest::newRow("swapped") << bytes("07060003") << -1;
    }
    void reportDecoding() {
        QFETCH(QByteArray, report);
        QFETCH(int, stage);
        const int len = report.size();
        report.append(QByteArray(8, '\x06')); // whatever follows must not count
        QCOMPARE(EventReport::dpiStage(reinterpret_cast<const uchar *>(report.constData()), len),
                 stage);
    }

    void startSetsTheOptionBit_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QStringList>("feature");
        QTest::newRow("553: o4 | 0x40")
            << "553" << QStringList{"83 00 00 00 00 00 00 7C", "03 11 22 33 44 00 00 52"};
        QTest::newRow("560: o1 | 0x08")
            << "560" << QStringList{"81 00 00 00 00 00 00 7E", "01 19 22 00 00 00 00 C3"};
    }
    void startSetsTheOptionBit() {
        QFETCH(QString, family);
        QFETCH(QStringList, feature);
        connectMouse(family);
        if (QTest::currentTestFailed())
            return;
        if (family == "553")
            hid->hid553_03H_SetKeyboardoption(0x11, 0x22, 0x33, 0x04);
        else
            hid->hid560_01H_SetKeyboardoption(0x11, 0x22);
        VirtualMouse::instance().clearWireLog();
        hid->startDeviceReader(0);
        QStringList got;
        for (const WireRecord &r : wire({"set_feature"}))
            got << hex(r.data.mid(1));
        QCOMPARE(got, feature);
        QVERIFY(hid->readerRunning);
        QCOMPARE(VirtualMouse::instance().violations(), QStringList());
    }

    // Values never read are not written back.
    void optionReadFailureWritesNothing() {
        connectMouse("553");
        if (QTest::currentTestFailed())
            return;
        VirtualMouse::instance().clearWireLog();
        VirtualMouse::instance().failNext("get_feature", 1, "command");
        hid->startDeviceReader(0);
        QCOMPARE(wire({"set_feature"}).size(), 1); // the read's block only
        QVERIFY(hid->readerRunning);
        QCOMPARE(hid->hidIdle, true);
    }

    void flagsFromSettingsFile() {
        // Without explicit flags the family comes from the global settings
        // file beside the program; a missing file means the 553 family.
        freshMouse();
        spec = mouseSpec("553", 32, false);
        dev = VirtualMouse::instance().attach(spec);
        Hid_Thread h;
        h.setDeviceList({entryFor(dev, spec)});
        QVERIFY(h.chkDeviceIsEnCode(0));
        VirtualMouse::instance().clearWireLog();
        h.startDeviceReader(0);
        QCOMPARE(hex(wire({"set_feature"}).first().data.mid(1, 1)), QString("83"));
        h.readerRunning = false;
    }

    void unplugIsNoticed() {
        connectMouse("553");
        if (QTest::currentTestFailed())
            return;
        hid->startDeviceReader(0);
        QTRY_VERIFY(readerListening());
        VirtualMouse::instance().unplug(dev);
        QTRY_COMPARE(removed, 1);
        QVERIFY(!hid->readerRunning);
        QVERIFY(hid->deviceList().at(0).eventPath.isEmpty());
        QCOMPARE(loggedLines().count("Device removed"), 1);
        QVERIFY(!offGuiThread);
        QVERIFY(balloons.isEmpty());

        // Re-plugged: a new detection connects again and events flow.
        VirtualMouse::instance().plug(dev);
        hid->setDeviceList({entryFor(dev, spec)});
        QVERIFY(hid->chkDeviceIsEnCode(0));
        VirtualMouse::instance().clearWireLog();
        hid->startDeviceReader(0);
        QTRY_VERIFY(readerListening());
        VirtualMouse::instance().emitDpiStage(2, dev);
        QTRY_COMPARE(stages, QList<int>{2});
        QCOMPARE(removed, 1);
    }

    // With no event interface the reader ends at once and says so, so that
    // the next device change can start a detection.
    void noEventInterfaceClearsRunning() {
        connectMouse("553", false);
        if (QTest::currentTestFailed())
            return;
        hid->startDeviceReader(0);
        QTRY_VERIFY(!hid->readerRunning);
        QCOMPARE(removed, 0);
        QVERIFY(wire({"open"}, "event").isEmpty());
    }

    // A second start replaces the first reader instead of adding one.
    void restartRunsOneReader() {
        connectMouse("553");
        if (QTest::currentTestFailed())
            return;
        hid->startDeviceReader(0);
        QTRY_VERIFY(readerListening());
        hid->startDeviceReader(0);
        VirtualMouse::instance().clearWireLog();
        QTRY_VERIFY(readerListening());
        VirtualMouse::instance().emitDpiStage(6, dev);
        QTRY_COMPARE(stages, QList<int>{6});
        QTest::qWait(600);
        QCOMPARE(stages, QList<int>{6});
        // One reader: its opens and closes alternate.
        QList<WireRecord> ev = wire({"open", "close"}, "event");
        if (!ev.isEmpty() && ev.first().op == "close")
            ev.removeFirst(); // the pass that was open when the log was cleared
        QVERIFY(ev.size() >= 2);
        QString prev = "close";
        for (const WireRecord &r : ev) {
            QVERIFY(r.op != prev);
            prev = r.op;
        }
    }

    void clearingTheFlagStopsWithinAPass() {
        connectMouse("553");
        if (QTest::currentTestFailed())
            return;
        hid->startDeviceReader(0);
        QTRY_VERIFY(readerListening());
        hid->readerRunning = false;
        QTest::qWait(700);
        VirtualMouse::instance().clearWireLog();
        QTest::qWait(700);
        QVERIFY(wire({"open"}, "event").isEmpty());
        QCOMPARE(removed, 0);
    }

    // Destroying the object waits for the reader; nothing is left open and
    // nothing is delivered afterwards.
    void destructionWaitsForReader() {
        connectMouse("553");
        if (QTest::currentTestFailed())
            return;
        hid->startDeviceReader(0);
        QTRY_VERIFY(readerListening());
        hid.reset();
        const QList<WireRecord> ev = wire({"open", "close"}, "event");
        QVERIFY(!ev.isEmpty());
        QCOMPARE(ev.last().op, QString("close"));
        VirtualMouse::instance().emitDpiStage(3, dev);
        QTest::qWait(100);
        QVERIFY(stages.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstDeviceReader)
#include "tst_device_reader.moc"
