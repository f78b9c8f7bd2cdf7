// Every command on the wire: feature reports, data reports and the pauses
// between them, plain and scrambled, for 32- and 64-byte data reports; the
// busy token; failed exchanges and what the callers get back.
#include "device_test_support.h"

#include <QElapsedTimer>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace devtest;

using Invoke = std::function<void(Hid_Thread &)>;
Q_DECLARE_METATYPE(Invoke)

namespace {

QByteArray pattern(int n, int mul, int add) {
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i)
        b[i] = static_cast<char>((i * mul + add) & 0xFF);
    return b;
}

uchar *u(QByteArray &b) {
    return reinterpret_cast<uchar *>(b.data());
}

// Pauses the protocol mandates around a write: the settle pause after the
// feature report, 120 ms after each data report, the settle pause after the
// last one; or a bare 8 ms for the option commands.
QList<int> writePauses(int payload, int reportLength, bool settle) {
    if (!settle)
        return {8};
    if (payload == 0)
        return {128};
    QList<int> p{128};
    const int k = qMin(payload, reportLength);
    for (int off = k; off < payload; off += k)
        p << 120;
    p << 120 + 128;
    return p;
}

struct Row {
    const char *name;
    QString family;
    Invoke call;
    QList<QByteArray> blocks; // plain blocks, bytes 0..6
    QByteArray payload;       // what the data reports carry, in order
    bool settle;
    bool read;
    int readBytes;
};

} // namespace

class TstDeviceWire : public QObject {
    Q_OBJECT

    QJsonObject spec;
    int dev = 0;
    std::unique_ptr<Hid_Thread> hid;

    void connectMouse(const QString &family, int reportLength, bool encode, bool isGun = true,
                      const QString &code = "SKARN1") {
        freshMouse();
        spec = mouseSpec(family, reportLength, encode, code);
        spec["isGun"] = isGun;
        VirtualMouse &vm = VirtualMouse::instance();
        dev = vm.attach(spec);
        hid = std::make_unique<Hid_Thread>();
        hid->setDeviceFlags(family, false);
        hid->setDeviceList({entryFor(dev, spec)});
        QVERIFY(hid->chkDeviceIsEnCode(0));
        vm.clearWireLog();
    }

    static QByteArray featureOnWire(const QByteArray &plain7, bool encode, const QString &code) {
        QByteArray b = block(plain7);
        if (encode)
            b = scrambled(b, code);
        return QByteArray(1, '\0') + b;
    }

    static QList<Row> rows() {
        const QByteArray m64 = pattern(64, 3, 1);
        const QByteArray m128 = pattern(128, 7, 5);
        const QByteArray dpi8 = bytes("0204080C10808080");
        const QByteArray led24 = pattern(24, 11, 2);
        const QByteArray rgb3 = bytes("10E0FF");
        auto copy = [](QByteArray b) { return b; };
        QList<Row> r;
        // 553 family
        r << Row{"553 01 report rate",
                 "553",
                 [](Hid_Thread &h) { h.hid553_01H_SetReportRate(4); },
                 {bytes("010400")},
                 {},
                 true,
                 false,
                 0};
        r << Row{"553 02 key matrix",
                 "553",
                 [](Hid_Thread &h) { h.hid553_02H_SetCurrentKeyMatrix(2); },
                 {bytes("0202")},
                 {},
                 true,
                 false,
                 0};
        r << Row{"553 03 option",
                 "553",
                 [](Hid_Thread &h) { h.hid553_03H_SetKeyboardoption(1, 2, 3, 0x44); },
                 {bytes("0301020344")},
                 {},
                 false,
                 false,
                 0};
        r << Row{"553 04 gun data",
                 "553",
                 [](Hid_Thread &h) { h.hid553_04H_SetGunData(5, 6, 7, 2); },
                 {bytes("040005060702")},
                 {},
                 false,
                 false,
                 0};
        r << Row{"553 0B current dpi",
                 "553",
                 [](Hid_Thread &h) { h.hid553_0BH_SetCurrentDPI(3); },
                 {bytes("0B03")},
                 {},
                 true,
                 false,
                 0};
        r << Row{"553 0C fixed colour",
                 "553",
                 [rgb3, copy](Hid_Thread &h) {
                     QByteArray c = copy(rgb3);
                     h.hid553_0CH_SetFixLEDColor(u(c));
                 },
                 {bytes("0C10E0FF")},
                 {},
                 true,
                 false,
                 0};
        r << Row{"553 0D effect",
                 "553",
                 [](Hid_Thread &h) { h.hid553_0DH_SetRGBLedEffect(2, 5, 9); },
                 {bytes("0D020509")},
                 {},
                 true,
                 false,
                 0};
        r << Row{"553 10 type 2 sends 4",
                 "553",
                 [led24, copy](Hid_Thread &h) {
                     QByteArray c = copy(led24);
                     h.hid553_10H_SetLED8StageColor(2, u(c));
                 },
                 {bytes("100204")},
                 led24.left(4),
                 true,
                 false,
                 0};
        r << Row{"553 10 type 1 sends 24",
                 "553",
                 [led24, copy](Hid_Thread &h) {
                     QByteArray c = copy(led24);
                     h.hid553_10H_SetLED8StageColor(1, u(c));
                 },
                 {bytes("100118")},
                 led24,
                 true,
                 false,
                 0};
        r << Row{"553 11 dpi set",
                 "553",
                 [dpi8, copy](Hid_Thread &h) {
                     QByteArray c = copy(dpi8);
                     h.hid553_11H_SetDPISet(3, u(c));
                 },
                 {bytes("110308")},
                 dpi8,
                 true,
                 false,
                 0};
        r << Row{"553 12 key matrix",
                 "553",
                 [m64, copy](Hid_Thread &h) {
                     QByteArray c = copy(m64);
                     h.hid553_12H_SetKeyMatrix(u(c), 3);
                 },
                 {bytes("12034008")},
                 m64,
                 true,
                 false,
                 0};
        r << Row{"553 13 macro",
                 "553",
                 [m128, copy](Hid_Thread &h) {
                     QByteArray c = copy(m128);
                     h.hid553_13H_SetMacroKey(12, u(c));
                 },
                 {bytes("130C80")},
                 m128,
                 true,
                 false,
                 0};
        r << Row{"553 00 secrecy code",
                 "553",
                 [](Hid_Thread &h) {
                     uchar a = 0x11, b = 0x22, c = 0x33, d = 0x44;
                     h.hid553_00H_GetSecrecyCode(a, b, c, d);
                 },
                 {bytes("0011223344")},
                 {},
                 false,
                 true,
                 0};
        r << Row{"553 83 option",
                 "553",
                 [](Hid_Thread &h) {
                     uchar a = 9, b = 9, c = 9, d = 9;
                     h.hid553_83H_GetKeyboardoption(a, b, c, d);
                 },
                 {bytes("83")},
                 {},
                 false,
                 true,
                 0};
        r << Row{"553 8B dpi",
                 "553",
                 [](Hid_Thread &h) {
                     uchar a = 7;
                     h.hid553_8BH_GetCurrentDPI(a);
                 },
                 {bytes("8B")},
                 {},
                 false,
                 true,
                 0};
        // 560 family
        r << Row{"560 01 option",
                 "560",
                 [](Hid_Thread &h) { h.hid560_01H_SetKeyboardoption(9, 0x0A); },
                 {bytes("01090A")},
                 {},
                 false,
                 false,
                 0};
        r << Row{"560 02 profile",
                 "560",
                 [](Hid_Thread &h) { h.hid560_02H_SetCurrentProfile(1); },
                 {bytes("0201")},
                 {},
                 false,
                 false,
                 0};
        r << Row{"560 03 report rate, four profiles",
                 "560",
                 [](Hid_Thread &h) { h.hid560_03H_SetReportRate(2); },
                 {bytes("030102"), bytes("030202"), bytes("030302"), bytes("030402")},
                 {},
                 true,
                 false,
                 0};
        r << Row{"560 04 dpi, four profiles",
                 "560",
                 [](Hid_Thread &h) { h.hid560_04H_SetCurrentDPI(5); },
                 {bytes("040105"), bytes("040205"), bytes("040305"), bytes("040405")},
                 {},
                 true,
                 false,
                 0};
        r << Row{"560 0C profile image",
                 "560",
                 [m128, copy](Hid_Thread &h) {
                     QByteArray c = copy(m128);
                     h.hid560_0CH_setProfile(u(c), 2);
                 },
                 {bytes("0C0280")},
                 m128,
                 true,
                 false,
                 0};
        r << Row{"560 0D key matrix padded",
                 "560",
                 [m64, copy](Hid_Thread &h) {
                     QByteArray c = copy(m64);
                     h.hid560_0DH_SetKeyMatrix(u(c), 1);
                 },
                 {bytes("0D0180")},
                 m64 + QByteArray(64, '\0'),
                 true,
                 false,
                 0};
        r << Row{"560 0F macro",
                 "560",
                 [m128, copy](Hid_Thread &h) {
                     QByteArray c = copy(m128);
                     h.hid560_0FH_SetMacroKey(7, u(c));
                 },
                 {bytes("0F0780")},
                 m128,
                 true,
                 false,
                 0};
        r << Row{"560 81 option",
                 "560",
                 [](Hid_Thread &h) {
                     uchar a = 1, b = 2;
                     h.hid560_81H_GetKeyboardoption(a, b);
                 },
                 {bytes("81")},
                 {},
                 false,
                 true,
                 0};
        r << Row{"560 82 profile",
                 "560",
                 [](Hid_Thread &h) {
                     uchar a = 3;
                     h.hid560_82H_GetCurrentProfile(a);
                 },
                 {bytes("82")},
                 {},
                 false,
                 true,
                 0};
        r << Row{"560 84 dpi sends byte1",
                 "560",
                 [](Hid_Thread &h) {
                     uchar a = 3, b = 0x55;
                     h.hid560_84H_GetCurrentDPI(a, b);
                 },
                 {bytes("8403")},
                 {},
                 false,
                 true,
                 0};
        r << Row{"560 8C read profile",
                 "560",
                 [](Hid_Thread &h) {
                     QByteArray img(128, '\x5A');
                     h.hid560_8CH_readProfile(u(img), 2);
                 },
                 {bytes("8C02")},
                 {},
                 false,
                 true,
                 128};
        return r;
    }

private slots:
    void commandsOnTheWire_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("reportLength");
        QTest::addColumn<bool>("encode");
        QTest::addColumn<Invoke>("call");
        QTest::addColumn<QList<QByteArray>>("blocks");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<bool>("settle");
        QTest::addColumn<bool>("read");
        QTest::addColumn<int>("readBytes");
        for (const Row &r : rows())
            for (int len : {32, 64})
                for (bool enc : {false, true})
                    QTest::addRow("%s, %d-byte reports%s", r.name, len, enc ? ", scrambled" : "")
                        << r.family << len << enc << r.call << r.blocks << r.payload << r.settle
                        << r.read << r.readBytes;
    }
    void commandsOnTheWire() {
        QFETCH(QString, family);
        QFETCH(int, reportLength);
        QFETCH(bool, encode);
        QFETCH(Invoke, call);
        QFETCH(QList<QByteArray>, blocks);
        QFETCH(QByteArray, payload);
        QFETCH(bool, settle);
        QFETCH(bool, read);
        QFETCH(int, readBytes);
        connectMouse(family, reportLength, encode);
        if (QTest::currentTestFailed())
            return;
        VirtualMouse &vm = VirtualMouse::instance();
        const qint64 start = vm.nowMs();
        call(*hid);
        const qint64 end = vm.nowMs();

        QStringList got, expected;
        for (const WireRecord &r : traffic())
            got << r.op + " " + hex(r.data);
        const int k = qMin(qMax(payload.size(), readBytes), reportLength);
        for (const QByteArray &b : blocks) {
            expected << "set_feature " + hex(featureOnWire(b, encode, spec["sCode"].toString()));
            if (read)
                expected << "get_feature *";
        }
        for (int off = 0; off < payload.size(); off += k) {
            QByteArray report = QByteArray(1, '\0') + payload.mid(off, k);
            report.append(QByteArray(reportLength + 1 - report.size(), '\0'));
            expected << "write " + hex(report);
        }
        for (int off = 0; off < readBytes; off += k)
            expected << "read *";
        // Replies depend on the mouse's state; their content is checked by
        // the read tests. Here only their place in the sequence counts.
        for (int i = 0; i < got.size() && i < expected.size(); ++i)
            if (expected[i].endsWith('*'))
                got[i] = got[i].section(' ', 0, 0) + " *";
        QCOMPARE(got, expected);
        QCOMPARE(vm.violations(), QStringList());

        // Pauses: from each outgoing report to the next, and from the last
        // one to the end of the command.
        if (!read) {
            QList<qint64> times;
            for (const WireRecord &r : wire({"set_feature", "write"}))
                times << r.t;
            times << end;
            QList<int> gaps;
            for (int i = 1; i < times.size(); ++i)
                gaps << int(times[i] - times[i - 1]);
            QList<int> expectedGaps;
            for (int i = 0; i < blocks.size(); ++i)
                expectedGaps << writePauses(payload.size(), reportLength, settle);
            QCOMPARE(gaps, expectedGaps);
            QCOMPARE(wire({"set_feature"}).first().t, start);
        } else {
            QCOMPARE(end, start); // reads wait for nothing but the mouse
        }

        // The handle is open only inside the exchange, and each report goes
        // out on a freshly opened one.
        const QList<WireRecord> all =
            wire({"open", "close", "set_feature", "get_feature", "write", "read"});
        QVERIFY(!all.isEmpty());
        QCOMPARE(all.last().op, QString("close"));
        QString prev;
        for (const WireRecord &r : all) {
            if (r.op != "open" && r.op != "close")
                QCOMPARE(prev, QString("open"));
            prev = r.op;
        }
        QCOMPARE(hid->hidIdle, true);
    }

    // The schedules given literally for the commonest cases.
    void pauseSchedule_data() {
        QTest::addColumn<int>("reportLength");
        QTest::addColumn<int>("opcode");
        QTest::addColumn<QList<int>>("gaps");
        QTest::newRow("key matrix, 32") << 32 << 0x12 << QList<int>{128, 120, 120 + 128};
        QTest::newRow("key matrix, 64") << 64 << 0x12 << QList<int>{128, 120 + 128};
        QTest::newRow("macro, 32") << 32 << 0x13 << QList<int>{128, 120, 120, 120, 248};
        QTest::newRow("dpi set, 32") << 32 << 0x11 << QList<int>{128, 248};
        QTest::newRow("report rate") << 32 << 0x01 << QList<int>{128};
        QTest::newRow("option") << 64 << 0x03 << QList<int>{8};
    }
    void pauseSchedule() {
        QFETCH(int, reportLength);
        QFETCH(int, opcode);
        QFETCH(QList<int>, gaps);
        connectMouse("553", reportLength, false);
        if (QTest::currentTestFailed())
            return;
        QByteArray buf = pattern(128, 1, 1);
        const qint64 start = VirtualMouse::instance().nowMs();
        switch (opcode) {
        case 0x12:
            hid->hid553_12H_SetKeyMatrix(u(buf), 1);
            break;
        case 0x13:
            hid->hid553_13H_SetMacroKey(1, u(buf));
            break;
        case 0x11:
            hid->hid553_11H_SetDPISet(3, u(buf));
            break;
        case 0x01:
            hid->hid553_01H_SetReportRate(1);
            break;
        case 0x03:
            hid->hid553_03H_SetKeyboardoption(1, 2, 3, 4);
            break;
        }
        QList<qint64> times;
        for (const WireRecord &r : wire({"set_feature", "write"}))
            times << r.t;
        times << VirtualMouse::instance().nowMs();
        QCOMPARE(times.first(), start);
        QList<int> got;
        for (int i = 1; i < times.size(); ++i)
            got << int(times[i] - times[i - 1]);
        QCOMPARE(got, gaps);
    }

    // The worked example: three DPI stages, unscrambled.
    void dpiSetExample() {
        connectMouse("553", 32, false);
        if (QTest::currentTestFailed())
            return;
        QByteArray codes = bytes("0A141E8080808080");
        hid->hid553_11H_SetDPISet(3, u(codes));
        const QList<WireRecord> t = traffic();
        QCOMPARE(t.size(), 2);
        QCOMPARE(hex(t[0].data), QString("00 11 03 08 00 00 00 00 E3"));
        QCOMPARE(t[1].data.size(), 33);
        QCOMPARE(hex(t[1].data.mid(1, 8)), hex(codes));
        QCOMPARE(t[1].t - t[0].t, 128);
        QCOMPARE(VirtualMouse::instance().nowMs() - t[1].t, 248);
        QCOMPARE(VirtualMouse::instance().state(dev).isEmpty(), false);
    }

    void perProfileGunSendsOnlyProfileOne_data() {
        QTest::addColumn<bool>("gun");
        QTest::addColumn<int>("blocks");
        QTest::newRow("gun mouse") << true << 1;
        QTest::newRow("plain mouse") << false << 4;
    }
    void perProfileGunSendsOnlyProfileOne() {
        QFETCH(bool, gun);
        QFETCH(int, blocks);
        connectMouse("560", 32, false);
        if (QTest::currentTestFailed())
            return;
        hid->setDeviceFlags("560", gun);
        hid->hid560_03H_SetReportRate(1);
        hid->hid560_04H_SetCurrentDPI(2);
        QCOMPARE(wire({"set_feature"}).size(), 2 * blocks);
    }

    // Set, then read back what the mouse kept: the reply reaches the caller,
    // unscrambled when the entry scrambles.
    void readResults_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("encode");
        for (const char *f : {"553", "560"})
            for (bool enc : {false, true})
                QTest::addRow("%s%s", f, enc ? " scrambled" : "") << QString(f) << enc;
    }
    void readResults() {
        QFETCH(QString, family);
        QFETCH(bool, encode);
        connectMouse(family, 64, encode);
        if (QTest::currentTestFailed())
            return;
        if (family == "553") {
            hid->hid553_03H_SetKeyboardoption(0x81, 0x02, 0x33, 0x44);
            uchar a = 0, b = 0, c = 0, d = 0;
            hid->hid553_83H_GetKeyboardoption(a, b, c, d);
            QCOMPARE(QList<int>({a, b, c, d}), QList<int>({0x81, 0x02, 0x33, 0x44}));
            hid->hid553_0BH_SetCurrentDPI(5);
            uchar s = 0;
            hid->hid553_8BH_GetCurrentDPI(s);
            QCOMPARE(int(s), 5);
        } else {
            hid->hid560_01H_SetKeyboardoption(0x18, 0x27);
            uchar a = 0, b = 0;
            hid->hid560_81H_GetKeyboardoption(a, b);
            QCOMPARE(QList<int>({a, b}), QList<int>({0x18, 0x27}));
            hid->hid560_02H_SetCurrentProfile(3);
            uchar p = 0;
            hid->hid560_82H_GetCurrentProfile(p);
            QCOMPARE(int(p), 3);
            hid->hid560_04H_SetCurrentDPI(6);
            uchar q = 2, s = 0;
            hid->hid560_84H_GetCurrentDPI(q, s);
            QCOMPARE(int(q), 2);
            QCOMPARE(int(s), 6);
            QByteArray img = pattern(128, 13, 7);
            hid->hid560_0CH_setProfile(u(img), 4);
            QByteArray back(128, '\0');
            hid->hid560_8CH_readProfile(u(back), 4);
            QCOMPARE(hex(back), hex(img));
        }
        QCOMPARE(VirtualMouse::instance().violations(), QStringList());
    }

    // Every command gives up with its own line when the token stays taken,
    // and sends nothing.
    void busyTokenFailureLines_data() {
        QTest::addColumn<Invoke>("call");
        QTest::addColumn<QString>("line");
        QByteArray buf(128, '\x01');
        auto add = [](const char *line, Invoke f) { QTest::newRow(line) << f << QString(line); };
        add("cmd Failed 00", [](Hid_Thread &h) {
            uchar a = 1, b = 2, c = 3, d = 4;
            h.hid553_00H_GetSecrecyCode(a, b, c, d);
            QCOMPARE(QList<int>({a, b, c, d}), QList<int>({1, 2, 3, 4}));
        });
        add("cmd Failed 83", [](Hid_Thread &h) {
            uchar a = 1, b = 2, c = 3, d = 4;
            h.hid553_83H_GetKeyboardoption(a, b, c, d);
            QCOMPARE(QList<int>({a, b, c, d}), QList<int>({1, 2, 3, 4}));
        });
        add("cmd Failed 81", [](Hid_Thread &h) {
            uchar a = 1, b = 2;
            h.hid560_81H_GetKeyboardoption(a, b);
        });
        add("cmd Failed 82", [](Hid_Thread &h) {
            uchar a = 1;
            h.hid560_82H_GetCurrentProfile(a);
        });
        add("cmd Failed 84", [](Hid_Thread &h) {
            uchar a = 1, b = 2;
            h.hid560_84H_GetCurrentDPI(a, b);
        });
        add("cmd Failed 8BH", [](Hid_Thread &h) {
            uchar a = 1;
            h.hid553_8BH_GetCurrentDPI(a);
        });
        add("cmd Failed 03", [](Hid_Thread &h) { h.hid553_03H_SetKeyboardoption(1, 2, 3, 4); });
        add("cmd Failed 04", [](Hid_Thread &h) { h.hid553_04H_SetGunData(1, 2, 3, 4); });
        add("cmd Failed 01", [](Hid_Thread &h) { h.hid560_01H_SetKeyboardoption(1, 2); });
        QTest::newRow("553 01") << Invoke([](Hid_Thread &h) { h.hid553_01H_SetReportRate(1); })
                                << QString("cmd Failed 01");
        QTest::newRow("560 03") << Invoke([](Hid_Thread &h) { h.hid560_03H_SetReportRate(1); })
                                << QString("cmd Failed 03");
        QTest::newRow("560 04") << Invoke([](Hid_Thread &h) { h.hid560_04H_SetCurrentDPI(1); })
                                << QString("cmd Failed 04");
        add("cmd Failed 0B", [](Hid_Thread &h) { h.hid553_0BH_SetCurrentDPI(1); });
        add("cmd Failed 12", [buf](Hid_Thread &h) {
            QByteArray b = buf;
            h.hid553_12H_SetKeyMatrix(u(b), 1);
        });
        add("cmd Failed 0D", [buf](Hid_Thread &h) {
            QByteArray b = buf;
            h.hid560_0DH_SetKeyMatrix(u(b), 1);
        });
        add("cmd Failed 0C", [buf](Hid_Thread &h) {
            QByteArray b = buf;
            h.hid560_0CH_setProfile(u(b), 1);
        });
        add("cmd Failed 8c", [buf](Hid_Thread &h) {
            QByteArray b = buf;
            h.hid560_8CH_readProfile(u(b), 1);
            QCOMPARE(hex(b), hex(buf));
        });
        add("cmd Failed 02", [](Hid_Thread &h) { h.hid560_02H_SetCurrentProfile(1); });
        add("cmd Failed 13", [buf](Hid_Thread &h) {
            QByteArray b = buf;
            h.hid553_13H_SetMacroKey(1, u(b));
        });
        add("cmd Failed 0F", [buf](Hid_Thread &h) {
            QByteArray b = buf;
            h.hid560_0FH_SetMacroKey(1, u(b));
        });
        add("cmd Failed 11", [buf](Hid_Thread &h) {
            QByteArray b = buf;
            h.hid553_11H_SetDPISet(1, u(b));
        });
        QTest::newRow("553 02") << Invoke([](Hid_Thread &h) {
            h.hid553_02H_SetCurrentKeyMatrix(1);
        }) << QString("cmd Failed 02");
        QTest::newRow("553 0D") << Invoke([](Hid_Thread &h) {
            h.hid553_0DH_SetRGBLedEffect(1, 2, 3);
        }) << QString("cmd Failed 0D");
        QTest::newRow("553 0C") << Invoke([buf](Hid_Thread &h) {
            QByteArray b = buf;
            h.hid553_0CH_SetFixLEDColor(u(b));
        }) << QString("cmd Failed 0C");
        add("cmd Failed 10", [buf](Hid_Thread &h) {
            QByteArray b = buf;
            h.hid553_10H_SetLED8StageColor(1, u(b));
        });
    }
    void busyTokenFailureLines() {
        QFETCH(Invoke, call);
        QFETCH(QString, line);
        connectMouse("553", 32, false);
        if (QTest::currentTestFailed())
            return;
        hid->hidIdle = false;
        const qint64 start = VirtualMouse::instance().nowMs();
        QTest::ignoreMessage(QtDebugMsg, qPrintable(line));
        call(*hid);
        QCOMPARE(VirtualMouse::instance().nowMs() - start, 255 * 8);
        QCOMPARE(traffic().size(), 0);
        QCOMPARE(hid->hidIdle, false); // a command that never had it does not give it back
    }

    // A second command started from the event processing of the first one
    // waits for the token, gives up, and the first completes undisturbed.
    void secondCommandDroppedFirstCompletes() {
        connectMouse("553", 32, false);
        if (QTest::currentTestFailed())
            return;
        Hid_Thread &h = *hid;
        bool secondRan = false;
        QTimer::singleShot(0, &h, [&h, &secondRan] {
            secondRan = true;
            h.hid553_0BH_SetCurrentDPI(7);
        });
        QTest::ignoreMessage(QtDebugMsg, "cmd Failed 0B");
        QByteArray m = pattern(64, 1, 0);
        h.hid553_12H_SetKeyMatrix(u(m), 2);
        QVERIFY(secondRan);
        const QList<WireRecord> t = traffic();
        QCOMPARE(t.size(), 3);
        QCOMPARE(hex(t[0].data), hex(featureOnWire(bytes("12024008"), false, "")));
        QCOMPARE(VirtualMouse::instance().violations(), QStringList());
        QCOMPARE(h.hidIdle, true);
    }

    // The per-profile commands keep the token for their whole sequence, so a
    // command slipping in from event processing cannot interleave blocks.
    void perProfileHoldsTokenToTheEnd() {
        connectMouse("560", 32, false);
        if (QTest::currentTestFailed())
            return;
        Hid_Thread &h = *hid;
        bool attempted = false;
        // Between the first and second block, when events are processed,
        // another command tries to get in.
        QTimer competitor;
        competitor.setInterval(0);
        connect(&competitor, &QTimer::timeout, &h, [&] {
            if (!attempted && wire({"set_feature"}).size() == 1) {
                attempted = true;
                h.hid560_02H_SetCurrentProfile(2);
            }
        });
        competitor.start();
        QTest::ignoreMessage(QtDebugMsg, "cmd Failed 02");
        h.hid560_04H_SetCurrentDPI(3);
        competitor.stop();
        QVERIFY(attempted);
        QStringList ops;
        for (const WireRecord &r : wire({"set_feature"}))
            ops << hex(r.data.mid(1, 3));
        QCOMPARE(ops, QStringList({"04 01 03", "04 02 03", "04 03 03", "04 04 03"}));
        QCOMPARE(h.hidIdle, true);
    }

    void failedOpenClearsPathAndLaterCommandsFailAtOnce() {
        connectMouse("553", 32, false);
        if (QTest::currentTestFailed())
            return;
        VirtualMouse &vm = VirtualMouse::instance();
        vm.failNext("open", 1, "command");
        hid->hid553_0BH_SetCurrentDPI(2);
        QVERIFY(hid->deviceList().at(0).commandPath.isEmpty());
        QVERIFY(!hid->deviceList().at(0).eventPath.isEmpty());
        QCOMPARE(hid->hidIdle, true);
        vm.clearWireLog();
        uchar a = 4;
        hid->hid553_8BH_GetCurrentDPI(a);
        QByteArray m(64, '\x02');
        hid->hid553_12H_SetKeyMatrix(u(m), 1);
        QCOMPARE(int(a), 4);
        QCOMPARE(vm.wireLog().size(), 0);
        QCOMPARE(hid->hidIdle, true);
        QVERIFY(!hid->chkDeviceIsEnCode(0));
    }

    // Exchanges that break part-way: the token is back, nothing is left open,
    // and read commands hand back the caller's values.
    void failedExchanges_data() {
        QTest::addColumn<QString>("op");
        QTest::newRow("feature send") << "set_feature";
        QTest::newRow("feature reply") << "get_feature";
        QTest::newRow("open") << "open";
    }
    void failedExchanges() {
        QFETCH(QString, op);
        connectMouse("553", 32, false);
        if (QTest::currentTestFailed())
            return;
        VirtualMouse &vm = VirtualMouse::instance();
        hid->hid553_03H_SetKeyboardoption(1, 2, 3, 4);
        vm.failNext(op, 1, "command");
        uchar a = 0x10, b = 0x20, c = 0x30, d = 0x40;
        hid->hid553_83H_GetKeyboardoption(a, b, c, d);
        QCOMPARE(QList<int>({a, b, c, d}), QList<int>({0x10, 0x20, 0x30, 0x40}));
        QCOMPARE(hid->hidIdle, true);
        int opens = 0, closes = 0;
        for (const WireRecord &r : wire({"open", "close"}))
            (r.op == "open" ? opens : closes)++;
        QCOMPARE(opens, closes);
        // Only a failed open forgets the path.
        QCOMPARE(hid->deviceList().at(0).commandPath.isEmpty(), op == "open");
    }

    // 0x8C keeps every byte of the caller's image that did not arrive.
    void profileReadKeepsMissingBytes_data() {
        QTest::addColumn<int>("reportLength");
        QTest::addColumn<QString>("op");
        QTest::addColumn<int>("received"); // bytes taken from the mouse
        QTest::newRow("feature fails, 32") << 32 << "set_feature" << 0;
        QTest::newRow("reply fails, 64") << 64 << "get_feature" << 0;
        QTest::newRow("first report fails, 32") << 32 << "read" << 0;
    }
    void profileReadKeepsMissingBytes() {
        QFETCH(int, reportLength);
        QFETCH(QString, op);
        QFETCH(int, received);
        connectMouse("560", reportLength, false);
        if (QTest::currentTestFailed())
            return;
        QByteArray img = pattern(128, 5, 3);
        hid->hid560_0CH_setProfile(u(img), 1);
        VirtualMouse::instance().failNext(op, 1, "command");
        const QByteArray mine(128, '\x77');
        QByteArray buf = mine;
        hid->hid560_8CH_readProfile(u(buf), 1);
        QCOMPARE(hex(buf.left(received)), hex(img.left(received)));
        QCOMPARE(hex(buf.mid(received)), hex(mine.mid(received)));
        QCOMPARE(hid->hidIdle, true);
    }

    // Data reports that stop coming (here: the mouse sends two 64-byte
    // reports where the entry expects four of 32): the wait for the missing
    // ones is bounded, what arrived is kept, the rest stays the caller's.
    void profileReadPartialDataIsBounded() {
        connectMouse("560", 64, false);
        if (QTest::currentTestFailed())
            return;
        QByteArray img = pattern(128, 9, 1);
        hid->hid560_0CH_setProfile(u(img), 2);
        DeviceEntry narrow = entryFor(dev, spec);
        narrow.reportLength = 32;
        hid->setDeviceList({narrow});
        QByteArray buf(128, '\x66');
        const QByteArray mine = buf;
        QElapsedTimer timer;
        timer.start();
        hid->hid560_8CH_readProfile(u(buf), 2);
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(hex(buf.left(32)), hex(img.left(32)));
        QCOMPARE(hex(buf.mid(32, 32)), hex(img.mid(64, 32)));
        QCOMPARE(hex(buf.mid(64)), hex(mine.mid(64)));
        QCOMPARE(hid->hidIdle, true);
    }

    void silentMouseDataReadIsBounded() {
        connectMouse("560", 32, false);
        if (QTest::currentTestFailed())
            return;
        VirtualMouse &vm = VirtualMouse::instance();
        vm.setSilent(true, dev);
        QByteArray buf(128, '\x33');
        const QByteArray before = buf;
        QElapsedTimer timer;
        timer.start();
        hid->hid560_8CH_readProfile(u(buf), 1);
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(hex(buf), hex(before));
        QCOMPARE(hid->hidIdle, true);
    }

    // The presence check: the challenge must come back through the same
    // scrambling the mouse uses, and only a real exchange counts.
    void presenceCheck_data() {
        QTest::addColumn<bool>("deviceEncode");
        QTest::addColumn<QString>("deviceCode");
        QTest::addColumn<bool>("entryEncode");
        QTest::addColumn<QString>("entryCode");
        QTest::addColumn<QString>("loadedBefore");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<bool>("expected");
        QTest::newRow("plain") << false << "SKARN1" << false << "SKARN1"
                               << "SKARN1" << false << true;
        QTest::newRow("plain ignores the code") << false << "SKARN1" << false << "OTHER1"
                                                << "SKARN1" << false << true;
        QTest::newRow("scrambled, right code") << true << "QWERTY" << true << "QWERTY"
                                               << "SKARN1" << false << true;
        QTest::newRow("scrambled, wrong code") << true << "QWERTY" << true << "QWERTZ"
                                               << "QWERTY" << false << false;
        QTest::newRow("mouse scrambles, entry does not") << true << "QWERTY" << false << "QWERTY"
                                                         << "QWERTY" << false << false;
        QTest::newRow("entry scrambles, mouse does not") << false << "QWERTY" << true << "QWERTY"
                                                         << "QWERTY" << false << false;
        QTest::newRow("short code keeps the loaded one") << true << "QWERTY" << true << "QWE"
                                                         << "QWERTY" << false << true;
        QTest::newRow("long code keeps the loaded one") << true << "QWERTY" << true << "QWERTYU"
                                                        << "SKARN1" << false << false;
        QTest::newRow("empty code keeps the loaded one") << true << "ASDFGH" << true << ""
                                                         << "ASDFGH" << false << true;
        QTest::newRow("token busy") << false << "SKARN1" << false << "SKARN1"
                                    << "SKARN1" << true << false;
    }
    void presenceCheck() {
        QFETCH(bool, deviceEncode);
        QFETCH(QString, deviceCode);
        QFETCH(bool, entryEncode);
        QFETCH(QString, entryCode);
        QFETCH(QString, loadedBefore);
        QFETCH(bool, busy);
        QFETCH(bool, expected);
        freshMouse();
        VirtualMouse &vm = VirtualMouse::instance();
        const QJsonObject target = mouseSpec("553", 32, deviceEncode, deviceCode, "7001");
        const QJsonObject loader = mouseSpec("553", 32, true, loadedBefore, "7002");
        const int d0 = vm.attach(target);
        const int d1 = vm.attach(loader);
        DeviceEntry e = entryFor(d0, target);
        e.isEncode = entryEncode;
        e.sCode = entryCode;
        Hid_Thread h;
        h.setDeviceList({e, entryFor(d1, loader)});
        QVERIFY(h.chkDeviceIsEnCode(1)); // leaves its code loaded
        QCOMPARE(h.currentIndex.load(), 1);
        h.hidIdle = !busy;
        if (busy)
            QTest::ignoreMessage(QtDebugMsg, "cmd Failed 00");
        vm.clearWireLog();
        QCOMPARE(h.chkDeviceIsEnCode(0), expected);
        QCOMPARE(h.currentIndex.load(), 0);
        QCOMPARE(traffic().size(), busy ? 0 : 2);
    }

    // Each check draws a new challenge.
    void presenceChallengeVaries() {
        connectMouse("553", 32, false);
        QSet<QString> challenges;
        for (int i = 0; i < 8; ++i) {
            VirtualMouse::instance().clearWireLog();
            QVERIFY(hid->chkDeviceIsEnCode(0));
            challenges << hex(wire({"set_feature"}).first().data.mid(2, 4));
        }
        QVERIFY(challenges.size() > 4);
    }

    // No list yet, or an index outside it: fail at once, give the token back.
    void commandsWithoutDevice_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("index");
        QTest::newRow("before any detection") << 0 << 1;
        QTest::newRow("index past the end") << 1 << 1;
        QTest::newRow("negative index") << 1 << -1;
    }
    void commandsWithoutDevice() {
        QFETCH(int, entries);
        QFETCH(int, index);
        freshMouse();
        VirtualMouse &vm = VirtualMouse::instance();
        const QJsonObject s = mouseSpec("553", 32, false);
        const int d = vm.attach(s);
        Hid_Thread h;
        QList<DeviceEntry> list;
        for (int i = 0; i < entries; ++i)
            list << entryFor(d, s);
        h.setDeviceList(list);
        h.currentIndex = index;
        uchar a = 1, b = 2, c = 3, e = 4;
        h.hid553_83H_GetKeyboardoption(a, b, c, e);
        QCOMPARE(QList<int>({a, b, c, e}), QList<int>({1, 2, 3, 4}));
        QByteArray m(128, '\x09');
        h.hid553_13H_SetMacroKey(1, u(m));
        h.hid560_03H_SetReportRate(1);
        QCOMPARE(h.hidIdle, true);
        QCOMPARE(traffic().size(), 0);
        QCOMPARE(vm.nowMs(), 0);
    }
};

QTEST_GUILESS_MAIN(TstDeviceWire)
#include "tst_device_wire.moc"
