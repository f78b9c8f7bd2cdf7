// The X11 capture on a real (virtual) X server: xdotool injects keys and
// clicks through XTEST, and the usage and button codes that come out of the
// callbacks are checked.
#include "input_hooks.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {

struct Report {
    int code;
    bool down;
    int x;
    int y;
};
QList<Report> g_reports;
int g_tag = 0;

void onKey(int usage, bool isDown, void *context) {
    if (context == &g_tag)
        g_reports.append({usage, isDown, -1, -1});
}

void onButton(int code, bool isDown, int x, int y, void *context) {
    if (context == &g_tag)
        g_reports.append({code, isDown, x, y});
}

// +code for a press, -code for a release.
QList<int> signedCodes(const QList<Report> &reports) {
    QList<int> out;
    for (const Report &r : reports)
        out << (r.down ? r.code : -r.code);
    return out;
}

} // namespace

class TestInputX11 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void events_data();
    void events();
    void clickPosition();
    void nothingAfterRemove();

private:
    bool xdotool(const QStringList &args);
    // Runs each step, then waits until `expected` reports arrived, and a
    // little longer so that surplus reports would show.
    QList<int> drive(const QStringList &steps, qsizetype expected);
};

bool TestInputX11::xdotool(const QStringList &args) {
    return QProcess::execute(QStringLiteral("xdotool"), args) == 0;
}

QList<int> TestInputX11::drive(const QStringList &steps, qsizetype expected) {
    g_reports.clear();
    for (const QString &step : steps) {
        if (!xdotool(step.split(QLatin1Char(' '))))
            qWarning("xdotool %s failed", qPrintable(step));
    }
    (void)QTest::qWaitFor([&] { return g_reports.size() >= expected; }, 5000);
    QTest::qWait(250);
    return signedCodes(g_reports);
}

void TestInputX11::initTestCase() {
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty(),
             "xdotool is needed to inject input");
    QVERIFY2(!qgetenv("DISPLAY").isEmpty(), "runs under xvfb-run");
    InputHooks::registerKeyboardCallback(onKey, &g_tag);
    InputHooks::registerMouseCallback(onButton, &g_tag);
    QCOMPARE(InputHooks::install(0), 1);
}

void TestInputX11::cleanupTestCase() {
    InputHooks::remove();
}

void TestInputX11::events_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<int>>("expected");

    QTest::newRow("held a gives one press and one release")
        << QStringList{"keydown a", "keydown a", "keydown a", "keyup a"} << QList<int>{0x04, -0x04};
    QTest::newRow("a held past the autorepeat delay")
        << QStringList{"keydown a sleep 0.8 keyup a"} << QList<int>{0x04, -0x04};
    QTest::newRow("keypad Enter") << QStringList{"key KP_Enter"} << QList<int>{0x58, -0x58};
    QTest::newRow("main Enter") << QStringList{"key Return"} << QList<int>{0x28, -0x28};
    // By keysym, xdotool presses a right-hand modifier together with the
    // left one of the same modifier; X keycodes (event code + 8) avoid that.
    QTest::newRow("right Ctrl") << QStringList{"key 105"} << QList<int>{0xE4, -0xE4};
    QTest::newRow("left Ctrl") << QStringList{"key 37"} << QList<int>{0xE0, -0xE0};
    QTest::newRow("right Shift") << QStringList{"key 62"} << QList<int>{0xE5, -0xE5};
    QTest::newRow("right Alt") << QStringList{"key 108"} << QList<int>{0xE6, -0xE6};
    QTest::newRow("Print Screen") << QStringList{"key Print"} << QList<int>{0x46, -0x46};
    QTest::newRow("Alt+Print Screen") << QStringList{"keydown Alt_L", "key Print", "keyup Alt_L"}
                                      << QList<int>{0xE2, 0x46, -0x46, -0xE2};
    QTest::newRow("Pause") << QStringList{"key Pause"} << QList<int>{0x48, -0x48};
    QTest::newRow("Scroll Lock") << QStringList{"key Scroll_Lock"} << QList<int>{0x47, -0x47};
    QTest::newRow("backslash") << QStringList{"key backslash"} << QList<int>{0x31, -0x31};
    QTest::newRow("arrow Up") << QStringList{"key Up"} << QList<int>{0x52, -0x52};
    QTest::newRow("left click") << QStringList{"click 1"} << QList<int>{0xF0, -0xF0};
    QTest::newRow("right click") << QStringList{"click 3"} << QList<int>{0xF1, -0xF1};
    QTest::newRow("middle click") << QStringList{"click 2"} << QList<int>{0xF2, -0xF2};
    QTest::newRow("double click") << QStringList{"click --repeat 2 --delay 40 1"}
                                  << QList<int>{0xF0, -0xF0, 0xF0, -0xF0};
    // A closing left click shows that the earlier events had their chance.
    QTest::newRow("wheel and side buttons give nothing")
        << QStringList{"click 4", "click 5", "click 6", "click 7", "click 8", "click 1"}
        << QList<int>{0xF0, -0xF0};
}

void TestInputX11::events() {
    QFETCH(QStringList, steps);
    QFETCH(QList<int>, expected);
    const QList<int> got = drive(steps, expected.size());
    if (got != expected)
        qWarning() << Qt::hex << got;
    QCOMPARE(got, expected);
}

void TestInputX11::clickPosition() {
    QVERIFY(xdotool({"mousemove", "123", "234"}));
    const QList<int> codes = drive({"click 3"}, 2);
    QCOMPARE(codes, (QList<int>{0xF1, -0xF1}));
    for (const Report &r : g_reports) {
        QCOMPARE(r.x, 123);
        QCOMPARE(r.y, 234);
    }
}

void TestInputX11::nothingAfterRemove() {
    InputHooks::remove();
    const QList<int> codes = drive({"key a", "click 1"}, 0);
    QCOMPARE(InputHooks::install(0), 1);
    QVERIFY(codes.isEmpty());
    // Installed again, capture works as before.
    QCOMPARE(drive({"key b"}, 2), (QList<int>{0x05, -0x05}));
}

QTEST_GUILESS_MAIN(TestInputX11)
#include "tst_input_x11.moc"
