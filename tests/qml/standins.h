// Publishes the recording stand-ins of StandIns.qml on a context under the
// names the native side uses, owned by the engine.
#pragma once

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>

inline QObject *publishStandIns(QQmlEngine *engine, QQmlContext *context) {
    QQmlComponent component(engine, QUrl::fromLocalFile(QUICK_TEST_SOURCE_DIR "/StandIns.qml"));
    QObject *standIns = component.create();
    if (!standIns)
        qFatal("StandIns.qml: %s", qPrintable(component.errorString()));
    standIns->setParent(engine);
    for (const char *name : {"ui_View", "ui_Ctl", "hid", "callLog"})
        context->setContextProperty(QLatin1String(name), standIns->property(name));
    return standIns;
}
