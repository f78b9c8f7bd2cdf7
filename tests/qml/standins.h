// Publishes the recording stand-ins of StandIns.js on a context under the
// names the native side uses.
#pragma once

#include <QFile>
#include <QJSValue>
#include <QQmlContext>
#include <QQmlEngine>

inline QJSValue publishStandIns(QQmlEngine *engine, QQmlContext *context) {
    QFile file(QUICK_TEST_SOURCE_DIR "/StandIns.js");
    if (!file.open(QIODevice::ReadOnly))
        qFatal("StandIns.js: %s", qPrintable(file.errorString()));
    const QJSValue standIns = engine->evaluate(QString::fromUtf8(file.readAll()), file.fileName());
    if (standIns.isError())
        qFatal("StandIns.js: %s", qPrintable(standIns.toString()));
    for (const char *name : {"ui_View", "ui_Ctl", "hid", "callLog"})
        context->setContextProperty(QLatin1String(name),
                                    QVariant::fromValue(standIns.property(name)));
    return standIns;
}
