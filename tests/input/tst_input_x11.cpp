// The X11 capture on a real (virtual) X server: xdotool injects keys and
// clicks through XTEST, and the usage and button codes that come out of the
// callbacks are checked.
#include "input_hooks.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

namespace {

struct Report {
    int code; // +code for a press, -code for a release
    int x, y;
};
QList<Report> g_reports;
int g_tag = 0;

void onKey(int usage, bool isDown, void *context) {
    if (context == &g_tag)
        g_reports.append({isDown ? usage : -usage, -1, -1});
}
void onButton(int code, bool isDown, int x, int y, void *context) {
    if (context == &g_tag)
        g_reports.append({isDown ? code : -code, x, y});
}

// Runs the xdotool commands followed by an Escape stroke, and waits for
// that: whatever the commands caused has arrived by then (one connection
// keeps the order). Returns the codes before the Escape.
QList<int> drive(const QString &commands) {
    g_reports.clear();
    if (QProcess::execute("xdotool", commands.split(' ') + QStringList{"key", "Escape"}) != 0)
        return {-1};
    if (!QTest::qWaitFor([] { return !g_reports.isEmpty() && g_reports.last().code == -0x29; }))
        return {-2};
    QList<int> codes;
    for (const Report &r : g_reports.mid(0, g_reports.size() - 2))
        codes << r.code;
    return codes;
}

} // namespace

class TestInputX11 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY2(!qgetenv("DISPLAY").isEmpty(), "runs under xvfb-run");
        InputHooks::registerKeyboardCallback(onKey, &g_tag);
        InputHooks::registerMouseCallback(onButton, &g_tag);
        QCOMPARE(InputHooks::install(0), 1);
    }
    void cleanupTestCase() { InputHooks::remove(); }

    void events_data() {
        QTest::addColumn<QString>("commands");
        QTest::addColumn<QList<int>>("expected");
        // By keysym, xdotool presses a right-hand modifier together with the
        // left one of the same modifier; X keycodes (event code + 8) avoid
        // that: 105 right Ctrl, 37 left Ctrl, 108 right Alt.
        QTest::newRow("held a, Enter, keypad Enter, Up, Ctrl, right Alt")
            << "keydown a keydown a keydown a keyup a key Return key KP_Enter key Up key 105 key "
               "37 "
               "key 108"
            << QList<int>{0x04,  -0x04, 0x28,  -0x28, 0x58,  -0x58, 0x52,
                          -0x52, 0xE4,  -0xE4, 0xE0,  -0xE0, 0xE6,  -0xE6};
        QTest::newRow("Print Screen, alone and with Alt")
            << "key Print keydown Alt_L key Print keyup Alt_L"
            << QList<int>{0x46, -0x46, 0xE2, 0x46, -0x46, -0xE2};
        // Wheel and side buttons give nothing; every click comes with the
        // pointer's position.
        QTest::newRow("buttons")
            << "mousemove 123 234 click 1 click 3 click 2 click --repeat 2 --delay 40 1 click 4 "
               "click 5 click 6 click 7 click 8"
            << QList<int>{0xF0, -0xF0, 0xF1, -0xF1, 0xF2, -0xF2, 0xF0, -0xF0, 0xF0, -0xF0};
    }
    void events() {
        QFETCH(QString, commands);
        QFETCH(QList<int>, expected);
        QCOMPARE(drive(commands), expected);
        for (const Report &r : g_reports)
            QVERIFY(r.x == -1 || QPoint(r.x, r.y) == QPoint(123, 234));
    }
};

QTEST_GUILESS_MAIN(TestInputX11)
#include "tst_input_x11.moc"
