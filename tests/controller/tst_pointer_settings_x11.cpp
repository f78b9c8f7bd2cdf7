#include "pointer_settings.h"

#include <QtTest>

#include <X11/Xlib.h>

// Runs under its own Xvfb: the X server's pointer acceleration follows the
// speed, whatever desktop settings exist.
class TestPointerSettingsX11 : public QObject {
    Q_OBJECT
private slots:
    void acceleration();
};

void TestPointerSettingsX11::acceleration() {
    qputenv("GSETTINGS_BACKEND", "memory");
    // Xvfb resets when its last client leaves; this connection keeps it up.
    Display *display = XOpenDisplay(nullptr);
    QVERIFY2(display, "needs an X display (xvfb-run)");
    // Speed and factor; beyond 1..20 the speed is clamped.
    for (const auto &[speed, factor] :
         {std::pair{1, 0.1}, {10, 1.0}, {20, 2.0}, {40, 2.0}, {-3, 0.1}}) {
        QVERIFY(PointerSettings::setCursorSpeed(speed));
        int num = 0, den = 0, threshold = 0;
        XGetPointerControl(display, &num, &den, &threshold);
        QVERIFY2(den > 0 && qAbs(double(num) / den - factor) < 1e-9,
                 qPrintable(QStringLiteral("%1: %2/%3").arg(speed).arg(num).arg(den)));
    }
    XCloseDisplay(display);
}

QTEST_GUILESS_MAIN(TestPointerSettingsX11)
#include "tst_pointer_settings_x11.moc"
