// gio before Qt: its headers use a member named "signals".
#include <gio/gio.h>

#include "controller_test_support.h"
#include "myqquickview.h"
#include "pointer_settings.h"

#include <QQuickWindow>
#include <QtTest>

#include <X11/Xlib.h>

using namespace ctrltest;

class TestPointerSettings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void gnomeSettings();
    void wheelLinesOnKde();
    void runningSession();

private:
    QString config(const char *file) const { return m_config.path() + '/' + file; }
    QTemporaryDir m_config;
};

void TestPointerSettings::initTestCase() {
    // Never touch the desktop the tests run on: the X server is the test's own.
    qputenv("GSETTINGS_BACKEND", "memory");
    qunsetenv("WAYLAND_DISPLAY");
    qunsetenv("XDG_SESSION_TYPE");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus"); // no KWin to reach
    qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

// The sliders (0..10, beyond when damaged) as GNOME and the X server keep them.
void TestPointerSettings::gnomeSettings() {
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    myQQuickView view;
    GSettings *s = g_settings_new("org.gnome.desktop.peripherals.mouse");
    Display *x = XOpenDisplay(nullptr); // also keeps Xvfb from resetting
    QVERIFY2(x, "runs under xvfb-run");
    const std::tuple<uint, double, int, int> rows[] = {
        {0, -1.0, 900, 1},  {2, -6.0 / 9.0, 760, 4}, {5, 0.0, 550, 10},        {8, 0.6, 340, 16},
        {10, 1.0, 200, 20}, {12, 1.0, 60, 20},       {0xFFFFFFFF, 1.0, 60, 20}};
    for (const auto &[index, speed, ms, acceleration] : rows) {
        view.mouseSetCursorSpeed(index);
        view.mouseSetDoubleClickSpeed(index);
        int num = 0, den = 0, threshold = 0;
        XGetPointerControl(x, &num, &den, &threshold);
        QVERIFY2(qAbs(g_settings_get_double(s, "speed") - speed) < 1e-9 &&
                     g_settings_get_int(s, "double-click") == ms && num * 10 == acceleration * den,
                 qPrintable(QStringLiteral("%1: %2/%3").arg(index).arg(num).arg(den)));
    }
    XCloseDisplay(x);
    QTest::ignoreMessage(QtDebugMsg, "setDoubleClickSpeed Failed");
    QVERIFY(!PointerSettings::setDoubleClickTime(0));
    QCOMPARE(g_settings_get_int(s, "double-click"), 60);
    // GNOME has no wheel lines: a failure, and no KDE file appears.
    QTest::ignoreMessage(QtDebugMsg, "setVerticalScrollLines Failed");
    QVERIFY(!PointerSettings::setWheelScrollLines(3));
    QVERIFY(!QFile::exists(config("kdeglobals")));
    g_object_unref(s);
}

// Only the KDE group's key changes; everything else in the file stays.
void TestPointerSettings::wheelLinesOnKde() {
    qputenv("XDG_CURRENT_DESKTOP", "ubuntu:KDE");
    writeFile(config("kdeglobals"),
              "[General]\nWheelScrollLines=9\n\n[KDE]\nSingleClick=false\n\n[Icons]\nTheme=x\n");
    myQQuickView view;
    view.mouseSetVerticalScrollLines(1000);
    QTest::ignoreMessage(QtDebugMsg, "setVerticalScrollLines Failed");
    QVERIFY(!PointerSettings::setWheelScrollLines(0));
    QCOMPARE(readFile(config("kdeglobals")),
             QByteArray("[General]\nWheelScrollLines=9\n\n[KDE]\nSingleClick=false\n"
                        "WheelScrollLines=1000\n\n[Icons]\nTheme=x\n"));
}

// A speed counts as set only where the running session takes it; KDE's
// files keep it for the next session of either kind all the same.
void TestPointerSettings::runningSession() {
    qputenv("WAYLAND_DISPLAY", "wayland-0");
    for (const auto &[desktop, applied] :
         {std::pair{"GNOME", true}, {"sway", false}, {"KDE", false}}) { // KWin unreachable
        qputenv("XDG_CURRENT_DESKTOP", desktop);
        writeFile(config("kcminputrc"),
                  "[Libinput][1133][49271][USB Mouse]\nPointerAcceleration=0.5\n");
        QFile::remove(config("kdeglobals"));
        if (!applied)
            QTest::ignoreMessage(QtDebugMsg, "setCursorSpeed Failed");
        QVERIFY2(PointerSettings::setCursorSpeed(1) == applied, desktop);
    }
    QVERIFY(PointerSettings::setDoubleClickTime(400));
    QCOMPARE(readFile(config("kdeglobals")), QByteArray("[KDE]\nDoubleClickInterval=400\n"));
    QCOMPARE(readFile(config("kcminputrc")),
             QByteArray("[Libinput][1133][49271][USB Mouse]\nPointerAcceleration=-1.000\n\n"
                        "[Mouse]\nXLbInptPointerAcceleration=-1.000\n"));
    qunsetenv("WAYLAND_DISPLAY");
}

QTEST_MAIN(TestPointerSettings)
#include "tst_pointer_settings.moc"
