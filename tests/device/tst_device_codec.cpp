// Checksum and block scrambling.
#include "device_test_support.h"

#include <QRandomGenerator>
#include <QTest>

using namespace devtest;

class TstDeviceCodec : public QObject {
    Q_OBJECT
    Hid_Thread hid;

    static QByteArray code(const char *six) { return '\0' + QByteArray(six) + '\0'; }

private slots:
    void checksum_data() {
        QTest::addColumn<QByteArray>("seven");
        QTest::addColumn<int>("expected");
        QTest::newRow("01 02") << bytes("01020000000000") << 0xFC;
        QTest::newRow("all zero") << bytes("00000000000000") << 0xFF;
        QTest::newRow("sum 256") << bytes("80800000000000") << 0xFF;
        QTest::newRow("sum 255") << bytes("FF000000000000") << 0x00;
        QTest::newRow("all FF") << bytes("FFFFFFFFFFFFFF") << 0x06;
        QTest::newRow("byte 7 not summed") << bytes("0102000000000077") << 0xFC;
    }
    void checksum() {
        QFETCH(QByteArray, seven);
        QFETCH(int, expected);
        QCOMPARE(int(hid.hidCS(u(seven))), expected);
    }

    void knownBlocks_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("dpi set") << code("SKARN1") << bytes("11030800000000E3")
                                 << bytes("A5F959EA437EB6B2");
        QTest::newRow("other code")
            << code("ABCDEF") << bytes("0012345678000000") << bytes("A42629FA6BADAF12");
    }
    void knownBlocks() {
        QFETCH(QByteArray, code);
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, wire);
        QByteArray b = plain;
        hid.USBDataEncryption(u(b), u(code));
        QCOMPARE(hex(b), hex(wire));
        hid.USBDataDecipher(u(b), u(code));
        QCOMPARE(hex(b), hex(plain));
    }

    // Random blocks and codes: the inverse restores the block, the mouse's
    // model agrees, code bytes 0 and 7 play no part and bytes 1..6 all do.
    void randomRoundTrips() {
        QRandomGenerator rng(20261207);
        for (int round = 0; round < 2000; ++round) {
            QByteArray plain(8, '\0'), c(8, '\0');
            for (int i = 0; i < 8; ++i) {
                plain[i] = char(rng.bounded(256));
                c[i] = char(rng.bounded(256));
            }
            QByteArray b = plain, model = plain, other = plain;
            hid.USBDataEncryption(u(b), u(c));
            VirtualMouse::scramble(reinterpret_cast<uint8_t *>(model.data()),
                                   reinterpret_cast<const uint8_t *>(c.constData()));
            QCOMPARE(hex(b), hex(model));

            QByteArray c2 = c;
            c2[0] = char(~c[0]);
            c2[7] = char(c[7] ^ 0x5A);
            c2[1 + round % 6] = char(c[1 + round % 6] ^ 0x01);
            hid.USBDataEncryption(u(other), u(c2));
            QVERIFY(other != b);
            c2[1 + round % 6] = c[1 + round % 6];
            hid.USBDataDecipher(u(b), u(c2));
            QCOMPARE(hex(b), hex(plain));
        }
    }
};

QTEST_GUILESS_MAIN(TstDeviceCodec)
#include "tst_device_codec.moc"
