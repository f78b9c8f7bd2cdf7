// Every command on the wire (feature and data reports, the pauses between
// them), plain and scrambled, with 32- and 64-byte data reports; the busy
// token; failed exchanges and what callers get back.
#include "device_test_support.h"

#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace devtest;

using Invoke = std::function<void(Hid_Thread &)>;
#define CMD(code) Invoke([=](Hid_Thread &h) mutable { code; })

namespace {

enum Kind { Settle, Plus8, Read };

QByteArray pattern(int n, int mul) {
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i)
        b[i] = char(i * mul + 1);
    return b;
}

struct Row {
    const char *name, *family;
    Invoke call;
    const char *blocks; // plain blocks (bytes 0..6), space-separated
    QByteArray payload; // what the data reports carry
    Kind kind;
    int readBytes;
};

QList<Row> rows() {
    QByteArray m64 = pattern(64, 3), m128 = pattern(128, 7), led = pattern(24, 11);
    QByteArray dpi = bytes("0204080C10808080"), rgb = bytes("10E0FF");
    uchar a = 0x11, b = 0x22, c = 0x33, d = 0x44, three = 3;
    // clang-format off
    return {
        {"553 01", "553", CMD(h.hid553_01H_SetReportRate(4)), "0104", {}, Settle, 0},
        {"553 02", "553", CMD(h.hid553_02H_SetCurrentKeyMatrix(2)), "0202", {}, Settle, 0},
        {"553 03", "553", CMD(h.hid553_03H_SetKeyboardoption(1, 2, 3, 0x44)), "0301020344", {}, Plus8, 0},
        {"553 04 b1 zero", "553", CMD(h.hid553_04H_SetGunData(5, 6, 7, 2)), "040005060702", {}, Plus8, 0},
        {"553 0B", "553", CMD(h.hid553_0BH_SetCurrentDPI(3)), "0B03", {}, Settle, 0},
        {"553 0C", "553", CMD(h.hid553_0CH_SetFixLEDColor(u(rgb))), "0C10E0FF", {}, Settle, 0},
        {"553 0D", "553", CMD(h.hid553_0DH_SetRGBLedEffect(2, 5, 9)), "0D020509", {}, Settle, 0},
        {"553 10 type 2", "553", CMD(h.hid553_10H_SetLED8StageColor(2, u(led))), "100204", led.left(4), Settle, 0},
        {"553 10 type 1", "553", CMD(h.hid553_10H_SetLED8StageColor(1, u(led))), "100118", led, Settle, 0},
        {"553 11", "553", CMD(h.hid553_11H_SetDPISet(3, u(dpi))), "110308", dpi, Settle, 0},
        {"553 12", "553", CMD(h.hid553_12H_SetKeyMatrix(u(m64), 3)), "12034008", m64, Settle, 0},
        {"553 13", "553", CMD(h.hid553_13H_SetMacroKey(12, u(m128))), "130C80", m128, Settle, 0},
        {"553 00", "553", CMD(h.hid553_00H_GetSecrecyCode(a, b, c, d)), "0011223344", {}, Read, 0},
        {"553 83", "553", CMD(h.hid553_83H_GetKeyboardoption(a, b, c, d)), "83", {}, Read, 0},
        {"553 8B", "553", CMD(h.hid553_8BH_GetCurrentDPI(a)), "8B", {}, Read, 0},
        {"560 01", "560", CMD(h.hid560_01H_SetKeyboardoption(9, 10)), "01090A", {}, Plus8, 0},
        {"560 02", "560", CMD(h.hid560_02H_SetCurrentProfile(1)), "0201", {}, Plus8, 0},
        {"560 03", "560", CMD(h.hid560_03H_SetReportRate(2)), "030102 030202 030302 030402", {}, Settle, 0},
        {"560 04", "560", CMD(h.hid560_04H_SetCurrentDPI(5)), "040105 040205 040305 040405", {}, Settle, 0},
        {"560 0C", "560", CMD(h.hid560_0CH_setProfile(u(m128), 2)), "0C0280", m128, Settle, 0},
        {"560 0D padded", "560", CMD(h.hid560_0DH_SetKeyMatrix(u(m64), 1)), "0D0180", m64 + QByteArray(64, 0), Settle, 0},
        {"560 0F", "560", CMD(h.hid560_0FH_SetMacroKey(7, u(m128))), "0F0780", m128, Settle, 0},
        {"560 81", "560", CMD(h.hid560_81H_GetKeyboardoption(a, b)), "81", {}, Read, 0},
        {"560 82", "560", CMD(h.hid560_82H_GetCurrentProfile(a)), "82", {}, Read, 0},
        {"560 84 sends byte1", "560", CMD(h.hid560_84H_GetCurrentDPI(three, b)), "8403", {}, Read, 0},
        {"560 8C", "560", CMD(h.hid560_8CH_readProfile(u(m128), 2)), "8C02", {}, Read, 128},
    };
    // clang-format on
}

} // namespace

class TstDeviceWire : public QObject {
    Q_OBJECT
    QJsonObject config;
    int dev = 0;
    std::unique_ptr<Hid_Thread> hid;

    bool connectMouse(const QString &family, int reportLength, bool encode) {
        freshMouse();
        config = deviceJson(family, reportLength, encode);
        dev = VirtualMouse::instance().attach(config);
        hid = std::make_unique<Hid_Thread>();
        hid->setDeviceFlags(family, false);
        hid->setDeviceList({entryFor(dev, config)});
        const bool ok = hid->chkDeviceIsEnCode(0); // loads the scrambling code
        VirtualMouse::instance().clearWireLog();
        return ok;
    }
    // The feature report of a plain block: checksum added and scrambled by
    // the mouse's own model.
    QByteArray onWire(const QByteArray &plain) const {
        QByteArray b = plain + QByteArray(7 - plain.size(), '\0');
        b.append(char(VirtualMouse::checksum(reinterpret_cast<const uint8_t *>(b.constData()))));
        uint8_t code[8] = {};
        for (int i = 0; i < 6; ++i)
            code[i + 1] = uint8_t(config["sCode"].toString().at(i).toLatin1());
        if (config["isEncode"].toBool())
            VirtualMouse::scramble(reinterpret_cast<uint8_t *>(b.data()), code);
        return '\0' + b;
    }

private slots:
    void commandsOnTheWire_data() {
        QTest::addColumn<int>("reportLength");
        QTest::addColumn<bool>("encode");
        QTest::addColumn<int>("row");
        for (int i = 0; i < rows().size(); ++i)
            for (int len : {32, 64})
                for (bool enc : {false, true})
                    QTest::addRow("%s, %d%s", rows().at(i).name, len, enc ? ", scrambled" : "")
                        << len << enc << i;
    }
    void commandsOnTheWire() {
        QFETCH(int, reportLength);
        QFETCH(bool, encode);
        QFETCH(int, row);
        const Row r = rows().at(row);
        QVERIFY(connectMouse(r.family, reportLength, encode));
        VirtualMouse &vm = VirtualMouse::instance();
        const qint64 start = vm.nowMs();
        r.call(*hid);

        // Expected reports and, for writes, the pause after each of them.
        QStringList expected;
        QList<int> gaps;
        const int k = qMin(qMax<int>(r.payload.size(), r.readBytes), reportLength);
        for (const QString &b : QString(r.blocks).split(' ')) {
            expected << "set_feature " + hex(onWire(QByteArray::fromHex(b.toLatin1())));
            if (r.kind == Read)
                expected << "get_feature";
            gaps << (r.kind == Plus8 ? 8 : r.kind == Settle ? 128 : 0);
            for (int off = 0; off < r.payload.size(); off += k) {
                const QByteArray rep = '\0' + r.payload.mid(off, k);
                expected << "write " + hex(rep + QByteArray(reportLength + 1 - rep.size(), '\0'));
                gaps << 120;
            }
            if (!r.payload.isEmpty())
                gaps.last() += 128;
        }
        for (int off = 0; off < r.readBytes; off += k)
            expected << "read";
        QStringList got;
        QList<qint64> times{start}; // of the outgoing reports, then the end
        for (const WireRecord &w : wire()) {
            // Replies depend on the mouse's state; other tests check them.
            const bool out = w.op == "write" || w.op == "set_feature";
            got << (out ? w.op + " " + hex(w.data) : w.op);
            if (out)
                times << w.t;
        }
        times << vm.nowMs();
        QList<int> measured;
        for (int i = 2; i < times.size(); ++i)
            measured << int(times[i] - times[i - 1]);
        QCOMPARE(times[1], start);
        QCOMPARE(got, expected);
        QCOMPARE(measured, gaps);
        QCOMPARE(vm.violations(), QStringList());
        QVERIFY(hid->hidIdle);
    }

    // The per-profile commands hold the token to their last block; a gun
    // mouse gets profile 1 only.
    void perProfile() {
        for (bool gun : {false, true}) {
            QVERIFY(connectMouse("560", 32, false));
            hid->setDeviceFlags("560", gun);
            QTimer competitor; // tries to get in between the blocks, once
            connect(&competitor, &QTimer::timeout, hid.get(), [&] {
                if (wire({"set_feature"}).size() == 1 && competitor.isActive()) {
                    competitor.stop();
                    hid->hid560_02H_SetCurrentProfile(2);
                }
            });
            competitor.start(0);
            if (!gun)
                QTest::ignoreMessage(QtDebugMsg, "cmd Failed 02");
            hid->hid560_04H_SetCurrentDPI(3);
            QStringList got;
            for (const WireRecord &r : wire({"set_feature"}))
                got << hex(r.data.mid(1, 3));
            QCOMPARE(got, (gun ? QStringList{"04 01 03"}
                               : QStringList{"04 01 03", "04 02 03", "04 03 03", "04 04 03"}));
            QVERIFY(hid->hidIdle);
        }
    }

    // The checksum covers all seven bytes before it, and only those. A
    // longer payload sent before must not show through the 560 matrix's
    // padding.
    void checksumAndPadding() {
        QByteArray b = bytes("FFFFFFFFFFFFFF77");
        QCOMPARE(Hid_Thread().hidCS(u(b)), uchar(0x06));
        QVERIFY(connectMouse("560", 64, true));
        QByteArray img = pattern(128, 13), m64 = pattern(64, 3);
        hid->hid560_0CH_setProfile(u(img), 4);
        VirtualMouse::instance().clearWireLog();
        hid->hid560_0DH_SetKeyMatrix(u(m64), 1);
        QCOMPARE(hex(wire({"write"}).last().data), hex(QByteArray(65, '\0')));
    }

    // Broken exchanges: the caller's values (for 0x8C every byte that did not
    // arrive) come back, the token is free, nothing stays open; a failed open
    // forgets the path. A data report that never comes ends the wait ("narrow":
    // the mouse sends two 64-byte reports where the entry expects four of 32).
    void failedExchanges_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QList<int>>("received"); // image offsets that arrive, in 32-byte steps
        QTest::newRow("feature send") << "set_feature" << QList<int>{};
        QTest::newRow("feature reply") << "get_feature" << QList<int>{};
        QTest::newRow("open") << "open" << QList<int>{};
        QTest::newRow("first data report") << "read" << QList<int>{};
        QTest::newRow("reports stop coming") << "narrow" << QList<int>{0, 64};
    }
    void failedExchanges() {
        QFETCH(QString, fault);
        QFETCH(QList<int>, received);
        const bool is560 = fault == "narrow" || fault == "read";
        QVERIFY(connectMouse(is560 ? "560" : "553", 64, false));
        VirtualMouse &vm = VirtualMouse::instance();
        QByteArray img = pattern(128, 5), buf(128, '\x77'), expected = buf;
        is560 ? hid->hid560_0CH_setProfile(u(img), 1)
              : hid->hid553_03H_SetKeyboardoption(1, 2, 3, 4);
        DeviceEntry e = entryFor(dev, config);
        e.reportLength = 32;
        fault == "narrow" ? hid->setDeviceList({e}) : vm.failNext(fault, 1, "command");
        uchar a = 0x10, b = 0x20, c = 0x30, d = 0x40;
        if (is560)
            hid->hid560_8CH_readProfile(u(buf), 1);
        else
            hid->hid553_83H_GetKeyboardoption(a, b, c, d);
        for (int i = 0; i < received.size(); ++i)
            expected.replace(32 * i, 32, img.mid(received[i], 32));
        QCOMPARE(hex(buf), hex(expected));
        QCOMPARE(QList<int>({a, b, c, d}), QList<int>({0x10, 0x20, 0x30, 0x40}));
        QVERIFY(hid->hidIdle);
        QCOMPARE(wire({"open"}).size(), wire({"close"}).size());
        QCOMPARE(hid->deviceList().at(0).commandPath.isEmpty(), fault == "open");
        vm.clearWireLog();
        if (fault == "open")
            QVERIFY(!hid->chkDeviceIsEnCode(0) && vm.wireLog().isEmpty());
    }

    // The presence check (the detection's, see the list test) fails at once
    // without a list or with an index outside it, and counts only a real
    // exchange; a code of the wrong length leaves the one loaded before.
    void presenceCheck() {
        freshMouse();
        VirtualMouse &vm = VirtualMouse::instance();
        const QJsonObject target = deviceJson("553", 32, true, "QWERTY", "7001");
        const QJsonObject loader = deviceJson("553", 32, true, "QWERTY", "7002");
        DeviceEntry e = entryFor(vm.attach(target), target);
        e.sCode = "QWE";
        Hid_Thread h;
        for (int index : {0, 2, -1}) {
            QVERIFY(!h.chkDeviceIsEnCode(index));
            h.setDeviceList({e});
        }
        QCOMPARE(vm.wireLog().size(), 0);
        h.setDeviceList({e, entryFor(vm.attach(loader), loader)});
        QVERIFY(h.chkDeviceIsEnCode(1)); // leaves its code loaded
        QVERIFY(h.chkDeviceIsEnCode(0));
        h.hidIdle = false;
        QTest::ignoreMessage(QtDebugMsg, "cmd Failed 00");
        vm.clearWireLog();
        QVERIFY(!h.chkDeviceIsEnCode(0));
        QCOMPARE(wire().size(), 0);
    }
};

QTEST_GUILESS_MAIN(TstDeviceWire)
#include "tst_device_wire.moc"
