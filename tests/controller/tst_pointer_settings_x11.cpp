#include "pointer_settings.h"

#include <QtTest>

#include <X11/Xlib.h>

// Runs under its own Xvfb: the X server's pointer acceleration follows the
// speed, whatever desktop settings exist.
class TestPointerSettingsX11 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void acceleration_data();
    void acceleration();
    void cleanupTestCase();

private:
    // Xvfb resets the server when its last client leaves; this connection
    // keeps it alive between the program's connection and the read-back.
    Display *m_display = nullptr;
};

void TestPointerSettingsX11::initTestCase() {
    qputenv("GSETTINGS_BACKEND", "memory");
    m_display = XOpenDisplay(nullptr);
    QVERIFY2(m_display, "needs an X display (xvfb-run)");
}

void TestPointerSettingsX11::cleanupTestCase() {
    if (m_display)
        XCloseDisplay(m_display);
}

void TestPointerSettingsX11::acceleration_data() {
    QTest::addColumn<int>("speed");
    QTest::addColumn<double>("factor");
    QTest::newRow("slowest") << 1 << 0.1;
    QTest::newRow("neutral") << 10 << 1.0;
    QTest::newRow("fastest") << 20 << 2.0;
    QTest::newRow("clamped high") << 40 << 2.0;
    QTest::newRow("clamped low") << -3 << 0.1;
}

void TestPointerSettingsX11::acceleration() {
    QFETCH(int, speed);
    QFETCH(double, factor);
    QVERIFY(PointerSettings::setCursorSpeed(speed));
    int num = 0, den = 0, threshold = 0;
    XGetPointerControl(m_display, &num, &den, &threshold);
    QVERIFY(den > 0);
    QVERIFY2(qAbs(double(num) / den - factor) < 1e-9,
             qPrintable(QStringLiteral("%1/%2").arg(num).arg(den)));
}

QTEST_GUILESS_MAIN(TestPointerSettingsX11)
#include "tst_pointer_settings_x11.moc"
