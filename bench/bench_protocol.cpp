// Measures how long each device operation takes against the virtual mouse
// with real sleeps, and compares it with the sum of the pauses the protocol
// prescribes for it. The transport should add next to nothing on top.
#include "hid_thread.h"
#include "virtual_mouse.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 5;

struct Operation {
    const char *name;
    const char *family;
    int pauseMs; // prescribed pauses: settle 128, 120 per data report, 8 after options
    std::function<void(Hid_Thread &)> run;
};

Hid_Thread *connect(const char *family, int &dev) {
    VirtualMouse &vm = VirtualMouse::instance();
    vm.reset();
    vm.useVirtualClock(false);
    const QJsonObject config{{"family", family},    {"vid", "3a5c"},      {"pid", "7001"},
                             {"usagePage", "ff00"}, {"usage", "ff00"},    {"usagePage2", "ff01"},
                             {"usage2", "ff01"},    {"reportLength", 32}, {"isEncode", true},
                             {"sCode", "SKARN1"},   {"isGun", false}};
    dev = vm.attach(config);
    DeviceEntry e;
    e.type = 1;
    e.vid = 0x3a5c;
    e.pid = 0x7001;
    e.usagePage = e.usage = 0xff00;
    e.usagePage2 = e.usage2 = 0xff01;
    e.reportLength = 32;
    e.isEncode = true;
    e.sCode = QStringLiteral("SKARN1");
    e.commandPath = vm.commandPath(dev);
    e.eventPath = vm.eventPath(dev);
    auto *hid = new Hid_Thread;
    hid->setDeviceFlags(QString::fromLatin1(family), false);
    hid->setDeviceList({e});
    if (!hid->chkDeviceIsEnCode(0)) {
        std::fprintf(stderr, "virtual mouse did not answer\n");
        std::exit(1);
    }
    return hid;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    Hid_Thread::setSleeper(nullptr); // real sleeps

    static uchar matrix[64], image[128], macro[128], dpi[8] = {2, 4, 8, 12, 0x80, 0x80, 0x80, 0x80};
    for (int i = 0; i < 128; ++i)
        image[i] = macro[i] = static_cast<uchar>(i * 7 + 3);
    for (int i = 0; i < 64; ++i)
        matrix[i] = static_cast<uchar>(i);

    const int settle = 128, report = 120;
    const std::vector<Operation> ops{
        {"presence check", "553", 0, [](Hid_Thread &h) { h.chkDeviceIsEnCode(0); }},
        {"key matrix 1", "553", 2 * settle + 2 * report,
         [](Hid_Thread &h) { h.hid553_12H_SetKeyMatrix(matrix, 1); }},
        {"key matrices 1-4", "553", 4 * (2 * settle + 2 * report),
         [](Hid_Thread &h) {
             for (uchar m = 1; m <= 4; ++m)
                 h.hid553_12H_SetKeyMatrix(matrix, m);
         }},
        {"DPI set", "553", 2 * settle + report,
         [](Hid_Thread &h) { h.hid553_11H_SetDPISet(4, dpi); }},
        {"macro", "553", 2 * settle + 4 * report,
         [](Hid_Thread &h) { h.hid553_13H_SetMacroKey(1, macro); }},
        {"560 profile image write", "560", 2 * settle + 4 * report,
         [](Hid_Thread &h) { h.hid560_0CH_setProfile(image, 1); }},
        {"560 profile image read", "560", 0,
         [](Hid_Thread &h) {
             uchar back[128] = {};
             h.hid560_8CH_readProfile(back, 1);
         }},
    };

    std::printf("%-26s %12s %12s %8s\n", "operation", "measured ms", "pauses ms", "ratio");
    bool allWithin = true;
    for (const Operation &op : ops) {
        int dev = 0;
        Hid_Thread *hid = connect(op.family, dev);
        std::vector<double> times;
        for (int i = 0; i < kRuns; ++i) {
            QElapsedTimer t;
            t.start();
            op.run(*hid);
            times.push_back(t.nsecsElapsed() / 1e6);
        }
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2];
        const QStringList v = VirtualMouse::instance().violations();
        if (!v.isEmpty())
            std::fprintf(stderr, "%s: %s\n", op.name, qPrintable(v.join("; ")));
        if (op.pauseMs > 0) {
            const double ratio = median / op.pauseMs;
            allWithin = allWithin && ratio <= 1.03;
            std::printf("%-26s %12.2f %12d %8.4f\n", op.name, median, op.pauseMs, ratio);
        } else {
            // Nothing to wait for: report the bare cost.
            std::printf("%-26s %12.2f %12d %8s\n", op.name, median, 0, "-");
        }
        delete hid;
    }
    return allWithin ? 0 : 2;
}
