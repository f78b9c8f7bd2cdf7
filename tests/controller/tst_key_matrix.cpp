#include "controller_test_support.h"
#include "key_matrix.h"

#include <QtTest>

using ctrltest::bytes;
using KeyMatrix::Matrix;

namespace {

QByteArray entryBytes(const Matrix &m, int pos) {
    return QByteArray(reinterpret_cast<const char *>(m.data()) + pos * 4, 4);
}

// 64 numbers with one entry put at a button, the rest mouse buttons.
QVariantList withEntry(int button, const QVariantList &entry) {
    QVariantList src;
    for (int i = 0; i < 16; ++i)
        src << 0 << 0 << 0xF0 << 0;
    for (int k = 0; k < 4; ++k)
        src[button * 4 + k] = entry.value(k);
    return src;
}

} // namespace

class TestKeyMatrix : public QObject {
    Q_OBJECT
private slots:
    void convertEntry_data();
    void convertEntry();
    void rotationMovesOnlyButtonsFiveToSeven();
    void gunSwitch_data();
    void gunSwitch();
};

void TestKeyMatrix::convertEntry_data() {
    QTest::addColumn<bool>("family560");
    QTest::addColumn<QVariantList>("entry");
    QTest::addColumn<QByteArray>("device");

    QTest::newRow("mouse button") << false << QVariantList{0, 0, 0xF0, 0} << bytes({1, 0, 0xF0, 0});
    QTest::newRow("double click") << false << QVariantList{0, 0xF0, 0x1E, 3}
                                  << bytes({0x0A, 0xF0, 0x1E, 3});
    QTest::newRow("rapid fire") << false << QVariantList{1, 4, 50, 3} << bytes({0x0A, 4, 50, 3});
    QTest::newRow("key combination") << false << QVariantList{2, 1, 4, 0} << bytes({0, 1, 4, 0});
    QTest::newRow("media") << true << QVariantList{3, 0, 0xE9, 0} << bytes({3, 0, 0xE9, 0});
    QTest::newRow("macro slot 3") << false << QVariantList{4, 1, 3, 0} << bytes({9, 1, 4, 0});
    QTest::newRow("DPI loop") << false << QVariantList{5, 0, 3, 0} << bytes({7, 0, 3, 0});
    QTest::newRow("sniper 560") << true << QVariantList{5, 9, 4, 0} << bytes({0x0B, 0, 1, 1});
    QTest::newRow("sniper 553") << false << QVariantList{5, 9, 4, 0} << bytes({7, 0, 4, 1});
    QTest::newRow("system function 0x0194")
        << false << QVariantList{6, 0, 0x94, 1} << bytes({3, 0, 0x94, 1});
    QTest::newRow("system function 0x0221")
        << true << QVariantList{6, 0, 0x21, 2} << bytes({3, 0, 0x21, 2});
    QTest::newRow("system function key")
        << false << QVariantList{6, 4, 0x2C, 0x1B} << bytes({0, 4, 0x2C, 0x1B});
    QTest::newRow("shortcut") << false << QVariantList{7, 8, 7, 0} << bytes({0, 8, 7, 0});
    QTest::newRow("gun switch") << true << QVariantList{8, 0, 2, 0} << bytes({8, 0, 2, 0});
    QTest::newRow("reserved") << false << QVariantList{0xFF, 0, 1, 0} << bytes({4, 0, 1, 0});
    QTest::newRow("texts as after a restart")
        << false << QVariantList{"4", "1", "2", "0"} << bytes({9, 1, 3, 0});
}

void TestKeyMatrix::convertEntry() {
    QFETCH(bool, family560);
    QFETCH(QVariantList, entry);
    QFETCH(QByteArray, device);
    const Matrix m = KeyMatrix::buildMatrix(withEntry(3, entry), family560);
    QCOMPARE(entryBytes(m, 3), device);
}

void TestKeyMatrix::rotationMovesOnlyButtonsFiveToSeven() {
    QVariantList src;
    for (int i = 0; i < 16; ++i)
        src << 2 << i << 0x40 + i << 0; // key combinations, distinguishable
    const Matrix m = KeyMatrix::buildMatrix(src, false);
    const int fromButton[16] = {0, 1, 2, 3, 4, 7, 5, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    for (int pos = 0; pos < 16; ++pos)
        QCOMPARE(entryBytes(m, pos), bytes({0, fromButton[pos], 0x40 + fromButton[pos], 0}));
}

void TestKeyMatrix::gunSwitch_data() {
    QTest::addColumn<bool>("family560");
    QTest::addColumn<int>("u");
    QTest::addColumn<QByteArray>("pos4"); // position 4 in matrices 1..4, 16 bytes
    QTest::addColumn<int>("mask");

    QTest::newRow("553 u3") << false << 3 << bytes({8, 0, 1, 1, 8, 0, 1, 2, 8, 0, 1, 3, 8, 0, 1, 0})
                            << -1;
    // Unknown counts keep the next-matrix byte: the entry's own in matrix 1,
    // the template's in the layers.
    QTest::newRow("553 u5") << false << 5 << bytes({8, 0, 1, 6, 8, 0, 1, 0, 8, 0, 1, 0, 8, 0, 1, 0})
                            << -1;
    QTest::newRow("560 u1") << true << 1 << bytes({8, 9, 1, 6, 8, 0, 0, 0, 8, 0, 0, 0, 8, 0, 0, 0})
                            << 7;
    QTest::newRow("560 u2") << true << 2 << bytes({8, 9, 1, 6, 8, 0, 3, 0, 8, 0, 0, 0, 8, 0, 0, 0})
                            << 15;
    QTest::newRow("560 u3") << true << 3 << bytes({8, 9, 1, 6, 8, 0, 3, 0, 8, 0, 3, 0, 8, 0, 0, 0})
                            << 31;
    QTest::newRow("560 u0") << true << 0
                            << bytes({8, 9, 0, 6, 8, 0, 0x14, 0, 8, 0, 0x14, 0, 8, 0, 0x14, 0})
                            << -1;
}

void TestKeyMatrix::gunSwitch() {
    QFETCH(bool, family560);
    QFETCH(int, u);
    QFETCH(QByteArray, pos4);
    QFETCH(int, mask);

    QList<QVariantList> templates;
    for (int j = 0; j < 16; ++j)
        templates << QVariantList{1, 0, 0x10 + j, 0};
    const Matrix m1 = KeyMatrix::buildMatrix(withEntry(4, {8, 9, u, 6}), family560);
    QVERIFY(KeyMatrix::hasGunSwitch(m1));
    const auto g =
        KeyMatrix::buildGunLayers(m1, KeyMatrix::templateMatrix(templates), {"90", 300}, family560);
    QByteArray got;
    for (int l = 0; l < 4; ++l)
        got += entryBytes(g.matrices[l], 4);
    QCOMPARE(got, pos4);
    QCOMPARE(g.layerMask, mask);
    // Matrix 1 keeps the buttons; each layer fires with its slot's period
    // (a missing one: 0) and keeps the template elsewhere.
    QCOMPARE(entryBytes(g.matrices[0], 0), entryBytes(m1, 0));
    QCOMPARE(entryBytes(g.matrices[1], 0), bytes({0x0B, 0, 90, 0}));
    QCOMPARE(entryBytes(g.matrices[2], 0), bytes({0x0B, 1, 300 & 0xFF, 0}));
    QCOMPARE(entryBytes(g.matrices[3], 0), bytes({0x0B, 2, 0, 0}));
    for (int l = 1; l < 4; ++l)
        QCOMPARE(entryBytes(g.matrices[l], 9), bytes({1, 0, 0x19, 0}));
}

QTEST_APPLESS_MAIN(TestKeyMatrix)
#include "tst_key_matrix.moc"
