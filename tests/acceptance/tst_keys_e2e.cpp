// A button given a media key through the picture and the key assignment
// dialog in the running virtual program, saved, then read back from the
// simulated mouse's key matrix 1.
#include "e2e_support.h"

#include <QDir>
#include <QJsonDocument>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using e2e::bytes;

namespace {

// Entry `index` (four bytes) of a 64-byte firmware hex text.
QString entryAt(const QString &hex, int index) {
    return hex.split(' ').mid(index * 4, 4).join(' ');
}

// Window positions (1024 x 640). The dialog (416 x 404) opens centred; its
// content starts 41 px below its top and scrolls 830 / 212 px per pixel the
// handle moves.
constexpr int kDialog[2] = {(1024 - 416) / 2, (640 - 404) / 2};
constexpr int kHandle[2] = {kDialog[0] + 402 + 6, kDialog[1] + 42 + 100};
constexpr int kHandleDrag = 50;
constexpr double kScrolled = kHandleDrag * 830.0 / 212.0;
constexpr int kMediaGridTop = int(kDialog[1] + 41 + 330 - kScrolled);
constexpr int kMediaBox[2] = {kDialog[0] + 48 + 40, kMediaGridTop + 12};
// Cell 4 ("Mute"): second row, second column of the opened grid.
constexpr int kMuteCell[2] = {kDialog[0] + 48 + 107 + 53, kMediaGridTop + 24 + 24 + 12};
constexpr int kDialogClose[2] = {kDialog[0] + 416 - 16 - 8, kDialog[1] + 12 + 8};
constexpr int kSave[2] = {1024 - 24 - 32, 640 - 8 - 12};
// The number box of the sixth button on the picture (index 5).
constexpr int kButtonBox[2] = {608 + 24, 283 + 12};

} // namespace

class TestKeysEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void mediaKeyReachesTheMouse_data();
    void mediaKeyReachesTheMouse();

private:
    QTemporaryDir dir;
};

void TestKeysEndToEnd::initTestCase() {
    QVERIFY(dir.isValid());
    QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "runs under xvfb-run");
    QVERIFY2(e2e::runTool("xdotool", {"version"}), "xdotool");
}

void TestKeysEndToEnd::mediaKeyReachesTheMouse_data() {
    QTest::addColumn<QString>("family");
    QTest::newRow("553") << QStringLiteral("553");
    QTest::newRow("560") << QStringLiteral("560");
}

// The sixth button (index 5) becomes "Mute" (3, 0, 0xE2, 0). The mouse
// keeps buttons 5, 6 and 7 rotated: its position 6 holds button 5, position
// 5 holds button 7 (the double click) and position 7 holds button 6 (DPI-).
void TestKeysEndToEnd::mediaKeyReachesTheMouse() {
    QFETCH(QString, family);
    E2eProgram p(dir.path());
    QVERIFY(p.prepare({family, true, true}));
    QVERIFY2(p.start(), qPrintable(p.lines().join('\n')));
    // past the start-up lock (1 s) before the first click
    QTest::qWait(1800);

    QVERIFY(p.click(kButtonBox[0], kButtonBox[1]));
    QVERIFY(p.drag(kHandle[0], kHandle[1], kHandleDrag));
    QVERIFY(p.click(kMediaBox[0], kMediaBox[1]));
    QVERIFY(p.click(kMuteCell[0], kMuteCell[1]));
    p.screenshot("keys_assigned_" + family);
    QVERIFY(p.click(kDialogClose[0], kDialogClose[1]));
    QVERIFY(p.click(kSave[0], kSave[1]));

    QJsonObject s;
    QString matrix;
    QDeadlineTimer deadline(20000);
    auto done = [&] {
        matrix = s.value("keyMatrix").toObject().value("1").toString();
        return entryAt(matrix, 6) == "03 00 e2 00";
    };
    while (!(s = p.dump()).isEmpty() && !done() && !deadline.hasExpired())
        QTest::qWait(250);
    p.screenshot("keys_saved_" + family);
    QVERIFY2(done(), qPrintable(matrix));
    QCOMPARE(entryAt(matrix, 5), QStringLiteral("0a f0 1e 03"));
    QCOMPARE(entryAt(matrix, 7), QStringLiteral("07 00 02 00"));
    QCOMPARE(entryAt(matrix, 0), QStringLiteral("01 00 f0 00"));

    QVERIFY2(p.violations().isEmpty(), qPrintable(p.violations().join('\n')));
}

QTEST_GUILESS_MAIN(TestKeysEndToEnd)

#include "tst_keys_e2e.moc"
