// The capture from the program's own window, which Wayland sessions (and X
// servers without XInput2) use: Qt's key and button events of a platform
// window must come out as the XInput2 backend's would.
#include "input_hooks.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWindow>

namespace {

QList<int> g_reports; // +code for a press, -code for a release

void onKey(int usage, bool isDown, void *) {
    g_reports << (isDown ? usage : -usage);
}
void onButton(int code, bool isDown, int, int, void *) {
    g_reports << (isDown ? code : -code);
}

// One step of a table: "k<evdev>" key down, "K<evdev>" key up, "r<evdev>"
// an auto-repeated release+press pair, "m"/"M" left button down/up, "d" its
// double-click event, "o<step>" the step delivered to a window that has no
// platform window (the scene's own).
void deliver(QWindow *shown, QWindow *offscreen, const QString &step) {
    QWindow *target = step.startsWith('o') ? offscreen : shown;
    const QString s = step.startsWith('o') ? step.mid(1) : step;
    const quint32 keycode = s.mid(1).toUInt() + 8;
    auto key = [&](QEvent::Type type, bool repeat) {
        QKeyEvent e(type, 0, Qt::NoModifier, keycode, 0, 0, QString(), repeat);
        QCoreApplication::sendEvent(target, &e);
    };
    auto mouse = [&](QEvent::Type type) {
        QMouseEvent e(type, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(target, &e);
    };
    switch (s.at(0).toLatin1()) {
    case 'k':
        key(QEvent::KeyPress, false);
        break;
    case 'K':
        key(QEvent::KeyRelease, false);
        break;
    case 'r':
        key(QEvent::KeyRelease, true);
        key(QEvent::KeyPress, true);
        break;
    case 'm':
        mouse(QEvent::MouseButtonPress);
        break;
    case 'M':
        mouse(QEvent::MouseButtonRelease);
        break;
    case 'd':
        mouse(QEvent::MouseButtonDblClick);
        break;
    }
}

} // namespace

class TestInputFocus : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { InputHooks::remove(); }
    void events_data();
    void events();
    void heldKeysReleasedWhenFocusLeaves();

private:
    QWindow m_window;
    QWindow m_offscreen; // never created, like the scene's render window
};

void TestInputFocus::initTestCase() {
    QCOMPARE(InputHooks::install(0), 1);
    InputHooks::registerKeyboardCallback(onKey, nullptr);
    InputHooks::registerMouseCallback(onButton, nullptr);
    m_window.resize(100, 100);
    m_window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&m_window));
}

void TestInputFocus::events_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("a") << QStringList{"k30", "K30"} << QList<int>{0x04, -0x04};
    QTest::newRow("held key repeats")
        << QStringList{"k30", "r30", "r30", "K30"} << QList<int>{0x04, -0x04};
    QTest::newRow("enter and keypad enter")
        << QStringList{"k28", "K28", "k96", "K96"} << QList<int>{0x28, -0x28, 0x58, -0x58};
    QTest::newRow("alt print screen")
        << QStringList{"k56", "k99", "K99", "K56"} << QList<int>{0xE2, 0x46, -0x46, -0xE2};
    QTest::newRow("passed on to the scene counts once")
        << QStringList{"k30", "ok30", "m", "om", "M", "oM", "K30", "oK30"}
        << QList<int>{0x04, 0xF0, -0xF0, -0x04};
    QTest::newRow("double click") << QStringList{"m", "M", "m", "d", "M"}
                                  << QList<int>{0xF0, -0xF0, 0xF0, -0xF0};
}

void TestInputFocus::events() {
    QFETCH(QStringList, steps);
    QFETCH(QList<int>, expected);
    g_reports.clear();
    for (const QString &step : steps)
        deliver(&m_window, &m_offscreen, step);
    QCOMPARE(g_reports, expected);
}

void TestInputFocus::heldKeysReleasedWhenFocusLeaves() {
    g_reports.clear();
    deliver(&m_window, &m_offscreen, "k42"); // left shift
    deliver(&m_window, &m_offscreen, "k30");
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(&m_window, &out);
    QCOMPARE(g_reports, (QList<int>{0xE1, 0x04, -0x04, -0xE1}));
    deliver(&m_window, &m_offscreen, "k30"); // pressed again once focus returns
    QCOMPARE(g_reports.last(), 0x04);
}

QTEST_MAIN(TestInputFocus)
#include "tst_input_focus.moc"
