// The device event reader: stage reports and balloons, unplugging, and how
// the reader is started, replaced and stopped.
#include "device_test_support.h"
#include "event_report.h"

#include <QTest>
#include <QThread>

#include <memory>

using namespace devtest;

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
    bool connectMouse(const QString &family, bool start = true, bool withEvent = true) {
        freshMouse();
        seen.clear();
        offGuiThread = false;
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
        if (start)
            hid->startDeviceReader(0);
        return true;
    }
    static bool listening() { return !wire({"open"}, "event").isEmpty(); }

private slots:
    // Wakes a reader waiting for a report, so that it ends at once.
    void cleanup() {
        if (hid && hid->readerRunning.exchange(false))
            VirtualMouse::instance().emitDpiStage(1, dev);
        hid.reset();
        QCoreApplication::sendPostedEvents(); // what the old reader still sent
    }

    // Each report once, in order, with its own text (0 and above 7 share the
    // last one), on this thread.
    void stageReports() {
        Hid_Thread::setNotificationTexts({"one", "two", "three", "4", "5", "6", "seven", "other"});
        QVERIFY(connectMouse("560"));
        for (int s : {3, 1, 7, 0, 9})
            VirtualMouse::instance().emitDpiStage(s, dev);
        QTRY_COMPARE(seen, QStringList({"3", "Info|three ", "1", "Info|one ", "7", "Info|seven ",
                                        "0", "Info|other ", "9", "Info|other "}));
        QVERIFY(!offGuiThread && hid->readerRunning);
        // Other reports of the event interface, or short ones, are no stage.
        const unsigned char other[][4] = {
            {0x06, 0x08, 0, 2}, {0x05, 0x07, 0, 2}, {0x06, 0x07, 0, 2}};
        QCOMPARE(EventReport::dpiStage(other[0], 4), -1);
        QCOMPARE(EventReport::dpiStage(other[1], 4), -1);
        QCOMPARE(EventReport::dpiStage(other[2], 3), -1);
    }

    // Starting sets the notification option bit; values that could not be
    // read are not written back.
    void optionBit() {
        const QStringList b553{"83 00 00 00 00 00 00 7C", "03 11 22 33 44 00 00 52"};
        const QStringList b560{"81 00 00 00 00 00 00 7E", "01 19 22 00 00 00 00 C3"};
        for (const auto &[family, readFails, blocks] :
             QList<std::tuple<QString, bool, QStringList>>{
                 {"553", false, b553}, {"560", false, b560}, {"553", true, b553.mid(0, 1)}}) {
            QVERIFY(connectMouse(family, false));
            family == "553" ? hid->hid553_03H_SetKeyboardoption(0x11, 0x22, 0x33, 0x04)
                            : hid->hid560_01H_SetKeyboardoption(0x11, 0x22);
            VirtualMouse::instance().clearWireLog();
            if (readFails)
                VirtualMouse::instance().failNext("get_feature", 1, "command");
            hid->startDeviceReader(0);
            QStringList got;
            for (const WireRecord &r : wire({"set_feature"}))
                got << hex(r.data.mid(1));
            QCOMPARE(got, blocks);
            QVERIFY(hid->readerRunning && hid->hidIdle);
            cleanup();
        }
    }

    // Nothing to listen on: the reader ends at once and says so, so that
    // the next device change can start a detection.
    void noEventInterface() {
        QVERIFY(connectMouse("553", true, false));
        QTRY_VERIFY(!hid->readerRunning);
        QVERIFY(!listening());
    }

    // Unplugged: "Device removed", the signal, the flag cleared, the path
    // forgotten. Re-plugged, events flow again; a second start replaces the
    // reader (opens and closes alternate, each report comes once); the
    // destructor waits for the reader, which leaves the interface closed.
    void unplugReplugRestartStop() {
        QVERIFY(connectMouse("553"));
        QTRY_VERIFY(listening());
        QTest::ignoreMessage(QtDebugMsg, "Device removed");
        VirtualMouse::instance().unplug(dev);
        QTRY_COMPARE(seen, QStringList{"removed"});
        QVERIFY(!hid->readerRunning && !offGuiThread);
        QVERIFY(hid->deviceList().at(0).eventPath.isEmpty());

        VirtualMouse::instance().plug(dev);
        hid->setDeviceList({entryFor(dev, config)});
        QVERIFY(hid->chkDeviceIsEnCode(0));
        VirtualMouse::instance().clearWireLog();
        hid->startDeviceReader(0);
        QTRY_VERIFY(listening());
        hid->startDeviceReader(0);
        for (int s : {6, 2}) {
            VirtualMouse::instance().emitDpiStage(s, dev);
            QTRY_COMPARE(seen.last(), "Info|" + Hid_Thread::notificationTexts()[s - 1] + " ");
        }
        QCOMPARE(seen.size(), 5);
        hid.reset();
        const QList<WireRecord> ev = wire({"open", "close"}, "event");
        QVERIFY(ev.size() > 4);
        for (int i = 0; i < ev.size(); ++i)
            QCOMPARE(ev[i].op, QString(i % 2 ? "close" : "open"));
        QCOMPARE(ev.size() % 2, 0);
    }
};

QTEST_GUILESS_MAIN(TstDeviceReader)
#include "tst_device_reader.moc"
