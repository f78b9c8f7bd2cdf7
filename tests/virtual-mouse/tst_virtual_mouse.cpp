// Drives the simulated mouse with hand-built reports through the hidapi
// functions, the way the device layer will, and checks what the firmware makes
// of them.

#include "virtual_mouse.h"

#include <hidapi/hidapi.h>

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {

// Our own reading of the scrambling rules, written as one 64-bit rotation, so
// that the firmware's byte-wise version is checked against something else
// (its inverse is checked by the round trip).
const uint8_t kTable[8] = {0x3A, 0xC5, 0x71, 0x0E, 0x9B, 0x58, 0xE2, 0x27};
uint8_t swapNibbles(uint8_t t) {
    return uint8_t((t << 4) | (t >> 4));
}

void refScramble(uint8_t *b, const uint8_t *code) {
    const uint8_t t[8] = {b[5], b[4], b[7], b[6], b[1], b[0], b[3], b[2]};
    quint64 v = 0;
    for (int i = 0; i < 8; ++i)
        v = (v << 8) | uint8_t(t[i] ^ ((i >= 1 && i <= 6) ? code[i] : 0));
    v = (v << 3) | (v >> 61);
    for (int i = 0; i < 8; ++i)
        b[i] = uint8_t(uint8_t(v >> (56 - 8 * i)) + swapNibbles(kTable[i]));
}

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
    b.append(char(0xFF - (sum & 0xFF)));
    return b;
}

QByteArray pattern(int n, int seed) {
    QByteArray p(n, '\0');
    for (int i = 0; i < n; ++i)
        p[i] = char((i * 7 + seed * 31 + 1) & 0xFF);
    return p;
}

// Everything else as the simulated mouse's defaults (the shipped mouse).
QJsonObject deviceJson(const QString &family, int reportLength, bool encode, bool gun = true) {
    return {{"family", family},
            {"pid", family == "560" ? "0002" : "0001"},
            {"reportLength", reportLength},
            {"isEncode", encode},
            {"isGun", gun}};
}

QString at(const QJsonObject &state, const QString &path) {
    const QStringList parts = path.split('/');
    QJsonValue v = state.value(parts[0]);
    if (parts.size() > 1)
        v = v.toObject().value(parts[1]);
    return v.toVariant().toString();
}

QString spaced(const QByteArray &b) {
    return QString::fromLatin1(b.toHex(' '));
}

int countOp(const QString &op) {
    int n = 0;
    for (const QJsonValue &r : VirtualMouse::instance().wireLog())
        n += r.toObject().value("op") == op;
    return n;
}

// The program's side of the wire, built by hand: every report on a freshly
// opened handle, pauses on the virtual clock.
struct Client {
    int dev = 0, reportLength = 32;
    bool encode = false;
    uint8_t code[8] = {};

    Client(int device, int rl, bool enc, const QByteArray &sCode = "Tw70Sk")
        : dev(device), reportLength(rl), encode(enc) {
        memcpy(code + 1, sCode.constData(), std::min<size_t>(6, size_t(sCode.size())));
    }

    hid_device *open(bool event = false) const {
        VirtualMouse &vm = VirtualMouse::instance();
        return hid_open_path(
            (event ? vm.eventPath(dev) : vm.commandPath(dev)).toLatin1().constData());
    }

    // One call on a freshly opened command handle; -2 when it cannot be opened.
    template <class F> int once(F call) const {
        hid_device *h = open();
        if (!h)
            return -2;
        const int n = call(h);
        hid_close(h);
        return n;
    }

    // A report: ID 0, then the bytes, zero-filled or cut to the length.
    static QByteArray report(const QByteArray &bytes, int length) {
        return (QByteArray(1, '\0') + bytes).leftJustified(length, '\0', true);
    }

    int feature(const QByteArray &blk, int length = 9) const {
        QByteArray r = report(blk, length);
        if (encode && length >= 9)
            refScramble(reinterpret_cast<uint8_t *>(r.data() + 1), code);
        return once([&](hid_device *h) {
            return hid_send_feature_report(h, reinterpret_cast<const uint8_t *>(r.constData()),
                                           size_t(length));
        });
    }

    // Reply block bytes 0..7 as the program sees them, empty on failure.
    QByteArray reply() const {
        uint8_t r[9] = {};
        if (once([&](hid_device *h) { return hid_get_feature_report(h, r, 9); }) != 9)
            return {};
        if (encode)
            VirtualMouse::unscramble(r + 1, code); // checked against ours above
        return QByteArray(reinterpret_cast<const char *>(r + 1), 8);
    }

    int data(const QByteArray &chunk, int length = -1) const {
        const QByteArray r = report(chunk, length < 0 ? reportLength + 1 : length);
        return once([&](hid_device *h) {
            return hid_write(h, reinterpret_cast<const uint8_t *>(r.constData()), size_t(r.size()));
        });
    }

    // A whole set command with the program's pause schedule.
    void send(const QByteArray &blk, const QByteArray &payload = {}) const {
        feature(blk);
        if (payload.isEmpty())
            return;
        VirtualMouse::virtualSleep(128);
        for (int off = 0; off < payload.size(); off += reportLength) {
            data(payload.mid(off, reportLength));
            VirtualMouse::virtualSleep(120);
        }
        VirtualMouse::virtualSleep(128);
    }

    QByteArray readData(int total) const {
        QByteArray out, buf(reportLength + 1, '\0');
        const int k = std::min(total, reportLength);
        while (out.size() < total && once([&](hid_device *h) {
                                         return hid_read(h, reinterpret_cast<uint8_t *>(buf.data()),
                                                         size_t(buf.size()));
                                     }) >= k)
            out.append(buf.left(k));
        return out;
    }
};

} // namespace

class TestVirtualMouse : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        qunsetenv("SKARN_VIRTUAL_DEVICE");
        qunsetenv("SKARN_VIRTUAL_LOG");
        qunsetenv("SKARN_VIRTUAL_CONTROL");
    }
    void init() {
        VirtualMouse::instance().reset();
        VirtualMouse::instance().useVirtualClock(true);
    }

    void scrambleMatchesReferenceAndInverts() {
        QRandomGenerator rng(70);
        for (int round = 0; round < 2000; ++round) {
            uint8_t b[8], code[8], mine[8], ref[8];
            for (int i = 0; i < 8; ++i)
                b[i] = uint8_t(rng.generate()), code[i] = uint8_t(rng.generate());
            memcpy(mine, b, 8);
            memcpy(ref, b, 8);
            VirtualMouse::scramble(mine, code);
            refScramble(ref, code);
            QCOMPARE(QByteArray((char *)mine, 8).toHex(), QByteArray((char *)ref, 8).toHex());
            // Code bytes 0 and 7 take no part.
            uint8_t again[8];
            memcpy(again, b, 8);
            code[0] ^= 0x5A;
            code[7] ^= 0xA5;
            VirtualMouse::scramble(again, code);
            QCOMPARE(memcmp(again, mine, 8), 0);
            VirtualMouse::unscramble(mine, code);
            QCOMPARE(QByteArray((char *)mine, 8).toHex(), QByteArray((char *)b, 8).toHex());
        }
    }

    void checksum() {
        const auto sum = [](const char *h) {
            const QByteArray b = hex(h);
            return int(VirtualMouse::checksum(reinterpret_cast<const uint8_t *>(b.constData())));
        };
        QCOMPARE(sum("12034008000000"), 0xA2);
        QCOMPARE(sum("80800000000000"), 0xFF); // the sum wraps at 256
    }

    void setCommands_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("reportLength");
        QTest::addColumn<bool>("encode");
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        // payload: that many pattern bytes; expected: empty means the payload itself
        struct Row {
            const char *name, *family, *head;
            int payload;
            const char *path;
            QString expected;
        };
        const Row rows[] = {
            {"553 report rate", "553", "0108", 0, "reportRate", "8"},
            {"553 keyboard option", "553", "0311223344", 0, "keyboardOption", "11 22 33 44"},
            {"553 gun slot 2", "553", "040005fe0a02", 0, "gunData/2", "05 fe 0a"},
            // the other 20 bytes keep the shipped colours
            {"553 stage colours, 4 bytes", "553", "100204", 4, "ledColors",
             spaced(pattern(4, 4) + hex("ff000000ffffff0000ffffff00ffffffffff8000"))},
            {"553 stage colours, 24 bytes", "553", "100018", 24, "ledColors", {}},
            {"553 dpi set", "553", "110308", 8, "dpiCodes", {}},
            {"553 key matrix 3", "553", "12034008", 64, "keyMatrix/3", {}},
            {"553 macro 12", "553", "130c80", 128, "macros/12", {}},
            {"560 report rate of profile 2", "560", "030204", 0, "profileReportRate/2", "4"},
            {"560 profile image 4", "560", "0c0480", 128, "profiles/4", {}},
            {"560 key matrix 2", "560", "0d0280", 128, "keyMatrix/2",
             spaced(pattern(128, 128).left(64))},
        };
        for (const Row &r : rows) {
            const QByteArray payload = r.payload ? pattern(r.payload, r.payload) : QByteArray();
            const QString expected = r.expected.isNull() ? spaced(payload) : r.expected;
            for (int rl : {32, 64})
                for (bool enc : {false, true})
                    QTest::addRow("%s, %d, %s", r.name, rl, enc ? "scrambled" : "plain")
                        << r.family << rl << enc << hex(r.head) << payload << r.path << expected;
        }
    }
    void setCommands() {
        QFETCH(QString, family);
        QFETCH(int, reportLength);
        QFETCH(bool, encode);
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, payload);
        QFETCH(QString, path);
        QFETCH(QString, expected);
        VirtualMouse &vm = VirtualMouse::instance();
        const int dev = vm.attach(deviceJson(family, reportLength, encode));
        Client c(dev, reportLength, encode);
        c.send(block(head), payload);
        QCOMPARE(vm.violations(), QStringList());
        QCOMPARE(at(vm.state(dev), path), expected);
        QCOMPARE(countOp("write"), (payload.size() + reportLength - 1) / reportLength);
    }

    void readCommands_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QByteArray>("setHead");
        QTest::addColumn<QByteArray>("readHead");
        QTest::addColumn<QByteArray>("values");
        auto row = [](const char *name, const char *family, const char *set, const char *read,
                      const char *values) {
            QTest::newRow(name) << family << hex(set) << hex(read) << hex(values);
        };
        row("553 echo", "553", "", "00deadbeef", "deadbeef");
        row("553 echo of zeros", "553", "", "00", "00000000");
        row("553 options as shipped", "553", "", "83", "01020000");
        row("560 current profile", "560", "0203", "82", "03");
        row("560 dpi of profile 2", "560", "040206", "8402", "0206");
        row("560 dpi of profile 3 as shipped", "560", "", "8403", "0301");
    }
    void readCommands() {
        QFETCH(QString, family);
        QFETCH(QByteArray, setHead);
        QFETCH(QByteArray, readHead);
        QFETCH(QByteArray, values);
        // Scrambled: the reply's checksum is checked after unscrambling.
        VirtualMouse &vm = VirtualMouse::instance();
        Client c(vm.attach(deviceJson(family, 32, true)), 32, true);
        if (!setHead.isEmpty())
            c.send(block(setHead));
        QCOMPARE(c.feature(block(readHead)), 9);
        const QByteArray r = c.reply();
        QCOMPARE(r.size(), 8);
        QCOMPARE(uint8_t(r[0]), uint8_t(readHead[0]));
        QCOMPARE(r.mid(1, values.size()).toHex(), values.toHex());
        QCOMPARE(block(r.left(7)).toHex(), r.toHex()); // checksum filled in
        QCOMPARE(vm.violations(), QStringList());
    }

    void profileImageRead_data() {
        QTest::addColumn<int>("reportLength");
        QTest::addColumn<bool>("encode");
        QTest::newRow("32 plain") << 32 << false;
        QTest::newRow("64 scrambled") << 64 << true;
    }
    void profileImageRead() {
        QFETCH(int, reportLength);
        QFETCH(bool, encode);
        VirtualMouse &vm = VirtualMouse::instance();
        const int dev = vm.attach(deviceJson("560", reportLength, encode));
        Client c(dev, reportLength, encode);
        // The shipped image is not blank, so a read that returns zeros is caught.
        c.feature(block(hex("8c01")));
        QCOMPARE(uint8_t(c.reply()[0]), uint8_t(0x8c));
        const QByteArray shipped = c.readData(128);
        QCOMPARE(spaced(shipped), at(vm.state(dev), "profiles/1"));
        QVERIFY(shipped.count('\0') < 128);

        const QByteArray img = pattern(128, 9);
        c.send(block(hex("0c0380")), img);
        c.feature(block(hex("8c03")));
        c.reply();
        QCOMPARE(c.readData(128).toHex(), img.toHex());
        QCOMPARE(countOp("read"), 2 * 128 / reportLength);
        QCOMPARE(vm.violations(), QStringList());
    }

    // Each row is a short script of wire steps:
    //   fHEX  feature report of that block (checksum added)   bHEX  same with a wrong checksum
    //   pHEX/N  a whole set command with N payload bytes and the program's pauses
    //   dN  data report with N payload bytes   LN  data report of N bytes in all
    //   hN  feature report of N bytes   i  feature report with report ID 1
    //   sMS  pause   g  fetch the feature reply   r  read one data report   c  close twice
    void violations_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("gun");
        QTest::addColumn<bool>("encode");
        QTest::addColumn<QString>("clientCode"); // empty: the device's own
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("stateKept");
        auto row = [](const char *name, const char *family, const char *script, const char *kind,
                      bool kept = true, bool encode = false, const char *code = "",
                      bool gun = true) {
            QTest::newRow(name) << family << gun << encode << code << script << kind << kept;
        };
        row("bad checksum", "553", "b0108", "bad checksum");
        row("wrong code", "553", "f0012345678 g", "bad checksum", true, true, "Xy12Zq");
        row("data after a command without payload", "553", "f0108 s200 d8",
            "data report without a command", false);
        row("too few data reports", "553", "f12014008 s128 d32 s128 f0104", "too few data reports",
            false);
        row("too many data reports", "553", "p110308/8 d8", "too many data reports", false);
        row("short feature report", "553", "h8", "wrong report length");
        row("long data report", "553", "f110308 s128 L65", "wrong report length", false);
        row("report id of a feature report", "553", "i", "wrong report id", false);
        row("553 read sent to a 560 mouse", "560", "f83", "unknown opcode");
        row("gun data to a mouse without gun", "553", "f0400010203", "unknown opcode", true, false,
            "", false);
        row("data too soon after the command", "553", "f110308 s99 d8", "settle time", false);
        row("data too soon after data", "553", "f12014008 s128 d32 s60 d32", "settle time", false);
        row("key matrix 5", "553", "p12054008/64", "index out of range");
        row("key matrix 0 on the 560", "560", "p0d0080/128", "index out of range");
        row("dpi of profile 0", "560", "f040003", "index out of range");
        row("payload length field", "553", "p110307/8", "bad length field");
        row("reply with no read command", "553", "f0108 g", "get_feature without", false);
        row("read with nothing to come", "553", "r", "read of the command interface");
        row("image left unread", "560", "f8c01 g r f0201", "unread data reports", false);
        row("handle closed twice", "553", "c", "close of a handle");
    }
    void violations() {
        QFETCH(QString, family);
        QFETCH(bool, gun);
        QFETCH(bool, encode);
        QFETCH(QString, clientCode);
        QFETCH(QString, script);
        QFETCH(QString, kind);
        QFETCH(bool, stateKept);
        VirtualMouse &vm = VirtualMouse::instance();
        const int dev = vm.attach(deviceJson(family, 32, encode, gun));
        Client c(dev, 32, encode,
                 clientCode.isEmpty() ? QByteArray("Tw70Sk") : clientCode.toLatin1());
        const QJsonObject before = vm.state(dev);

        for (const QString &step : script.split(' ')) {
            const QChar op = step[0];
            const QString arg = step.mid(1);
            if (op == 'f') {
                c.feature(block(hex(arg.toLatin1())));
            } else if (op == 'b') {
                QByteArray b = block(hex(arg.toLatin1()));
                b[7] = char(b[7] + 1);
                c.feature(b);
            } else if (op == 'p') {
                c.send(block(hex(arg.section('/', 0, 0).toLatin1())),
                       pattern(arg.section('/', 1).toInt(), 1));
            } else if (op == 'd') {
                c.data(pattern(arg.toInt(), 2));
            } else if (op == 'L') {
                c.data(pattern(8, 2), arg.toInt());
            } else if (op == 'h') {
                c.feature(block(hex("0108")), arg.toInt());
            } else if (op == 'i') {
                const QByteArray r = QByteArray(1, '\1') + block(hex("0108"));
                c.once([&](hid_device *h) {
                    return hid_send_feature_report(h, reinterpret_cast<const uint8_t *>(r.data()),
                                                   9);
                });
            } else if (op == 's') {
                VirtualMouse::virtualSleep(arg.toInt());
            } else if (op == 'g') {
                const QByteArray r = c.reply();
                // An unreadable challenge never comes back as sent.
                if (script.startsWith("f00"))
                    QVERIFY(r.mid(1, 4) != hex("12345678"));
            } else if (op == 'r') {
                c.readData(32);
            } else if (op == 'c') {
                hid_device *h = c.open();
                hid_close(h);
                hid_close(h);
            } else {
                QFAIL(qPrintable("bad step " + step));
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
        if (QTest::currentDataTag() == QLatin1String("too few data reports")) {
            QCOMPARE(at(vm.state(dev), "keyMatrix/1"), at(before, "keyMatrix/1"));
            QCOMPARE(at(vm.state(dev), "reportRate"), QString("4"));
        }
    }

    void hotPlug() {
        VirtualMouse &vm = VirtualMouse::instance();
        vm.attach(deviceJson("553", 32, false));
        const int other = vm.attach(deviceJson("560", 64, false));
        QList<QPair<int, bool>> calls;
        vm.setPlugListener([&](int d, bool p) { calls.append({d, p}); });

        auto listed = [](unsigned short vid, unsigned short pid) {
            QStringList out;
            hid_device_info *all = hid_enumerate(vid, pid);
            for (hid_device_info *i = all; i; i = i->next)
                out << QStringLiteral("%1 %2:%3 %4")
                           .arg(i->path)
                           .arg(i->usage_page, 4, 16)
                           .arg(i->usage, 4, 16)
                           .arg(i->product_id);
            hid_free_enumeration(all);
            return out;
        };
        QCOMPARE(listed(0, 0).size(), 4);
        QCOMPARE(listed(0x1209, 2), QStringList({vm.commandPath(other) + " ff00:ff00 2",
                                                 vm.eventPath(other) + " ff01:ff01 2"}));
        QCOMPARE(listed(0x1234, 0).size(), 0);

        Client c(0, 32, false);
        c.send(block(hex("0102")));
        hid_device *held = c.open();
        QVERIFY(held);
        vm.unplug(0);
        QCOMPARE(listed(0x1209, 1).size(), 0);
        QCOMPARE(listed(0, 0).size(), 2);
        QVERIFY(!c.open());
        uint8_t r[9] = {0, 0x01, 0x04, 0, 0, 0, 0, 0, 0xFA};
        QCOMPARE(hid_send_feature_report(held, r, 9), -1);
        vm.plug(0);
        QCOMPARE(listed(0x1209, 1).size(), 2);
        // A handle from before the unplug stays dead; the settings survived.
        QCOMPARE(hid_send_feature_report(held, r, 9), -1);
        hid_close(held);
        QCOMPARE(at(vm.state(0), "reportRate"), QString("2"));
        QCOMPARE(calls, (QList<QPair<int, bool>>{{0, false}, {0, true}}));

        QVERIFY(countOp("open-failed") > 0);
        QCOMPARE(vm.violations(), QStringList());
        vm.setPlugListener(nullptr);
    }

    void eventQueueAcrossThreads() {
        VirtualMouse &vm = VirtualMouse::instance();
        vm.attach(deviceJson("553", 32, false));
        Client c(0, 32, false);

        // Nothing queued: the read times out with 0.
        hid_device *h = c.open(true);
        uint8_t buf[8] = {};
        QCOMPARE(hid_read_timeout(h, buf, 4, 30), 0);
        hid_close(h);

        // A blocked reader is woken long before its time-out: by the button with
        // its report, by the unplug with an error.
        // Returns what the read gave, -3 if it took longer than that.
        QByteArray report;
        const auto blockedRead = [&](auto wake) {
            int got = -2;
            QElapsedTimer timer;
            timer.start();
            std::thread reader([&] {
                hid_device *eh = c.open(true);
                uint8_t b[4] = {};
                got = hid_read_timeout(eh, b, 4, 10000);
                report = QByteArray(reinterpret_cast<char *>(b), 4);
                hid_close(eh);
            });
            QThread::msleep(50);
            wake();
            reader.join();
            return timer.elapsed() < 5000 ? got : -3;
        };
        QCOMPARE(blockedRead([&] { vm.emitDpiStage(3); }), 4);
        QCOMPARE(report.toHex(' '), QByteArray("06 07 00 03"));
        QCOMPARE(at(vm.state(0), "currentDpi"), QString("3"));
        QCOMPARE(blockedRead([&] { vm.unplug(0); }), -1);
        QCOMPARE(vm.violations(), QStringList());
    }

    void injectedFaults_data() {
        QTest::addColumn<QString>("op");
        QTest::addColumn<int>("count");
        QTest::newRow("open") << "open" << 1;
        QTest::newRow("set_feature twice") << "set_feature" << 2;
        QTest::newRow("get_feature") << "get_feature" << 1;
        QTest::newRow("write") << "write" << 1;
        QTest::newRow("read") << "read" << 3;
    }
    void injectedFaults() {
        QFETCH(QString, op);
        QFETCH(int, count);
        VirtualMouse &vm = VirtualMouse::instance();
        vm.attach(deviceJson(op == "read" ? "560" : "553", 32, true));
        Client c(0, 32, true);
        // An event-interface fault must not be taken by command traffic.
        vm.failNext(op, 1, "event");
        vm.failNext(op, count);
        auto attempt = [&]() -> bool {
            if (op == "open") {
                hid_device *h = c.open();
                hid_close(h);
                return h;
            }
            if (op == "set_feature")
                return c.feature(block(hex("0108"))) == 9;
            if (op == "get_feature") {
                c.feature(block(hex("8b")));
                return c.reply().size() == 8;
            }
            if (op == "write") {
                c.feature(block(hex("110308")));
                VirtualMouse::virtualSleep(128);
                return c.data(pattern(8, 1)) == 33;
            }
            c.feature(block(hex("8c00")));
            c.reply();
            hid_device *h = c.open();
            uint8_t b[33];
            const bool ok = hid_read(h, b, 33) == 32;
            hid_close(h);
            return ok;
        };
        for (int i = 0; i < count; ++i)
            QVERIFY2(!attempt(), qPrintable(QString("attempt %1 should fail").arg(i)));
        QVERIFY(attempt());
        QVERIFY(attempt());
        // Failed calls leave half-done exchanges behind; only the faults matter here.
        vm.clearViolations();
        hid_device *e = c.open(true);
        uint8_t b[8];
        if (op == "open")
            QVERIFY(!e);
        else if (op == "read")
            QCOMPARE(hid_read_timeout(e, b, 4, 0), -1);
        hid_close(e);
        int failures = 0;
        for (const QJsonValue &r : vm.wireLog())
            failures += r.toObject().value("text").toString().contains("injected");
        QCOMPARE(failures, count + ((op == "open" || op == "read") ? 1 : 0));
    }

    void silentAndCorrupt() {
        VirtualMouse &vm = VirtualMouse::instance();
        vm.attach(deviceJson("553", 32, true));
        Client c(0, 32, true);
        vm.setSilent(true);
        vm.emitDpiStage(2);
        c.send(block(hex("0108")));
        QCOMPARE(at(vm.state(0), "reportRate"), QString("1"));
        c.feature(block(hex("0001020304")));
        QCOMPARE(c.reply(), QByteArray());
        hid_device *e = c.open(true);
        uint8_t b[8];
        QCOMPARE(hid_read_timeout(e, b, 4, 20), 0);
        vm.setSilent(false);
        QCOMPARE(hid_read_timeout(e, b, 4, 20), 4);
        hid_close(e);

        vm.corruptNextReply();
        c.feature(block(hex("0001020304")));
        QVERIFY(c.reply().mid(1, 4) != hex("01020304"));
        c.feature(block(hex("0001020304")));
        QCOMPARE(c.reply().mid(1, 4).toHex(), QByteArray("01020304"));
        QCOMPARE(vm.violations(), QStringList());
    }

    void wireLogRecords() {
        VirtualMouse &vm = VirtualMouse::instance();
        vm.attach(deviceJson("553", 32, false));
        Client c(0, 32, false);
        VirtualMouse::virtualSleep(1000);
        c.send(block(hex("110308")), pattern(8, 1));
        const QJsonArray log = vm.wireLog();
        QStringList ops;
        for (const QJsonValue &v : log)
            ops << v.toObject().value("op").toString();
        QCOMPARE(ops, QStringList({"open", "set_feature", "close", "open", "write", "close"}));
        const QJsonObject feature = log[1].toObject();
        QCOMPARE(feature.value("data").toString(), QString("00 11 03 08 00 00 00 00 e3"));
        QCOMPARE(feature.value("iface").toString(), QString("command"));
        QCOMPARE(feature.value("t").toInteger(), 1000);
        QCOMPARE(log[4].toObject().value("t").toInteger(), 1128);
        QCOMPARE(log[4].toObject().value("data").toString(),
                 "00 " + spaced(pattern(8, 1)) + QString(" 00").repeated(24));
    }

    void environment() {
        VirtualMouse &vm = VirtualMouse::instance();
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString devFile = dir.filePath("devices.json");
        const QString logFile = dir.filePath("wire.log");
        const QString pipe = dir.filePath("control");
        const QString dump = dir.filePath("state.json");

        // Without a description: the shipped mouse, scrambled with its code.
        vm.useVirtualClock(false);
        vm.initFromEnvironment();
        QCOMPARE(vm.deviceCount(), 1);
        QCOMPARE(at(vm.state(0), "family"), QString("553"));
        Client shipped(0, 32, true, "Tw70Sk");
        shipped.feature(block(hex("0001020304")));
        QCOMPARE(shipped.reply().mid(1, 4).toHex(), QByteArray("01020304"));

        QFile f(devFile);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("{ not json");
        f.close();
        qputenv("SKARN_VIRTUAL_DEVICE", devFile.toLocal8Bit());
        vm.initFromEnvironment();
        QCOMPARE(vm.deviceCount(), 0);
        QVERIFY(!hid_enumerate(0, 0));

        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QJsonDocument(QJsonArray{deviceJson("553", 32, false), deviceJson("560", 64, true)})
                    .toJson());
        f.close();
        qputenv("SKARN_VIRTUAL_LOG", logFile.toLocal8Bit());
        qputenv("SKARN_VIRTUAL_CONTROL", pipe.toLocal8Bit());
        vm.initFromEnvironment();
        QCOMPARE(vm.deviceCount(), 2);
        QCOMPARE(at(vm.state(1), "family"), QString("560"));

        Client c(1, 64, true);
        c.feature(block(hex("82")));
        c.reply();
        QFile lf(logFile);
        QVERIFY(lf.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = lf.readAll().split('\n');
        QCOMPARE(lines.size() - 1, vm.wireLog().size());
        for (int i = 0; i < vm.wireLog().size(); ++i)
            QCOMPARE(QJsonDocument::fromJson(lines[i]).object(), vm.wireLog()[i].toObject());
        lf.close();

        // An idle program reopens its event interface twice a second: memory
        // keeps the newest records, the file every one.
        for (int i = 0; i < 3000; ++i)
            hid_close(c.open(true));
        const QJsonArray kept = vm.wireLog();
        QVERIFY(kept.size() < 6000);
        QVERIFY(lf.open(QIODevice::ReadOnly));
        const QList<QByteArray> all = lf.readAll().trimmed().split('\n');
        QCOMPARE(all.size(), lines.size() - 1 + 6000);
        QCOMPARE(QJsonDocument::fromJson(all.last()).object(), kept.last().toObject());

        const int fd = ::open(pipe.toLocal8Bit().constData(), O_WRONLY);
        QVERIFY(fd >= 0);
        const QByteArray cmds = "dpi 4\nunplug 1\nfail open 1\ndump " + dump.toLocal8Bit() + "\n";
        QCOMPARE(::write(fd, cmds.constData(), size_t(cmds.size())), ssize_t(cmds.size()));
        ::close(fd);
        QTRY_VERIFY(QFile::exists(dump));
        QFile df(dump);
        QVERIFY(df.open(QIODevice::ReadOnly));
        const QJsonObject dumped = QJsonDocument::fromJson(df.readAll()).object();
        QCOMPARE(at(dumped, "currentDpi"), QString("4"));
        QVERIFY(!vm.isPlugged(1));
        Client first(0, 32, false);
        QVERIFY(!first.open());
        hid_device *h = first.open();
        QVERIFY(h);
        hid_close(h);

        qunsetenv("SKARN_VIRTUAL_DEVICE");
        qunsetenv("SKARN_VIRTUAL_LOG");
        qunsetenv("SKARN_VIRTUAL_CONTROL");
        vm.initFromEnvironment();
        QCOMPARE(vm.violations(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestVirtualMouse)
#include "tst_virtual_mouse.moc"
