// The X11 capture on a real (virtual) X server: xdotool injects keys and
// clicks through XTEST; the usage and button codes that come out are checked.
#include "input_hooks.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

namespace {

QList<int> g_codes; // +code for a press, -code for a release
int g_tag = 0;

void onKey(int usage, bool isDown, void *context) {
    if (context == &g_tag)
        g_codes << (isDown ? usage : -usage);
}
// Every click comes with the pointer's position (the tests click at 123,234).
void onButton(int code, bool isDown, int x, int y, void *context) {
    if (context == &g_tag)
        g_codes << (isDown ? code : -code) << (QPoint(x, y) == QPoint(123, 234) ? 0 : 1);
}

// Runs the xdotool commands followed by an Escape stroke, and waits for
// that: whatever the commands caused has arrived by then (one connection
// keeps the order). Returns the codes before the Escape.
QList<int> drive(const QString &commands) {
    g_codes.clear();
    if (QProcess::execute("xdotool", commands.split(' ') + QStringList{"key", "Escape"}) != 0)
        return {-1};
    if (!QTest::qWaitFor([] { return g_codes.endsWith(-0x29); }))
        return {-2};
    QList<int> codes = g_codes.mid(0, g_codes.size() - 2);
    codes.removeAll(0);
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
        // X keycodes (event code + 8), as xdotool presses a right-hand modifier
        // by keysym with the left one: 105 right Ctrl, 37 left Ctrl, 108 right Alt.
        QTest::newRow("held a, Enter, keypad Enter, Up, Ctrl, right Alt")
            << "keydown a keydown a keydown a keyup a key Return key KP_Enter key Up key 105 key "
               "37 "
               "key 108"
            << QList<int>{0x04,  -0x04, 0x28,  -0x28, 0x58,  -0x58, 0x52,
                          -0x52, 0xE4,  -0xE4, 0xE0,  -0xE0, 0xE6,  -0xE6};
        QTest::newRow("Print Screen, alone and with Alt")
            << "key Print keydown Alt_L key Print keyup Alt_L"
            << QList<int>{0x46, -0x46, 0xE2, 0x46, -0x46, -0xE2};
        // Wheel and side buttons give nothing.
        QTest::newRow("buttons")
            << "mousemove 123 234 click 1 click 3 click 2 click --repeat 2 --delay 40 1 click 4 "
               "click 5 click 6 click 7 click 8"
            << QList<int>{0xF0, -0xF0, 0xF1, -0xF1, 0xF2, -0xF2, 0xF0, -0xF0, 0xF0, -0xF0};
    }
    void events() {
        QFETCH(QString, commands);
        QFETCH(QList<int>, expected);
        QCOMPARE(drive(commands), expected);
    }
};

QTEST_GUILESS_MAIN(TestInputX11)
#include "tst_input_x11.moc"
