// Drives the simulated mouse with hand-built reports through the hidapi
// functions, the way the device layer will, and checks what the firmware makes
// of them: its state, its replies and the violations it reports.
#include "virtual_mouse.h"

#include <hidapi/hidapi.h>

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray hex(const char *h) {
    return QByteArray::fromHex(h);
}

// A command block from its first bytes, zero-filled, checksum added.
QByteArray block(const QByteArray &head) {
    QByteArray b = head.left(7);
    b.resize(7, '\0');
    int sum = 0;
    for (char c : b)
        sum += uint8_t(c);
    return b + char(0xFF - (sum & 0xFF));
}

QByteArray pattern(int n, int seed) {
    QByteArray p(n, '\0');
    for (int i = 0; i < n; ++i)
        p[i] = char((i * 7 + seed * 31 + 1) & 0xFF);
    return p;
}

// Everything else as the simulated mouse's defaults (the shipped mouse).
QJsonObject deviceJson(const QString &family, int reportLength, bool encode, bool gun = true) {
    return {
        {"family", family}, {"reportLength", reportLength}, {"isEncode", encode}, {"isGun", gun}};
}

// The program's side of the wire, built by hand: every report on a freshly
// opened handle, 32-byte data reports, pauses on the virtual clock.
struct Client {
    int dev = 0;
    bool encode = false;
    uint8_t code[8] = {};

    Client(int device, bool enc, const QByteArray &sCode = "Tw70Sk") : dev(device), encode(enc) {
        memcpy(code + 1, sCode.constData(), std::min<size_t>(6, size_t(sCode.size())));
    }
    hid_device *open(bool event = false) const {
        VirtualMouse &vm = VirtualMouse::instance();
        return hid_open_path(
            (event ? vm.eventPath(dev) : vm.commandPath(dev)).toLatin1().constData());
    }
    // One call on a freshly opened command handle, with a report: ID, then
    // the bytes, zero-filled or cut to the length; -2 when it cannot be opened.
    template <class F> int once(F call, QByteArray r, int length) const {
        r = r.leftJustified(length, '\0', true);
        hid_device *h = open();
        if (!h)
            return -2;
        const int n = call(h, reinterpret_cast<uint8_t *>(r.data()), size_t(length));
        hid_close(h);
        return n;
    }
    int feature(const QByteArray &blk, int length = 9, char id = 0) const {
        QByteArray r = id + blk;
        if (encode)
            VirtualMouse::scramble(reinterpret_cast<uint8_t *>(r.data() + 1), code);
        return once(hid_send_feature_report, r, length);
    }
    // Reply block bytes 0..7 as the program sees them, empty on failure.
    QByteArray reply() const {
        QByteArray r;
        auto get = [&](hid_device *h, uint8_t *b, size_t n) {
            const int got = hid_get_feature_report(h, b, n);
            r = QByteArray(reinterpret_cast<const char *>(b + 1), 8);
            return got;
        };
        if (once(get, {}, 9) != 9)
            return {};
        if (encode)
            VirtualMouse::unscramble(reinterpret_cast<uint8_t *>(r.data()), code);
        return r;
    }
    int data(const QByteArray &chunk, int length = 33) const {
        return once(hid_write, '\0' + chunk, length);
    }
    // A whole set command with the program's pause schedule.
    void send(const QByteArray &blk, const QByteArray &payload) const {
        feature(blk);
        VirtualMouse::virtualSleep(128);
        for (int off = 0; off < payload.size(); off += 32) {
            data(payload.mid(off, 32));
            VirtualMouse::virtualSleep(120);
        }
        VirtualMouse::virtualSleep(128);
    }
};

} // namespace

class TestVirtualMouse : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        for (const char *name :
             {"SKARN_VIRTUAL_DEVICE", "SKARN_VIRTUAL_LOG", "SKARN_VIRTUAL_CONTROL"})
            qunsetenv(name);
    }
    void init() {
        VirtualMouse::instance().reset();
        VirtualMouse::instance().useVirtualClock(true);
    }

    // Each row is a short script of wire steps on a 553 mouse:
    //   fHEX  feature report of that block (checksum added)   bHEX  same with a wrong checksum
    //   pHEX/N  a whole set command with N payload bytes and the program's pauses
    //   dN  data report with N payload bytes   LN  data report of N bytes in all
    //   hN  feature report of N bytes   i  feature report with report ID 1
    //   sMS  pause   g  fetch the feature reply   r  read one data report   c  close twice
    // and set-up words first: "560" the other family, "nogun" a mouse without
    // the gun feature, "~CODE" a scrambling mouse the client sends CODE to.
    void violations_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("stateKept");
        auto row = [](const char *name, const char *script, const char *kind, bool kept = true) {
            QTest::newRow(name) << script << kind << kept;
        };
        row("bad checksum", "b0108", "bad checksum");
        row("wrong code", "~Xy12Zq f0012345678 g", "bad checksum");
        row("data after a command without payload", "f0108 s200 d8",
            "data report without a command", false);
        row("too few data reports", "f12014008 s128 d32 s128 f0104", "too few data reports", false);
        row("too many data reports", "p110308/8 d8", "too many data reports", false);
        row("short feature report", "h8", "wrong report length");
        row("long data report", "f110308 s128 L65", "wrong report length", false);
        row("report id of a feature report", "i", "wrong report id", false);
        row("553 read sent to a 560 mouse", "560 f83", "unknown opcode");
        row("gun data to a mouse without gun", "nogun f0400010203", "unknown opcode");
        row("data too soon after the command", "f110308 s99 d8", "settle time", false);
        row("data too soon after data", "f12014008 s128 d32 s60 d32", "settle time", false);
        row("key matrix 5", "p12054008/64", "index out of range");
        row("key matrix 0 on the 560", "560 p0d0080/128", "index out of range");
        row("dpi of profile 0", "560 f040003", "index out of range");
        row("payload length field", "p110307/8", "bad length field");
        row("reply with no read command", "f0108 g", "get_feature without", false);
        row("read with nothing to come", "r", "read of the command interface");
        row("image left unread", "560 f8c01 g r f0201", "unread data reports", false);
        row("handle closed twice", "c", "close of a handle");
    }
    void violations() {
        QFETCH(QString, script);
        QFETCH(QString, kind);
        QFETCH(bool, stateKept);
        VirtualMouse &vm = VirtualMouse::instance();
        QStringList steps = script.split(' ');
        const QString setUp = steps.first();
        const bool encode = setUp.startsWith('~');
        const int dev =
            vm.attach(deviceJson(setUp == "560" ? "560" : "553", 32, encode, setUp != "nogun"));
        Client c(dev, encode, encode ? setUp.mid(1).toLatin1() : "Tw70Sk");
        const QJsonObject before = vm.state(dev);
        for (const QString &step : steps) {
            const char op = step[0].toLatin1();
            const QString arg = step.mid(1);
            QByteArray b = block(hex(arg.section('/', 0, 0).toLatin1()));
            if (op == 'b')
                b[7] = char(b[7] + 1);
            if (op == 'f' || op == 'b')
                c.feature(b);
            else if (op == 'p')
                c.send(b, pattern(arg.section('/', 1).toInt(), 1));
            else if (op == 'd' || op == 'L')
                c.data(pattern(op == 'd' ? arg.toInt() : 8, 2), op == 'L' ? arg.toInt() : 33);
            else if (op == 'h' || op == 'i')
                c.feature(block(hex("0108")), op == 'h' ? arg.toInt() : 9, op == 'i');
            else if (op == 's')
                VirtualMouse::virtualSleep(arg.toInt());
            else if (op == 'g') // an unreadable challenge never comes back as sent
                QVERIFY(c.reply().mid(1, 4) != hex("12345678"));
            else if (op == 'r')
                c.once(hid_read, {}, 33);
            else if (op == 'c') {
                hid_device *h = c.open();
                hid_close(h);
                hid_close(h);
            }
        }
        const QStringList v = vm.violations();
        QCOMPARE(v.size(), 1);
        QVERIFY2(v.first().contains(kind), qPrintable(v.first()));
        bool logged = false;
        for (const QJsonValue &r : vm.wireLog())
            logged |= r["op"] == "violation" && r["text"] == v.first();
        QVERIFY(logged);
        // A refused command leaves the stored settings alone.
        if (stateKept)
            QCOMPARE(vm.state(dev), before);
        if (QTest::currentDataTag() == QLatin1String("too few data reports"))
            QCOMPARE(vm.state(dev)["keyMatrix"], before["keyMatrix"]);
    }

    // A broken description gives no mouse. The log file keeps every record,
    // memory the newest (an idle program reopens its event interface twice a
    // second). (The acceptance tests drive the control pipe.)
    void environment() {
        VirtualMouse &vm = VirtualMouse::instance();
        QTemporaryDir dir;
        auto describe = [&](const QByteArray &text) {
            QFile f(dir.filePath("devices.json"));
            if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
                f.write(text);
            f.close();
            qputenv("SKARN_VIRTUAL_DEVICE", QFile::encodeName(f.fileName()));
            qputenv("SKARN_VIRTUAL_LOG", QFile::encodeName(dir.filePath("wire.log")));
            vm.initFromEnvironment();
            return vm.deviceCount();
        };
        QCOMPARE(describe("{ not json"), 0);
        const QJsonArray two{deviceJson("553", 32, false), deviceJson("560", 64, true)};
        QCOMPARE(describe(QJsonDocument(two).toJson()), 2);
        for (int i = 0; i < 3000; ++i)
            hid_close(Client(1, true).open(true));
        QFile log(dir.filePath("wire.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QList<QByteArray> all = log.readAll().trimmed().split('\n');
        QCOMPARE(all.size(), 6000);
        QVERIFY(vm.wireLog().size() < 6000);
        QCOMPARE(QJsonDocument::fromJson(all.last()).object(), vm.wireLog().last().toObject());
        qunsetenv("SKARN_VIRTUAL_DEVICE");
        qunsetenv("SKARN_VIRTUAL_LOG");
        vm.initFromEnvironment();
    }
};

QTEST_GUILESS_MAIN(TestVirtualMouse)
#include "tst_virtual_mouse.moc"
