#include "dpi_codes.h"
#include "gun_presets.h"
#include "lighting.h"
#include "profile_images.h"

#include <QtTest>

class TestDeviceBytes : public QObject {
    Q_OBJECT
private slots:
    void dpiCode_data();
    void dpiCode();
    void highBitMaskOnlyFor3389();
    void stageMask_data();
    void stageMask();
    void stagesBeyondCountOff553();
    void dpiImageBytes();
    void colourEffect_data();
    void colourEffect();
    void singleColourEffect_data();
    void singleColourEffect();
    void colourBytesFromShortList();
    void gunImageBytes();
    void gunY553_data();
    void gunY553();
    void imagesOutOfRange();
};

void TestDeviceBytes::dpiCode_data() {
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("code");

    QTest::newRow("4090 800") << "4090" << 800 << 7;
    QTest::newRow("4090 5000") << "4090" << 5000 << 49;
    QTest::newRow("4090 5001") << "4090" << 5001 << (25 | 0x40);
    QTest::newRow("4090 5200") << "4090" << 5200 << 0x5A;
    QTest::newRow("4090 12000") << "4090" << 12000 << 0x7C;
    QTest::newRow("4090 50") << "4090" << 50 << 0xFF;
    QTest::newRow("3360 800") << "3360" << 800 << 7;
    QTest::newRow("3360 12000") << "3360" << 12000 << 119;
    QTest::newRow("3050 250") << "3050" << 250 << 1;
    QTest::newRow("3050 251") << "3050" << 251 << 2;
    QTest::newRow("3050 0") << "3050" << 0 << 1;
    QTest::newRow("3050 2000") << "3050" << 2000 << 8;
    QTest::newRow("3050 2001") << "3050" << 2001 << 0x45;
    QTest::newRow("3050 2200") << "3050" << 2200 << 0x45;
    QTest::newRow("3050 3001") << "3050" << 3001 << 0x47;
    QTest::newRow("3050 4000") << "3050" << 4000 << 0x48;
    QTest::newRow("3050 4500") << "3050" << 4500 << 0x48;
    QTest::newRow("3389 800") << "3389" << 800 << 16;
    QTest::newRow("3389 12799") << "3389" << 12799 << 255;
    QTest::newRow("3389 12800") << "3389" << 12800 << 0;
    QTest::newRow("3389 16000") << "3389" << 16000 << 0x40;
    QTest::newRow("unknown like 4090") << "9999" << 5200 << 0x5A;
    QTest::newRow("blank-padded like 4090") << "3360 " << 5200 << 0x5A;
    QTest::newRow("empty like 4090") << "" << 800 << 7;
}

void TestDeviceBytes::dpiCode() {
    QFETCH(QString, sensor);
    QFETCH(int, value);
    QFETCH(int, code);
    QCOMPARE(int(DpiCodes::code(value, sensor)), code);
}

void TestDeviceBytes::highBitMaskOnlyFor3389() {
    const QVariantList values = {800, 12800, 16000, 12799, 400, 20000, "13000", 100};
    auto c = DpiCodes::convert(values, QStringLiteral("3389"));
    QVERIFY(c.hasHighBits);
    QCOMPARE(int(c.highBits), 0x02 | 0x04 | 0x20 | 0x40);
    QCOMPARE(int(c.codes[6]), (13000 / 50) & 0xFF);

    c = DpiCodes::convert(values, QStringLiteral("4090"));
    QVERIFY(!c.hasHighBits);
    QCOMPARE(int(c.highBits), 0);
}

void TestDeviceBytes::stageMask_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("mask");
    QTest::newRow("negative") << -2 << 0;
    QTest::newRow("none") << 0 << 0;
    QTest::newRow("one") << 1 << 1;
    QTest::newRow("three") << 3 << 7;
    QTest::newRow("eight") << 8 << 0xFF;
    QTest::newRow("more than eight") << 12 << 0xFF;
}

void TestDeviceBytes::stageMask() {
    QFETCH(int, count);
    QFETCH(int, mask);
    QCOMPARE(int(DpiCodes::stageMask(count)), mask);
}

void TestDeviceBytes::stagesBeyondCountOff553() {
    const auto c = DpiCodes::convert({800, 1600, 2400, 3200, 4000, 4800, 5600, 6400}, "3360");
    const auto codes = DpiCodes::codesFor553(c, 3);
    const std::array<uchar, 8> expected = {7, 15, 23, 0x80, 0x80, 0x80, 0x80, 0x80};
    QCOMPARE(codes, expected);
    QCOMPARE(DpiCodes::codesFor553(c, 8), c.codes);
}

void TestDeviceBytes::dpiImageBytes() {
    // A short list: the missing stages convert from 0.
    for (const QString &sensor : {QStringLiteral("3389"), QStringLiteral("4090")}) {
        std::array<uchar, 128> img;
        img.fill(0xEE);
        const auto c = DpiCodes::convert({800, 16000, 1600}, sensor);
        DpiCodes::writeToImage(img.data(), c, DpiCodes::stageMask(3));
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(img[84 + i], c.codes[i]);
            QCOMPARE(img[92 + i], c.codes[i]);
        }
        QCOMPARE(int(img[100]), 7);
        const int high = sensor == QLatin1String("3389") ? 0x02 : 0xEE;
        QCOMPARE(int(img[82]), high);
        QCOMPARE(int(img[83]), high);
        QCOMPARE(int(img[81]), 0xEE);
        QCOMPARE(int(img[101]), 0xEE);
    }
}

void TestDeviceBytes::colourEffect_data() {
    QTest::addColumn<int>("effect");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("brightness");
    QTest::addColumn<QList<int>>("evo");

    QTest::newRow("static") << 0 << 2 << 3 << QList<int>{1, 192, 0};
    QTest::newRow("static brightness 0") << 0 << 2 << 0 << QList<int>{1, 0, 0};
    QTest::newRow("breath") << 1 << 0 << 4 << QList<int>{3, 0, 10};
    QTest::newRow("breath speed 5") << 1 << 5 << 4 << QList<int>{3, 0, 0};
    QTest::newRow("neon") << 2 << 4 << 1 << QList<int>{4, 0, 1};
    QTest::newRow("off") << 3 << 2 << 2 << QList<int>{0, 0, 0};
    QTest::newRow("twinkling") << 4 << 1 << 1 << QList<int>{2, 64, 0};
    QTest::newRow("wave") << 5 << 3 << 4 << QList<int>{5, 255, 3};
    QTest::newRow("gliding") << 6 << 3 << 4 << QList<int>{6, 0, 0};
    QTest::newRow("finger moving") << 7 << 3 << 2 << QList<int>{7, 128, 0};
    QTest::newRow("vertical flipping") << 8 << 1 << 2 << QList<int>{8, 128, 17};
    QTest::newRow("yo-yo") << 9 << 3 << 2 << QList<int>{9, 128, 7};
    QTest::newRow("spotlight") << 10 << 4 << 9 << QList<int>{10, 0, 20};
    QTest::newRow("effect 11") << 11 << 1 << 1 << QList<int>{0, 0, 0};
    QTest::newRow("effect 255") << 255 << 1 << 1 << QList<int>{0, 0, 0};
}

void TestDeviceBytes::colourEffect() {
    QFETCH(int, effect);
    QFETCH(int, speed);
    QFETCH(int, brightness);
    QFETCH(QList<int>, evo);
    const auto b = Lighting::colourEffect(uchar(effect), uchar(speed), uchar(brightness));
    QCOMPARE((QList<int>{b.effect, b.value, b.option}), evo);
}

void TestDeviceBytes::singleColourEffect_data() {
    QTest::addColumn<int>("effect");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("brightness");
    QTest::addColumn<QList<int>>("evo");

    QTest::newRow("static") << 0 << 9 << 0 << QList<int>{1, 1, 1};
    QTest::newRow("static brightest") << 0 << 0 << 4 << QList<int>{1, 10, 1};
    QTest::newRow("static index 5") << 0 << 0 << 5 << QList<int>{1, 0, 1};
    QTest::newRow("breath") << 1 << 2 << 0 << QList<int>{2, 3, 1};
    QTest::newRow("neon") << 2 << 1 << 0 << QList<int>{3, 24, 1};
    QTest::newRow("neon index 7") << 2 << 7 << 0 << QList<int>{3, 0, 1};
    QTest::newRow("off") << 3 << 1 << 1 << QList<int>{0, 0, 0};
    QTest::newRow("breath loop") << 4 << 4 << 0 << QList<int>{2, 5, 3};
    QTest::newRow("wave is off here") << 5 << 1 << 1 << QList<int>{0, 0, 0};
}

void TestDeviceBytes::singleColourEffect() {
    QFETCH(int, effect);
    QFETCH(int, speed);
    QFETCH(int, brightness);
    QFETCH(QList<int>, evo);
    const auto b = Lighting::singleColourEffect(uchar(effect), uchar(speed), uchar(brightness));
    QCOMPARE((QList<int>{b.effect, b.value, b.option}), evo);
}

void TestDeviceBytes::colourBytesFromShortList() {
    const auto b = Lighting::colourBytes({255, 300, "17", -1});
    QCOMPARE(int(b[0]), 255);
    QCOMPARE(int(b[1]), 300 & 0xFF);
    QCOMPARE(int(b[2]), 17);
    QCOMPARE(int(b[3]), 0xFF);
    for (int i = 4; i < 24; ++i)
        QCOMPARE(int(b[i]), 0);
}

void TestDeviceBytes::gunImageBytes() {
    std::array<uchar, 128> img;
    img.fill(0xFF);
    GunPresets::writeToImage(img.data(), {3, 258, "10"});
    QCOMPARE(int(img[78]), 0xF0);
    QCOMPARE(int(img[79]), 3);
    QCOMPARE(int(img[80]), 2);
    QCOMPARE(int(img[81]), 10);
    QCOMPARE(int(img[65]), 0xFB);
    QCOMPARE(int(img[64]), 0xFF);
    QCOMPARE(int(img[82]), 0xFF);

    img.fill(0x00);
    GunPresets::writeToImage(img.data(), {}); // a short list counts as zeros
    QCOMPARE(int(img[78]), 0xF0);
    QCOMPARE(int(img[81]), 0);
}

void TestDeviceBytes::gunY553_data() {
    QTest::addColumn<QVariant>("y");
    QTest::addColumn<int>("option3");
    QTest::addColumn<int>("sent");
    QTest::newRow("plain") << QVariant(10) << 0 << 10;
    QTest::newRow("mirrored") << QVariant(10) << 1 << 0xF6;
    QTest::newRow("mirrored by any non-zero") << QVariant(1) << 0x80 << 0xFF;
    QTest::newRow("zero stays zero") << QVariant(0) << 1 << 0;
    QTest::newRow("text") << QVariant("5") << 2 << 0xFB;
}

void TestDeviceBytes::gunY553() {
    QFETCH(QVariant, y);
    QFETCH(int, option3);
    QFETCH(int, sent);
    QCOMPARE(int(GunPresets::yFor553(y, uchar(option3))), sent);
}

void TestDeviceBytes::imagesOutOfRange() {
    ProfileImages images;
    QVERIFY(images.image(0));
    QVERIFY(images.image(4));
    QVERIFY(!images.image(-1));
    QVERIFY(!images.image(5));
    for (int i = 0; i < ProfileImages::kSize; ++i)
        QCOMPARE(int(images.image(2)[i]), 0);
}

QTEST_APPLESS_MAIN(TestDeviceBytes)
#include "tst_device_bytes.moc"
