// Cost per event of the input capture path, from a decoded X11 raw key event
// to the queued call of the scene's detectKeyboard.
//
// Covered, per event: the evdev -> scan code translation the X11 backend
// makes, the key-state filter (scan table, usage table, state compare) and
// the queued QMetaObject::invokeMethod on a QML item that has the scene
// root's detectKeyboard(isDown, usbCode) function, with the same arguments
// the shell's keyboard callback passes. Not covered: reading the event off
// the X connection (XNextEvent/XGetEventData, the X server's own latency)
// and running the queued call later in the event loop; the latter is
// measured separately as "delivery" because it happens after the capture
// code has returned.
//
// Three streams: every event a change of key state (each one queues a
// call), typematic repeats of a held key (the filter drops them), and keys
// without a usage (dropped at the first table).
#include "key_tables.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QVariant>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kEvents = 20000; // per run; the queued calls of one run are drained after it
constexpr int kRuns = 9;

struct Event {
    int evdev;
    bool isDown;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// What the X11 backend does for one raw key event, plus the shell's queued
// call. Returns whether a call was queued.
bool capture(KeyStateFilter &filter, QObject *root, const Event &e) {
    const KeyTables::ScanKey key = KeyTables::evdevToScan(e.evdev, false);
    if (key.scan == 0)
        return false;
    const int usage = filter.feed(key.scan, key.extended, false, e.isDown);
    if (usage == 0)
        return false;
    QMetaObject::invokeMethod(root, "detectKeyboard", Qt::QueuedConnection,
                              Q_ARG(QVariant, QVariant(e.isDown)),
                              Q_ARG(QVariant, QVariant(usage)));
    return true;
}

} // namespace

int main(int argc, char **argv) {
    // The scene's root is a Quick item; no window is shown, so any platform does.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData("import QtQuick\n"
                      "Item {\n"
                      "    property int received: 0\n"
                      "    signal msg_KB(bool isDown, int usbCode)\n"
                      "    function detectKeyboard(isDown, usbCode) { msg_KB(isDown, usbCode); "
                      "received++; }\n"
                      "}\n",
                      QUrl());
    std::unique_ptr<QObject> root(component.create());
    if (!root) {
        std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
        return 1;
    }

    // evdev codes 2..53 are the main block (digits, letters, punctuation).
    std::vector<Event> changes, repeats, unknown;
    for (int i = 0; i < kEvents / 2; ++i) {
        const int code = 2 + i % 52;
        changes.push_back({code, true});
        changes.push_back({code, false});
    }
    for (int i = 0; i < kEvents; ++i)
        repeats.push_back({30, true}); // "A" held down
    for (int i = 0; i < kEvents; ++i)
        unknown.push_back({240 + i % 8, i % 2 == 0}); // codes no PC keyboard table has

    struct Stream {
        const char *name;
        const std::vector<Event> *events;
    };
    const Stream streams[] = {{"key change (queued call)", &changes},
                              {"held-key repeat (filtered)", &repeats},
                              {"unmapped key (dropped)", &unknown}};

    std::printf("%-28s %12s %14s\n", "stream", "ns/event", "delivery ns");
    int status = 0;
    for (const Stream &s : streams) {
        KeyStateFilter filter;
        std::vector<double> perEvent, perDelivery;
        for (int run = 0; run < kRuns; ++run) {
            int queued = 0;
            QElapsedTimer t;
            t.start();
            for (const Event &e : *s.events)
                queued += capture(filter, root.get(), e) ? 1 : 0;
            const qint64 ns = t.nsecsElapsed();
            const int before = root->property("received").toInt();
            t.restart();
            QCoreApplication::processEvents();
            const qint64 deliveryNs = t.nsecsElapsed();
            const int delivered = root->property("received").toInt() - before;
            if (delivered != queued) {
                std::fprintf(stderr, "%s: %d calls queued, %d delivered\n", s.name, queued,
                             delivered);
                status = 1;
            }
            perEvent.push_back(double(ns) / double(s.events->size()));
            // A stream that queues next to nothing has no meaningful delivery cost.
            if (queued >= int(s.events->size()) / 10)
                perDelivery.push_back(double(deliveryNs) / queued);
        }
        if (perDelivery.empty())
            std::printf("%-28s %12.1f %14s\n", s.name, median(perEvent), "-");
        else
            std::printf("%-28s %12.1f %14.1f\n", s.name, median(perEvent), median(perDelivery));
    }
    return status;
}
