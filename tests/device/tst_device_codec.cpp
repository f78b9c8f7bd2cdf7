// Checksum and block scrambling: pure functions of the HID object.
#include "device_test_support.h"

#include <QRandomGenerator>
#include <QTest>

using namespace devtest;

class TstDeviceCodec : public QObject {
    Q_OBJECT
    Hid_Thread hid;

    static QByteArray code(const QString &six, uchar b0 = 0, uchar b7 = 0) {
        QByteArray c(8, '\0');
        c[0] = static_cast<char>(b0);
        for (int i = 0; i < 6; ++i)
            c[i + 1] = six.at(i).toLatin1();
        c[7] = static_cast<char>(b7);
        return c;
    }
    uchar *u(QByteArray &b) { return reinterpret_cast<uchar *>(b.data()); }

private slots:
    void checksum_data() {
        QTest::addColumn<QByteArray>("seven");
        QTest::addColumn<int>("expected");
        QTest::newRow("opcode 01 param 02") << bytes("01020000000000") << 0xFC;
        QTest::newRow("all zero") << bytes("00000000000000") << 0xFF;
        QTest::newRow("sum exactly 256") << bytes("80800000000000") << 0xFF;
        QTest::newRow("sum 512") << bytes("FFFF0200000000") << 0xFF;
        QTest::newRow("sum 255") << bytes("FF000000000000") << 0x00;
        QTest::newRow("all FF, sum 0x6F9") << bytes("FFFFFFFFFFFFFF") << 0x06;
        QTest::newRow("key matrix 12 03 40 08") << bytes("12034008000000") << 0xA2;
        QTest::newRow("dpi set 11 03 08") << bytes("11030800000000") << 0xE3;
        QTest::newRow("byte 7 ignored") << bytes("0102000000000077") << 0xFC;
    }
    void checksum() {
        QFETCH(QByteArray, seven);
        QFETCH(int, expected);
        QCOMPARE(int(hid.hidCS(u(seven))), expected);
    }

    void scrambleKnownBlocks_data() {
        QTest::addColumn<QString>("sCode");
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("dpi set, default code")
            << "SKARN1" << bytes("11030800000000E3") << bytes("A5F959EA437EB6B2");
        QTest::newRow("zero block")
            << "SKARN1" << bytes("00000000000000FF") << bytes("A5F9B9EA4BF6B672");
        QTest::newRow("key matrix")
            << "SKARN1" << bytes("12034008000000A2") << bytes("A5FB61EA4366F872");
        QTest::newRow("other code")
            << "ABCDEF" << bytes("0012345678000000") << bytes("A42629FA6BADAF12");
    }
    void scrambleKnownBlocks() {
        QFETCH(QString, sCode);
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, wire);
        QByteArray c = code(sCode);
        QByteArray b = plain;
        hid.USBDataEncryption(u(b), u(c));
        QCOMPARE(hex(b), hex(wire));
        hid.USBDataDecipher(u(b), u(c));
        QCOMPARE(hex(b), hex(plain));
    }

    // Random blocks and codes: the inverse restores every block, the
    // firmware model agrees byte for byte, and code bytes 0 and 7 play no part.
    void scrambleRandomRoundTrips() {
        QRandomGenerator rng(20261207);
        for (int round = 0; round < 2000; ++round) {
            QByteArray plain(8, '\0');
            QByteArray c(8, '\0');
            for (int i = 0; i < 8; ++i) {
                plain[i] = static_cast<char>(rng.bounded(256));
                c[i] = static_cast<char>(rng.bounded(256));
            }
            QByteArray b = plain;
            hid.USBDataEncryption(u(b), u(c));

            QByteArray model = plain;
            VirtualMouse::scramble(reinterpret_cast<uint8_t *>(model.data()),
                                   reinterpret_cast<const uint8_t *>(c.constData()));
            QCOMPARE(hex(b), hex(model));

            QByteArray c2 = c;
            c2[0] = static_cast<char>(~c[0]);
            c2[7] = static_cast<char>(c[7] ^ 0x5A);
            QByteArray b2 = plain;
            hid.USBDataEncryption(u(b2), u(c2));
            QCOMPARE(hex(b2), hex(b));

            hid.USBDataDecipher(u(b), u(c2));
            QCOMPARE(hex(b), hex(plain));
        }
    }

    // Scrambling must really depend on every code byte 1..6; a code that is
    // ignored would still round-trip.
    void scrambleUsesCodeBytesOneToSix() {
        const QByteArray plain = bytes("11030800000000E3");
        QByteArray base = plain;
        QByteArray c = code("SKARN1");
        hid.USBDataEncryption(u(base), u(c));
        for (int i = 1; i <= 6; ++i) {
            QByteArray c2 = c;
            c2[i] = static_cast<char>(c2[i] ^ 0x01);
            QByteArray b = plain;
            hid.USBDataEncryption(u(b), u(c2));
            QVERIFY2(b != base, qPrintable(QString("code byte %1 ignored").arg(i)));
        }
    }
};

QTEST_GUILESS_MAIN(TstDeviceCodec)
#include "tst_device_codec.moc"
