// The capture from the program's own window, which Wayland sessions (and X
// servers without XInput2) use: Qt's key and button events of a platform
// window must come out as the XInput2 backend's would.
#include "input_hooks.h"

#include <QKeyEvent>
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

} // namespace

class TestInputFocus : public QObject {
    Q_OBJECT
    QWindow m_window;
    QWindow m_offscreen; // never created, like the scene's render window

    // One step: "k<evdev>"/"K<evdev>" key down/up, "p"/"q" the same
    // auto-repeated, "b<button>"/"B<button>" a Qt mouse button down/up,
    // "d<button>" its double click, "f" focus lost; an "o" prefix delivers
    // the step to the window without a platform window.
    void deliver(const QString &step) {
        QWindow *target = step.startsWith('o') ? &m_offscreen : &m_window;
        const char c = step.at(step.startsWith('o')).toLatin1();
        const int n = step.mid(step.startsWith('o') + 1).toInt();
        const QEvent::Type type =
            QHash<char, QEvent::Type>{
                {'k', QEvent::KeyPress},           {'p', QEvent::KeyPress},
                {'K', QEvent::KeyRelease},         {'q', QEvent::KeyRelease},
                {'b', QEvent::MouseButtonPress},   {'B', QEvent::MouseButtonRelease},
                {'d', QEvent::MouseButtonDblClick}}
                .value(c, QEvent::FocusOut);
        if (type == QEvent::FocusOut) {
            QFocusEvent e(type, Qt::ActiveWindowFocusReason);
            QCoreApplication::sendEvent(target, &e);
        } else if (QString("kKpq").contains(c)) {
            QKeyEvent e(type, 0, Qt::NoModifier, quint32(n + 8), 0, 0, QString(),
                        c == 'p' || c == 'q');
            QCoreApplication::sendEvent(target, &e);
        } else {
            const auto b = Qt::MouseButton(n);
            QMouseEvent e(type, QPointF(5, 5), QPointF(5, 5), b, c == 'B' ? Qt::NoButton : b,
                          Qt::NoModifier);
            QCoreApplication::sendEvent(target, &e);
        }
    }

private slots:
    void initTestCase() {
        QCOMPARE(InputHooks::install(0), 1);
        InputHooks::registerKeyboardCallback(onKey, nullptr);
        InputHooks::registerMouseCallback(onButton, nullptr);
        m_window.resize(100, 100);
        m_window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_window));
    }
    void cleanupTestCase() { InputHooks::remove(); }

    void events_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("held key repeats") << "k30 q30 p30 q30 p30 K30" << QList<int>{0x04, -0x04};
        QTest::newRow("keypad enter, num lock, alt print screen")
            << "k96 K96 k69 K69 k56 k99 K99 K56"
            << QList<int>{0x58, -0x58, 0x53, -0x53, 0xE2, 0x46, -0x46, -0xE2};
        QTest::newRow("passed on to the scene counts once")
            << "k30 ok30 b1 ob1 B1 oB1 K30 oK30" << QList<int>{0x04, 0xF0, -0xF0, -0x04};
        QTest::newRow("right and middle button, double click")
            << "b2 B2 b4 B4 b1 B1 b1 d1 B1"
            << QList<int>{0xF1, -0xF1, 0xF2, -0xF2, 0xF0, -0xF0, 0xF0, -0xF0};
        // Keys held when the window loses the keyboard are let go, and are
        // reported again when pressed after focus returns.
        QTest::newRow("focus lost")
            << "k42 k30 f k30 K30" << QList<int>{0xE1, 0x04, -0x04, -0xE1, 0x04, -0x04};
    }
    void events() {
        QFETCH(QString, steps);
        QFETCH(QList<int>, expected);
        g_reports.clear();
        for (const QString &step : steps.split(' '))
            deliver(step);
        QCOMPARE(g_reports, expected);
    }
};

QTEST_MAIN(TestInputFocus)
#include "tst_input_focus.moc"
