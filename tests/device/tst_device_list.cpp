// Reading the device list from the global settings file, matching it with
// the present interfaces, and detection of the first answering entry.
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
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        f.write(text.toUtf8());
        return path;
    }

    static QString group(int n, const QString &body) {
        return QString("[%1]\n%2\n").arg(n).arg(body);
    }

    // One line per entry: the fields a caller relies on.
    static QString describe(const DeviceEntry &e) {
        return QString("%1 %2:%3 %4/%5 %6/%7 len%8 enc%9 code=%10 paths=%11")
            .arg(e.type)
            .arg(e.vid, 4, 16, QChar('0'))
            .arg(e.pid, 4, 16, QChar('0'))
            .arg(e.usagePage, 4, 16, QChar('0'))
            .arg(e.usage, 4, 16, QChar('0'))
            .arg(e.usagePage2, 4, 16, QChar('0'))
            .arg(e.usage2, 4, 16, QChar('0'))
            .arg(e.reportLength)
            .arg(int(e.isEncode))
            .arg(e.sCode)
            .arg(e.commandPath.isEmpty() && e.eventPath.isEmpty() ? "none" : "set");
    }

    QString listFile(const QJsonObject &a, const QJsonObject &b) {
        auto body = [](const QJsonObject &s) {
            return QString("type = 1\nvid = %1\npid = %2\nusagePage = ff00\nusage = ff00\n"
                           "usagePage2 = ff01\nusage2 = ff01\nreportLength = %3\n"
                           "isEncode = %4\nsCode = %5")
                .arg(s["vid"].toString(), s["pid"].toString())
                .arg(s["reportLength"].toInt())
                .arg(s["isEncode"].toBool() ? "true" : "false", s["sCode"].toString());
        };
        return writeIni("[common]\ndeviceCount = 2\n" + group(0, body(a)) + group(1, body(b)));
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }
    void init() { freshMouse(); }

    void read_data() {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("example entry")
            << "[common]\ndeviceCount = 2\n" +
                   group(1, "type = 1\nvid = 3a5c\npid = 7001\nusagePage = ff00\nusage = ff00\n"
                            "usagePage2 = ff01\nusage2 = ff01\nreportLength = 32")
            << QStringList{"-1 0000:0000 0000/0000 0000/0000 len32 enc0 code=SKARN1 paths=none",
                           "1 3a5c:7001 ff00/ff00 ff01/ff01 len32 enc0 code=SKARN1 paths=none"};
        QTest::newRow("hex type, upper case, encode, own code")
            << "[common]\ndeviceCount = 1\n" +
                   group(0, "type = 1A\nvid = 3A5C\npid = 00ff\nreportLength = 64\n"
                            "isEncode = true\nsCode = QWERTY")
            << QStringList{"26 3a5c:00ff 0000/0000 0000/0000 len64 enc1 code=QWERTY paths=none"};
        QTest::newRow("no count key") << group(0, "vid = 1234") << QStringList{};
        QTest::newRow("empty file") << QString() << QStringList{};
        QTest::newRow("negative count") << "[common]\ndeviceCount = -3\n" << QStringList{};
        QTest::newRow("count not a number") << "[common]\ndeviceCount = many\n" << QStringList{};
        QTest::newRow("report lengths out of range are left out")
            << "[common]\ndeviceCount = 5\n" + group(0, "reportLength = 0") +
                   group(1, "reportLength = 513\npid = 0001") +
                   group(2, "reportLength = 512\npid = 0002") + group(3, "reportLength = -32") +
                   group(4, "reportLength = 1\npid = 0004")
            << QStringList{"-1 0000:0002 0000/0000 0000/0000 len512 enc0 code=SKARN1 paths=none",
                           "-1 0000:0004 0000/0000 0000/0000 len1 enc0 code=SKARN1 paths=none"};
        QTest::newRow("report length not a number")
            << "[common]\ndeviceCount = 1\n" + group(0, "reportLength = wide") << QStringList{};
        QTest::newRow("malformed hex keeps defaults")
            << "[common]\ndeviceCount = 1\n" +
                   group(0, "type = zz\nvid = 12345\npid = g1\nusage = -1")
            << QStringList{"-1 0000:0000 0000/0000 0000/0000 len32 enc0 code=SKARN1 paths=none"};
        QTest::newRow("code with a comma survives")
            << "[common]\ndeviceCount = 1\n" + group(0, "sCode = \"AB,CD1\"")
            << QStringList{"-1 0000:0000 0000/0000 0000/0000 len32 enc0 code=AB,CD1 paths=none"};
        QTest::newRow("short code kept as given")
            << "[common]\ndeviceCount = 1\n" + group(0, "sCode = ABC")
            << QStringList{"-1 0000:0000 0000/0000 0000/0000 len32 enc0 code=ABC paths=none"};
    }
    void read() {
        QFETCH(QString, ini);
        QFETCH(QStringList, expected);
        QStringList got;
        for (const DeviceEntry &e : DeviceList::read(writeIni(ini)))
            got << describe(e);
        QCOMPARE(got, expected);
    }

    void readMissingFile() {
        QVERIFY(DeviceList::read(dir.filePath("does-not-exist.bin")).isEmpty());
    }

    // A corrupt count must not make detection read without end.
    void readCapsCorruptCount() {
        const QList<DeviceEntry> list = DeviceList::read(
            writeIni("[common]\ndeviceCount = 100000\n" + group(70, "pid = 0046")));
        QCOMPARE(list.size(), 64);
        for (const DeviceEntry &e : list)
            QCOMPARE(e.pid, uint16_t(0));
    }

    void matchFindsBothInterfaces() {
        VirtualMouse &vm = VirtualMouse::instance();
        const QJsonObject spec = mouseSpec("553", 32, false);
        const int dev = vm.attach(spec);
        QList<DeviceEntry> list{entryFor(dev, spec), entryFor(dev, spec), entryFor(dev, spec)};
        list[0].commandPath = list[0].eventPath = "stale";
        list[1].pid = 0x0BAD;                         // not present
        list[2].usagePage2 = list[2].usage2 = 0xff00; // both roles on one interface
        DeviceList::matchInterfaces(list);
        QCOMPARE(list[0].commandPath, vm.commandPath(dev));
        QCOMPARE(list[0].eventPath, vm.eventPath(dev));
        QVERIFY(list[1].commandPath.isEmpty());
        QVERIFY(list[1].eventPath.isEmpty());
        QCOMPARE(list[2].commandPath, vm.commandPath(dev));
        QCOMPARE(list[2].eventPath, vm.commandPath(dev));
    }

    void detect_data() {
        QTest::addColumn<QJsonObject>("first");
        QTest::addColumn<bool>("firstPlugged");
        QTest::addColumn<QString>("firstListedCode");
        QTest::addColumn<bool>("secondPlugged");
        QTest::addColumn<int>("expected");
        const QJsonObject plain = mouseSpec("553", 32, false, "SKARN1", "7001");
        const QJsonObject enc = mouseSpec("560", 64, true, "ZXCVBN", "7001");
        QTest::newRow("both answer: first wins") << plain << true << "SKARN1" << true << 0;
        QTest::newRow("scrambled first answers") << enc << true << "ZXCVBN" << true << 0;
        QTest::newRow("first absent") << plain << false << "SKARN1" << true << 1;
        QTest::newRow("first has the wrong code") << enc << true << "ZXCVBX" << true << 1;
        QTest::newRow("none present") << plain << false << "SKARN1" << false << -1;
    }
    void detect() {
        QFETCH(QJsonObject, first);
        QFETCH(bool, firstPlugged);
        QFETCH(QString, firstListedCode);
        QFETCH(bool, secondPlugged);
        QFETCH(int, expected);
        VirtualMouse &vm = VirtualMouse::instance();
        const QJsonObject second = mouseSpec("553", 32, false, "SKARN1", "7002");
        const int d0 = vm.attach(first);
        const int d1 = vm.attach(second);
        if (!firstPlugged)
            vm.unplug(d0);
        if (!secondPlugged)
            vm.unplug(d1);
        QJsonObject listed = first;
        listed["sCode"] = firstListedCode;

        Hid_Thread hid;
        QCOMPARE(DeviceList::detect(hid, listFile(listed, second)), expected);
        QCOMPARE(hid.deviceList().size(), 2);
        if (expected >= 0)
            QCOMPARE(hid.currentIndex.load(), expected);
        QCOMPARE(hid.hidIdle, true);
        // A wrong code garbles the block for the mouse; anything else must be clean.
        if (firstListedCode == first["sCode"].toString())
            QCOMPARE(vm.violations(), QStringList());
    }

    // An entry skipped for its report length does not shift detection onto
    // the wrong device: the list is rebuilt and indexes follow it.
    void detectSkipsUnusableEntry() {
        VirtualMouse &vm = VirtualMouse::instance();
        const QJsonObject spec = mouseSpec("553", 32, false);
        vm.attach(spec);
        const QString ini = "[common]\ndeviceCount = 2\n" +
                            group(0, "vid = 3a5c\npid = 7001\nusagePage = ff00\nusage = ff00\n"
                                     "reportLength = 4096") +
                            group(1, "vid = 3a5c\npid = 7001\nusagePage = ff00\nusage = ff00\n"
                                     "usagePage2 = ff01\nusage2 = ff01\nreportLength = 32");
        Hid_Thread hid;
        QCOMPARE(DeviceList::detect(hid, writeIni(ini)), 0);
        QCOMPARE(hid.deviceList().size(), 1);
        QCOMPARE(hid.deviceList().at(0).reportLength, 32);
    }
};

QTEST_GUILESS_MAIN(TstDeviceList)
#include "tst_device_list.moc"
