// The device list from the global settings file, interface matching, and
// detection of the first answering entry.
#include "device_list.h"
#include "device_test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace devtest;

class TstDeviceList : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    int fileNo = 0;

    QString writeIni(const QString &text) {
        const QString path = dir.filePath(QString("apConfig%1.bin").arg(++fileNo));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(text.toUtf8());
        return path;
    }
private slots:
    void read_data() {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QStringList>("expected");
        const QString def = "-1 0:0 0/0 0/0 32 0 SKARN1";
        QTest::newRow("fields, defaults, malformed values")
            << "[common]\ndeviceCount=4\n[1]\ntype=1A\nvid=3A5C\npid=00ff\nusagePage=ff00\n"
               "usage=ff00\nusagePage2=ff01\nusage2=ff01\nreportLength=64\nisEncode=true\n"
               "sCode=QWERTY\n[2]\ntype=zz\nvid=12345\npid=g1\nusage=-1\n[3]\nsCode=AB,CD1\n"
            << QStringList{def, "26 3a5c:ff ff00/ff00 ff01/ff01 64 1 QWERTY", def,
                           "-1 0:0 0/0 0/0 32 0 AB,CD1"};
        QTest::newRow("count not a number") << "[common]\ndeviceCount=many\n[0]\nvid=1234\n"
                                            << QStringList{};
        QTest::newRow("unusable report lengths left out")
            << "[common]\ndeviceCount=5\n[0]\nreportLength=0\n[1]\nreportLength=513\n"
               "[2]\nreportLength=512\n[3]\nreportLength=-32\n[4]\nreportLength=wide\n"
            << QStringList{"-1 0:0 0/0 0/0 512 0 SKARN1"};
    }
    void read() {
        QFETCH(QString, ini);
        QFETCH(QStringList, expected);
        QStringList got;
        for (const DeviceEntry &e : DeviceList::read(writeIni(ini)))
            got << QString::asprintf("%d %x:%x %x/%x %x/%x %d %d ", e.type, e.vid, e.pid,
                                     e.usagePage, e.usage, e.usagePage2, e.usage2, e.reportLength,
                                     int(e.isEncode)) +
                       e.sCode;
        QCOMPARE(got, expected);
        QVERIFY(DeviceList::read(dir.filePath("absent.bin")).isEmpty());
        QCOMPARE(DeviceList::read(writeIni("[common]\ndeviceCount=100000\n")).size(), 64);
    }

    void matchInterfaces() {
        freshMouse();
        const QJsonObject config = deviceJson("553", 32, false);
        const int dev = VirtualMouse::instance().attach(config);
        QList<DeviceEntry> list(3, entryFor(dev, config));
        list[0].commandPath = list[0].eventPath = "stale";
        list[1].pid = 0x0BAD;
        list[2].usagePage2 = list[2].usage2 = 0xff00; // both roles on one interface
        DeviceList::matchInterfaces(list);
        const QString cmd = VirtualMouse::instance().commandPath(dev);
        const QString event = VirtualMouse::instance().eventPath(dev);
        QStringList got;
        for (const DeviceEntry &e : list)
            got << e.commandPath << e.eventPath;
        QCOMPARE(got, QStringList({cmd, event, "", "", cmd, cmd}));
    }

    // The first entry that answers wins; an entry with an unusable report
    // length ahead of them is left out (indexes are positions in the rebuilt
    // list). Rows: which of the two mice are plugged (bits), and the code
    // listed for the first (which scrambles with "ZXCVBN").
    void detect_data() {
        QTest::addColumn<int>("plugged");
        QTest::addColumn<QString>("listedCode");
        QTest::addColumn<int>("expected");
        QTest::newRow("both answer: first wins") << 3 << QString("ZXCVBN") << 0;
        QTest::newRow("first absent") << 2 << QString("ZXCVBN") << 1;
        QTest::newRow("first: wrong code") << 3 << QString("ZXCVBX") << 1;
        QTest::newRow("none present") << 0 << QString("ZXCVBN") << -1;
    }
    void detect() {
        QFETCH(int, plugged);
        QFETCH(QString, listedCode);
        QFETCH(int, expected);
        freshMouse();
        VirtualMouse &vm = VirtualMouse::instance();
        const QJsonObject first = deviceJson("560", 64, true, "ZXCVBN");
        const QJsonObject second = deviceJson("553", 32, false, "SKARN1", "7002");
        for (int i : {0, 1})
            if (vm.attach(i ? second : first) >= 0 && !(plugged & (1 << i)))
                vm.unplug(i);
        const QString entry = "vid=3a5c\npid=%1\nusagePage=ff00\nusage=ff00\nusagePage2=ff01\n"
                              "usage2=ff01\nreportLength=%2\nisEncode=%3\nsCode=%4\n";
        const QString ini = "[common]\ndeviceCount=3\n[0]\nreportLength=4096\n[1]\n" +
                            entry.arg("7001").arg(64).arg(1).arg(listedCode) + "[2]\n" +
                            entry.arg("7002").arg(32).arg(0).arg("SKARN1");
        Hid_Thread hid;
        QCOMPARE(DeviceList::detect(hid, writeIni(ini)), expected);
        QCOMPARE(hid.deviceList().size(), 2);
        QVERIFY(hid.hidIdle && (expected < 0 || hid.currentIndex == expected));
    }

    // The shipped list finds the mouse as it comes out of the box.
    void shippedListFindsTheDefaultMouse() {
        freshMouse();
        VirtualMouse::instance().attach(QJsonObject());
        Hid_Thread hid;
        QCOMPARE(DeviceList::detect(hid), 0);
        QVERIFY(hid.deviceList().at(0).isEncode);
    }
};

QTEST_GUILESS_MAIN(TstDeviceList)
#include "tst_device_list.moc"
