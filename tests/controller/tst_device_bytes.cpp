#include "dpi_codes.h"
#include "lighting.h"

#include <QtTest>

// The per-sensor DPI codes and the lighting bytes; how they reach the
// mouse is covered with the virtual mouse.
class TestDeviceBytes : public QObject {
    Q_OBJECT
private slots:
    void dpiCode_data();
    void dpiCode();
    void effect_data();
    void effect();
};

void TestDeviceBytes::dpiCode_data() {
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<int>("highBits"); // -1: the sensor has none

    QTest::newRow("4090") << "4090" << QList<int>{800, 5000, 5001, 5200, 12000, 50, 100, 0}
                          << QList<int>{7, 49, 25 | 0x40, 0x5A, 0x7C, 0xFF, 0, 0xFF} << -1;
    QTest::newRow("3360") << "3360" << QList<int>{800, 12000, 5200, 100, 0, 0, 0, 0}
                          << QList<int>{7, 119, 51, 0, 0xFF, 0xFF, 0xFF, 0xFF} << -1;
    QTest::newRow("3050") << "3050" << QList<int>{250, 251, 0, 2000, 2001, 3001, 4000, 4500}
                          << QList<int>{1, 2, 1, 8, 0x45, 0x47, 0x48, 0x48} << -1;
    QTest::newRow("3389") << "3389" << QList<int>{800, 12799, 12800, 16000, 0, 20000, 50, 100}
                          << QList<int>{16, 255, 0, 0x40, 0, 400 & 0xFF, 1, 2} << 0x2C;
    QTest::newRow("unknown is 4090")
        << "9999" << QList<int>{5200, 800}
        << QList<int>{0x5A, 7, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF} << -1;
    QTest::newRow("blank-padded is 4090")
        << "3360 " << QList<int>{5200} << QList<int>{0x5A, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}
        << -1;
}

void TestDeviceBytes::dpiCode() {
    QFETCH(QString, sensor);
    QFETCH(QList<int>, values);
    QFETCH(QList<int>, codes);
    QFETCH(int, highBits);
    QVariantList list;
    for (int v : values)
        list << v; // fewer than eight: the rest count as 0
    const auto c = DpiCodes::convert(list, sensor);
    QList<int> got(c.codes.begin(), c.codes.end());
    QCOMPARE(got, codes);
    QCOMPARE(c.hasHighBits ? int(c.highBits) : -1, highBits);

    // In an image: codes twice, stage mask, high bits only when the sensor has them.
    std::array<uchar, 128> img;
    img.fill(0xEE);
    DpiCodes::writeToImage(img.data(), c, DpiCodes::stageMask(3));
    const QByteArray at = QByteArray(reinterpret_cast<const char *>(img.data()) + 82, 19);
    const QByteArray high(2, char(highBits < 0 ? 0xEE : highBits));
    const QByteArray sent(reinterpret_cast<const char *>(c.codes.data()), 8);
    QCOMPARE(at, high + sent + sent + char(7));
}

void TestDeviceBytes::effect_data() {
    QTest::addColumn<bool>("colourful");
    QTest::addColumn<QList<int>>("input"); // effect, speed index, brightness index
    QTest::addColumn<QList<int>>("evo");

    const QList<QList<int>> colour = {
        {0, 2, 3, 1, 192, 0}, {1, 0, 4, 3, 0, 10},   {1, 5, 4, 3, 0, 0},   {2, 4, 1, 4, 0, 1},
        {3, 2, 2, 0, 0, 0},   {4, 1, 1, 2, 64, 0},   {5, 3, 4, 5, 255, 3}, {6, 3, 4, 6, 0, 0},
        {7, 3, 2, 7, 128, 0}, {8, 3, 2, 8, 128, 13}, {9, 3, 2, 9, 128, 7}, {10, 4, 9, 10, 0, 20},
        {11, 1, 1, 0, 0, 0}};
    const QList<QList<int>> single = {{0, 9, 0, 1, 1, 1},  {0, 0, 4, 1, 10, 1}, {1, 2, 0, 2, 3, 1},
                                      {2, 1, 0, 3, 24, 1}, {3, 1, 1, 0, 0, 0},  {4, 4, 0, 2, 5, 3}};
    for (const auto &r : colour)
        QTest::addRow("colour %d/%d/%d", r[0], r[1], r[2]) << true << r.mid(0, 3) << r.mid(3);
    for (const auto &r : single)
        QTest::addRow("single %d/%d/%d", r[0], r[1], r[2]) << false << r.mid(0, 3) << r.mid(3);
}

void TestDeviceBytes::effect() {
    QFETCH(bool, colourful);
    QFETCH(QList<int>, input);
    QFETCH(QList<int>, evo);
    const auto in = [&](int i) { return uchar(input[i]); };
    const auto b = colourful ? Lighting::colourEffect(in(0), in(1), in(2))
                             : Lighting::singleColourEffect(in(0), in(1), in(2));
    QCOMPARE((QList<int>{b.effect, b.value, b.option}), evo);
}

QTEST_APPLESS_MAIN(TestDeviceBytes)
#include "tst_device_bytes.moc"
