#include "controller_test_support.h"
#include "dpi_codes.h"
#include "key_matrix.h"
#include "lighting.h"

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

// The bytes the mouse gets for DPI stages, lighting and buttons.
class TestDeviceBytes : public QObject {
    Q_OBJECT
private slots:
    void dpiCode();
    void effect();
    void buttons();
    void gunSwitch();
};

// Per sensor: stage values (missing ones count as 0), codes, high bits (-1: none).
void TestDeviceBytes::dpiCode() {
    // clang-format off
    const std::tuple<QString, QList<int>, QList<int>, int> rows[] = {
        {"4090", {800, 5000, 5001, 5200, 12000, 50, 100, 0}, {7, 49, 0x59, 0x5A, 0x7C, 0xFF, 0, 0xFF}, -1},
        {"3360", {800, 12000, 5200, 100, 0, 0, 0, 0}, {7, 119, 51, 0, 0xFF, 0xFF, 0xFF, 0xFF}, -1},
        {"3050", {250, 251, 0, 2000, 2001, 3001, 4000, 4500}, {1, 2, 1, 8, 0x45, 0x47, 0x48, 0x48}, -1},
        {"3389", {800, 12799, 12800, 16000, 0, 20000, 50, 100}, {16, 255, 0, 0x40, 0, 0x90, 1, 2}, 0x2C},
        {"3360 ", {5200}, {0x5A, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, -1}}; // unknown: 4090
    // clang-format on
    for (const auto &[sensor, values, codes, highBits] : rows) {
        const auto c = DpiCodes::convert(QVariantList(values.begin(), values.end()), sensor);
        QCOMPARE(QList<int>(c.codes.begin(), c.codes.end()), codes);
        QCOMPARE(c.hasHighBits ? int(c.highBits) : -1, highBits);
    }
}

// Effect, speed and brightness as chosen; effect, value and option as sent.
void TestDeviceBytes::effect() {
    const QList<QList<int>> colour = {
        {0, 2, 3, 1, 192, 0}, {1, 0, 4, 3, 0, 10},   {1, 5, 4, 3, 0, 0},   {2, 4, 1, 4, 0, 1},
        {3, 2, 2, 0, 0, 0},   {4, 1, 1, 2, 64, 0},   {5, 3, 4, 5, 255, 3}, {6, 3, 4, 6, 0, 0},
        {7, 3, 2, 7, 128, 0}, {8, 3, 2, 8, 128, 13}, {9, 3, 2, 9, 128, 7}, {10, 4, 9, 10, 0, 20},
        {11, 1, 1, 0, 0, 0}};
    const QList<QList<int>> single = {{0, 9, 0, 1, 1, 1},  {0, 0, 4, 1, 10, 1}, {1, 2, 0, 2, 3, 1},
                                      {2, 1, 0, 3, 24, 1}, {3, 1, 1, 0, 0, 0},  {4, 4, 0, 2, 5, 3}};
    for (bool isColour : {true, false})
        for (const QList<int> &r : isColour ? colour : single) {
            const auto b = isColour ? Lighting::colourEffect(r[0], r[1], r[2])
                                    : Lighting::singleColourEffect(r[0], r[1], r[2]);
            QCOMPARE((QList<int>{b.effect, b.value, b.option}), r.mid(3));
        }
}

// Each function as the mouse takes it, in device order: buttons 5, 6, 7 rotate.
void TestDeviceBytes::buttons() {
    const std::tuple<bool, QVariantList, QByteArray> rows[] = {
        {false, {0, 0, 0xF0, 0}, bytes({1, 0, 0xF0, 0})},          // mouse button
        {false, {0, 0xF0, 0x1E, 3}, bytes({0x0A, 0xF0, 0x1E, 3})}, // double click
        {false, {1, 4, 50, 3}, bytes({0x0A, 4, 50, 3})},           // rapid fire
        {false, {2, 1, 4, 0}, bytes({0, 1, 4, 0})},                // key combination
        {true, {3, 0, 0xE9, 0}, bytes({3, 0, 0xE9, 0})},           // media
        {false, {4, 1, 3, 0}, bytes({9, 1, 4, 0})},                // macro slot 3
        {false, {"4", "1", "2", "0"}, bytes({9, 1, 3, 0})},        // texts after a restart
        {false, {5, 0, 3, 0}, bytes({7, 0, 3, 0})},                // DPI loop
        {true, {5, 9, 4, 0}, bytes({0x0B, 0, 1, 1})},              // sniper
        {false, {5, 9, 4, 0}, bytes({7, 0, 4, 1})},                // sniper
        {false, {6, 0, 0x94, 1}, bytes({3, 0, 0x94, 1})},          // consumer usage
        {false, {6, 4, 0x2C, 0x1B}, bytes({0, 4, 0x2C, 0x1B})},    // system function key
        {true, {8, 0, 2, 0}, bytes({8, 0, 2, 0})},                 // gun switch
        {false, {0xFF, 0, 1, 0}, bytes({4, 0, 1, 0})}};            // reserved
    for (const auto &[family560, entry, device] : rows)
        for (const auto &[button, pos] : {std::pair{3, 3}, {7, 5}, {5, 6}, {6, 7}})
            QCOMPARE(entryBytes(KeyMatrix::buildMatrix(withEntry(button, entry), family560), pos),
                     device);
}

// A gun switch with u slots on button 4: its entry in matrices 1..4 and the
// layer mask. Unknown counts keep the next-matrix byte: the entry's own in
// matrix 1, the template's in the layers.
void TestDeviceBytes::gunSwitch() {
    QList<QVariantList> templates;
    for (int j = 0; j < 16; ++j)
        templates << QVariantList{1, 0, 0x10 + j, 0};
    const std::tuple<bool, int, QByteArray, int> rows[] = {
        {false, 3, bytes({8, 0, 1, 1, 8, 0, 1, 2, 8, 0, 1, 3, 8, 0, 1, 0}), -1},
        {false, 5, bytes({8, 0, 1, 6, 8, 0, 1, 0, 8, 0, 1, 0, 8, 0, 1, 0}), -1},
        {true, 1, bytes({8, 9, 1, 6, 8, 0, 0, 0, 8, 0, 0, 0, 8, 0, 0, 0}), 7},
        {true, 2, bytes({8, 9, 1, 6, 8, 0, 3, 0, 8, 0, 0, 0, 8, 0, 0, 0}), 15},
        {true, 3, bytes({8, 9, 1, 6, 8, 0, 3, 0, 8, 0, 3, 0, 8, 0, 0, 0}), 31},
        {true, 0, bytes({8, 9, 0, 6, 8, 0, 0x14, 0, 8, 0, 0x14, 0, 8, 0, 0x14, 0}), -1}};
    for (const auto &[family560, u, pos4, mask] : rows) {
        const Matrix m1 = KeyMatrix::buildMatrix(withEntry(4, {8, 9, u, 6}), family560);
        const auto g = KeyMatrix::buildGunLayers(m1, KeyMatrix::templateMatrix(templates),
                                                 {"90", 300}, family560);
        QByteArray got;
        for (int l = 0; l < 4; ++l)
            got += entryBytes(g.matrices[l], 4);
        QCOMPARE(got, pos4);
        QCOMPARE(g.layerMask, mask);
        // Matrix 1 keeps the buttons; each layer fires with its slot's period
        // (a missing one: 0) and keeps the template elsewhere.
        QCOMPARE(entryBytes(g.matrices[0], 0), entryBytes(m1, 0));
        QCOMPARE(entryBytes(g.matrices[1], 0) + entryBytes(g.matrices[2], 0) +
                     entryBytes(g.matrices[3], 0),
                 bytes({0x0B, 0, 90, 0, 0x0B, 1, 300 & 0xFF, 0, 0x0B, 2, 0, 0}));
        QCOMPARE(entryBytes(g.matrices[3], 9), bytes({1, 0, 0x19, 0}));
    }
}

QTEST_APPLESS_MAIN(TestDeviceBytes)
#include "tst_device_bytes.moc"
