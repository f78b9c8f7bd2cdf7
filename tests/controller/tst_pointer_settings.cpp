// gio before Qt: its headers use a member named "signals".
#include <gio/gio.h>

#include "controller_test_support.h"
#include "myqquickview.h"
#include "pointer_settings.h"

#include <QQuickWindow>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A GNOME mouse setting read back through gio.
template <typename T> T gnome(T (*get)(GSettings *, const char *), const char *key) {
    GSettings *s = g_settings_new("org.gnome.desktop.peripherals.mouse");
    const T v = get(s, key);
    g_object_unref(s);
    return v;
}
double gnomeSpeed() {
    return gnome(&g_settings_get_double, "speed");
}
int gnomeDoubleClick() {
    return gnome(&g_settings_get_int, "double-click");
}

} // namespace

class TestPointerSettings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void conversions_data();
    void conversions();
    void cursorSpeed_data();
    void cursorSpeed();
    void doubleClickTime();
    void wheelLinesOnKde_data();
    void wheelLinesOnKde();
    void wheelLinesElsewhere();
    void runningSession_data();
    void runningSession();

private:
    QTemporaryDir m_config;
};

void TestPointerSettings::initTestCase() {
    // Never touch the desktop the tests run on.
    qputenv("GSETTINGS_BACKEND", "memory");
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    qunsetenv("XDG_SESSION_TYPE");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus"); // no KWin to reach
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    GSettingsSchemaSource *src = g_settings_schema_source_get_default();
    GSettingsSchema *schema =
        src ? g_settings_schema_source_lookup(src, "org.gnome.desktop.peripherals.mouse", TRUE)
            : nullptr;
    QVERIFY2(schema, "gsettings-desktop-schemas must be installed");
    g_settings_schema_unref(schema);
}

void TestPointerSettings::conversions_data() {
    QTest::addColumn<uint>("index");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("doubleClickMs");
    QTest::newRow("0") << 0u << 1 << 900;
    QTest::newRow("5") << 5u << 10 << 550;
    QTest::newRow("10") << 10u << 20 << 200;
    QTest::newRow("beyond the slider") << 12u << 20 << 60;
    QTest::newRow("huge") << 0xFFFFFFFFu << 20 << 60;
}

void TestPointerSettings::conversions() {
    QFETCH(uint, index);
    QFETCH(int, speed);
    QFETCH(int, doubleClickMs);
    QCOMPARE(PointerSettings::cursorSpeedFromIndex(index), speed);
    QCOMPARE(PointerSettings::doubleClickMsFromIndex(index), doubleClickMs);
}

void TestPointerSettings::cursorSpeed_data() {
    QTest::addColumn<uint>("index");
    QTest::addColumn<double>("gnome");
    QTest::newRow("slowest") << 0u << -1.0;
    QTest::newRow("speed 4") << 2u << -6.0 / 9.0;
    QTest::newRow("neutral") << 5u << 0.0;
    QTest::newRow("speed 16") << 8u << 0.6;
    QTest::newRow("fastest") << 10u << 1.0;
}

void TestPointerSettings::cursorSpeed() {
    QFETCH(uint, index);
    QFETCH(double, gnome);
    myQQuickView view;
    view.mouseSetCursorSpeed(index);
    QVERIFY(qAbs(gnomeSpeed() - gnome) < 1e-9);
    QVERIFY(PointerSettings::setCursorSpeed(PointerSettings::cursorSpeedFromIndex(index)));
}

void TestPointerSettings::doubleClickTime() {
    myQQuickView view;
    view.mouseSetDoubleClickSpeed(10);
    QCOMPARE(gnomeDoubleClick(), 200);
    view.mouseSetDoubleClickSpeed(0);
    QCOMPARE(gnomeDoubleClick(), 900);
    QVERIFY(PointerSettings::setDoubleClickTime(450));
    QCOMPARE(gnomeDoubleClick(), 450);
    QTest::ignoreMessage(QtDebugMsg, "setDoubleClickSpeed Failed");
    QVERIFY(!PointerSettings::setDoubleClickTime(0));
    QCOMPARE(gnomeDoubleClick(), 450);
}

void TestPointerSettings::wheelLinesOnKde_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("no file") << QByteArray() << QByteArray("[KDE]\nWheelScrollLines=1000\n");
    QTest::newRow("other groups kept")
        << QByteArray("[General]\nfont=Sans,10\n\n[KDE]\nSingleClick=false\n\n[Icons]\nTheme=x\n")
        << QByteArray("[General]\nfont=Sans,10\n\n[KDE]\nSingleClick=false\nWheelScrollLines="
                      "1000\n\n[Icons]\nTheme=x\n");
    QTest::newRow("KDE key text elsewhere untouched")
        << QByteArray("[Other]\nWheelScrollLines=9\n")
        << QByteArray("[Other]\nWheelScrollLines=9\n\n[KDE]\nWheelScrollLines=1000\n");
}

void TestPointerSettings::wheelLinesOnKde() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    qputenv("XDG_CURRENT_DESKTOP", "KDE");
    const QString file = m_config.path() + QStringLiteral("/kdeglobals");
    QFile::remove(file);
    if (!before.isEmpty()) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(before);
    }
    myQQuickView view;
    view.mouseSetVerticalScrollLines(1000);
    QCOMPARE(ctrltest::readFile(file), after);
}

void TestPointerSettings::wheelLinesElsewhere() {
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    const QString file = m_config.path() + QStringLiteral("/kdeglobals");
    QFile::remove(file);
    QTest::ignoreMessage(QtDebugMsg, "setVerticalScrollLines Failed");
    QVERIFY(!PointerSettings::setWheelScrollLines(3));
    QVERIFY(!QFile::exists(file));

    qputenv("XDG_CURRENT_DESKTOP", "ubuntu:KDE");
    QVERIFY(PointerSettings::setWheelScrollLines(7));
    QCOMPARE(ctrltest::readFile(file), QByteArray("[KDE]\nWheelScrollLines=7\n"));
    QTest::ignoreMessage(QtDebugMsg, "setVerticalScrollLines Failed");
    QVERIFY(!PointerSettings::setWheelScrollLines(0));
    QCOMPARE(ctrltest::readFile(file), QByteArray("[KDE]\nWheelScrollLines=7\n"));
}

// A speed counts as set only where the running session takes it; KDE's
// files keep it for the next session of either kind all the same.
void TestPointerSettings::runningSession_data() {
    QTest::addColumn<QByteArray>("desktop");
    QTest::addColumn<bool>("applied");
    QTest::newRow("GNOME on Wayland") << QByteArray("GNOME") << true;
    QTest::newRow("sway") << QByteArray("sway") << false;
    QTest::newRow("KDE on Wayland, KWin unreachable") << QByteArray("KDE") << false;
}

void TestPointerSettings::runningSession() {
    QFETCH(QByteArray, desktop);
    QFETCH(bool, applied);
    qputenv("XDG_CURRENT_DESKTOP", desktop);
    qputenv("WAYLAND_DISPLAY", "wayland-0");
    const QString input = m_config.path() + QStringLiteral("/kcminputrc");
    QFile f(input);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[Libinput][1133][49271][USB Mouse]\nPointerAcceleration=0.5\n");
    f.close();
    if (!applied)
        QTest::ignoreMessage(QtDebugMsg, "setCursorSpeed Failed");
    const bool ok = PointerSettings::setCursorSpeed(1);
    QFile::remove(m_config.path() + QStringLiteral("/kdeglobals"));
    const bool kdeDoubleClick =
        PointerSettings::setDoubleClickTime(400) && desktop == "KDE" &&
        ctrltest::readFile(m_config.path() + QStringLiteral("/kdeglobals")) ==
            "[KDE]\nDoubleClickInterval=400\n";
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    QCOMPARE(ok, applied);
    if (desktop != "KDE")
        return;
    QVERIFY(kdeDoubleClick);
    QCOMPARE(ctrltest::readFile(input),
             QByteArray("[Libinput][1133][49271][USB Mouse]\nPointerAcceleration=-1.000\n\n"
                        "[Mouse]\nXLbInptPointerAcceleration=-1.000\n"));
}

QTEST_MAIN(TestPointerSettings)
#include "tst_pointer_settings.moc"
