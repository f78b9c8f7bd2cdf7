// A whole profile switch as the user makes it, timed against the pauses the
// protocol prescribes for it.
//
// The program's own pieces run here: the main widget, the controller, the
// scene loaded from the resources, the shipped settings beside this binary
// and the simulated mouse with real sleeps. After the start-up sequence the
// scene's switchProfile(position) is called, the function the title-bar
// drop-down calls: it stores the profile number and has every page reload
// and send its settings (key matrix, report rate, DPI, lighting, system
// settings, and the gun key layers on a gun mouse). The call returns when
// the last report has gone out, so its wall time is the switch.
//
// The prescribed pauses are what the transport asks to sleep during the
// call (settle pauses, 120 ms after each data report, 8 ms after option
// commands); the simulated mouse flags any pause shorter than the firmware
// needs, and the data reports are counted from its wire log as a cross-check
// (each must be followed by 120 ms). The runs switch back and forth between
// the first two entries of the profile list, so each one is a real switch.
#include "app_setup.h"
#include "hid_thread.h"
#include "myqquickview.h"
#include "virtual_mouse.h"
#include "widget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QQmlContext>
#include <QQmlExpression>
#include <QQuickItem>
#include <QQuickWindow>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 5;

struct Step {
    const char *name;
    const char *expression; // evaluated in the scene root's context
};
// The calls the scene's switch makes, in its order.
constexpr Step kSteps[] = {
    {"busy lock on and off", "controlUIEnable(false), controlUIEnable(true)"},
    {"store profile number", "ui_View.setGlobalData('mouse/profileNo', currentProfile)"},
    {"load profile", "ui_View.setCurrentProfile(currentProfile)"},
    {"key matrix page", "keyMatrixMain.init(true, false)"},
    {"report rate row", "reportRateRect.init(true)"},
    {"DPI page", "dpiSettingMain.init(true, false)"},
    {"lighting page", "lightControlMain.init(true, false)"},
    {"system settings page", "systemSettingMain.init(true, false)"},
    {"gun: key matrix 1", "ui_View.mouseSwitchKeyMatrix(1)"},
    {"gun: reset key matrix", "ui_View.mouseResetKeyMatrix()"},
    // The same pages loading without sending: the scene's own share.
    {"key matrix page, no send", "keyMatrixMain.init(false, false)"},
    {"DPI page, no send", "dpiSettingMain.init(false, false)"},
    {"lighting page, no send", "lightControlMain.init(false, false)"},
};
std::atomic<long long> g_sleptMs{0};
// Scene frames rendered while a switch runs: the transport processes pending
// events before each exchange, and the pages' new values repaint the scene.
QElapsedTimer g_frameClock;
double g_renderMs = 0;
int g_frames = 0;

void waitWithEvents(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

int dataReports(const QJsonArray &log) {
    int n = 0;
    for (const QJsonValue &v : log) {
        const QJsonObject r = v.toObject();
        if (r.value("iface").toString() == "command" && r.value("op").toString() == "write")
            ++n;
    }
    return n;
}

int featureReports(const QJsonArray &log) {
    int n = 0;
    for (const QJsonValue &v : log) {
        const QJsonObject r = v.toObject();
        if (r.value("iface").toString() == "command" && r.value("op").toString() == "set_feature")
            ++n;
    }
    return n;
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    AppSetup::enterExecutableFolder();
    AppSetup::prepareScene();

    // Only the transport's pauses go through the sleeper; the event reader
    // waits in hid_read_timeout.
    Hid_Thread::setSleeper([](int ms) {
        g_sleptMs += ms;
        QThread::msleep(static_cast<unsigned long>(std::max(ms, 0)));
    });

    Widget widget;
    widget.showNormal();
    widget.checkDevice();
    if (!Widget::deviceConnected) {
        std::fprintf(stderr, "bench_switch: the simulated mouse was not detected\n");
        return 1;
    }
    // initUI is queued and its protect interval lasts 1000 ms.
    waitWithEvents(1500);
    QQuickItem *root = widget.view() ? widget.view()->rootObject() : nullptr;
    if (!root) {
        std::fprintf(stderr, "bench_switch: no scene\n");
        return 1;
    }

    if (QQuickWindow *w = widget.view()->quickWindow()) {
        QObject::connect(
            w, &QQuickWindow::beforeSynchronizing, w, [] { g_frameClock.start(); },
            Qt::DirectConnection);
        QObject::connect(
            w, &QQuickWindow::afterRendering, w,
            [] {
                if (g_frameClock.isValid())
                    g_renderMs += double(g_frameClock.nsecsElapsed()) / 1e6;
                ++g_frames;
            },
            Qt::DirectConnection);
    }

    VirtualMouse &vm = VirtualMouse::instance();
    // A switch needs a second profile: make one the way the profile dialog's
    // "New" does, unless an earlier run left it.
    {
        QQmlExpression second(qmlContext(root), root,
                              "(profileMain.profileNumberAt(1) < 0 && profileMain.newProfile(), "
                              "profileMain.profileNumberAt(1))");
        const QVariant number = second.evaluate();
        if (second.hasError() || number.toInt() < 0) {
            std::fprintf(stderr, "bench_switch: no second profile: %s\n",
                         qPrintable(second.error().toString()));
            return 1;
        }
        waitWithEvents(200);
    }
    vm.clearViolations();
    struct Result {
        double ms = 0, ratio = 0, renderMs = 0;
        long long pauseMs = 0;
        int features = 0, reports = 0, frames = 0;
    };
    int target = 1;
    // kRuns switches back and forth; medians. False when a switch sent nothing.
    auto runSwitches = [&](Result &r) {
        std::vector<double> measured, ratios, renderMs;
        for (int run = 0; run < kRuns; ++run) {
            vm.clearWireLog();
            g_sleptMs = 0;
            g_renderMs = 0;
            g_frames = 0;
            QElapsedTimer t;
            t.start();
            if (!QMetaObject::invokeMethod(root, "switchProfile", Qt::DirectConnection,
                                           Q_ARG(QVariant, QVariant(target)))) {
                std::fprintf(stderr, "bench_switch: the scene has no switchProfile(position)\n");
                return false;
            }
            const double ms = double(t.nsecsElapsed()) / 1e6;
            const long long slept = g_sleptMs;
            const QJsonArray log = vm.wireLog();
            r.reports = dataReports(log);
            r.features = featureReports(log);
            if (slept == 0 || slept < 120LL * r.reports) {
                std::fprintf(stderr,
                             "bench_switch: run %d slept %lld ms for %d data reports: the switch "
                             "did not go through the transport's pauses\n",
                             run, slept, r.reports);
                return false;
            }
            measured.push_back(ms);
            renderMs.push_back(g_renderMs);
            r.frames = g_frames;
            ratios.push_back(ms / double(slept));
            r.pauseMs = slept;
            target = target == 1 ? 0 : 1;
            QCoreApplication::processEvents();
        }
        std::sort(measured.begin(), measured.end());
        std::sort(ratios.begin(), ratios.end());
        std::sort(renderMs.begin(), renderMs.end());
        r.ms = measured[measured.size() / 2];
        r.ratio = ratios[ratios.size() / 2];
        r.renderMs = renderMs[renderMs.size() / 2];
        return true;
    };
    Result shown, hidden;
    if (!runSwitches(shown))
        return 1;
    // The same with the window hidden: what the window's repaints inside
    // the exchanges (each one processes pending events first) cost.
    widget.hide();
    QCoreApplication::processEvents();
    if (!runSwitches(hidden))
        return 1;
    widget.showNormal();
    waitWithEvents(300);

    const QStringList violations = vm.violations();
    for (const QString &v : violations)
        std::fprintf(stderr, "violation: %s\n", qPrintable(v));

    std::printf("%-26s %12s %12s %8s %8s %8s\n", "operation", "measured ms", "pauses ms", "ratio",
                "features", "data");
    std::printf("%-26s %12.2f %12lld %8.4f %8d %8d\n", "profile switch", shown.ms, shown.pauseMs,
                shown.ratio, shown.features, shown.reports);
    std::printf("%-26s %12.2f %12lld %8.4f %8d %8d\n", "profile switch, hidden", hidden.ms,
                hidden.pauseMs, hidden.ratio, hidden.features, hidden.reports);

    // Where the time of a switch goes: the same page calls one by one, in the
    // order the switch makes them, each timed with its own pauses. Steps
    // without pauses (settings that do not go to the mouse) show their bare
    // cost, which is what lifts the whole switch above its pauses.
    std::printf("\n%-26s %12s %12s %8s\n", "switch step", "measured ms", "pauses ms", "ratio");
    for (const Step &step : kSteps) {
        std::vector<double> times;
        long long slept = 0;
        for (int run = 0; run < kRuns; ++run) {
            QQmlExpression e(qmlContext(root), root, QString::fromLatin1(step.expression));
            g_sleptMs = 0;
            QElapsedTimer t;
            t.start();
            e.evaluate();
            times.push_back(double(t.nsecsElapsed()) / 1e6);
            slept = g_sleptMs;
            if (e.hasError()) {
                std::fprintf(stderr, "bench_switch: %s: %s\n", step.expression,
                             qPrintable(e.error().toString()));
                return 1;
            }
            QCoreApplication::processEvents();
        }
        std::sort(times.begin(), times.end());
        const double m = times[times.size() / 2];
        if (slept > 0)
            std::printf("%-26s %12.2f %12lld %8.4f\n", step.name, m, slept, m / double(slept));
        else
            std::printf("%-26s %12.2f %12d %8s\n", step.name, m, 0, "-");
    }
    std::printf("\nscene rendering inside the switch (window shown): %.2f ms in %d frames\n",
                shown.renderMs, shown.frames);
    return violations.isEmpty() && shown.ratio <= 1.03 ? 0 : 2;
}
