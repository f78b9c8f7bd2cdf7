#pragma once

#include "hid_thread.h"
#include "virtual_mouse.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QStringList>

// Shared set-up for tests that talk to the virtual mouse on its virtual clock.
namespace devtest {

inline QJsonObject deviceJson(const QString &family, int reportLength, bool encode,
                              const QString &sCode = "SKARN1", const QString &pid = "7001") {
    return {{"family", family},     {"vid", "3a5c"},       {"pid", pid},
            {"sCode", sCode},       {"isEncode", encode},  {"reportLength", reportLength},
            {"isGun", true},        {"usagePage", "ff00"}, {"usage", "ff00"},
            {"usagePage2", "ff01"}, {"usage2", "ff01"}};
}

// The entry detection would have built for a virtual device.
inline DeviceEntry entryFor(int dev, const QJsonObject &config) {
    DeviceEntry e;
    e.type = 1;
    e.vid = 0x3a5c;
    e.pid = static_cast<uint16_t>(config["pid"].toString().toUInt(nullptr, 16));
    e.usagePage = e.usage = 0xff00;
    e.usagePage2 = e.usage2 = 0xff01;
    e.reportLength = config["reportLength"].toInt();
    e.isEncode = config["isEncode"].toBool();
    e.sCode = config["sCode"].toString();
    e.commandPath = VirtualMouse::instance().commandPath(dev);
    e.eventPath = VirtualMouse::instance().eventPath(dev);
    return e;
}

inline void freshMouse() {
    VirtualMouse::instance().reset();
    VirtualMouse::instance().useVirtualClock(true);
    Hid_Thread::setSleeper(&VirtualMouse::virtualSleep);
}

inline QByteArray bytes(const char *hex) {
    return QByteArray::fromHex(hex);
}
inline QString hex(const QByteArray &b) {
    return QString::fromLatin1(b.toHex(' ').toUpper());
}
inline uchar *u(QByteArray &b) {
    return reinterpret_cast<uchar *>(b.data());
}

struct WireRecord {
    qint64 t;
    QString op;
    QByteArray data;
};

// Log records of one interface, optionally only some operations; with no
// operations named, those carrying bytes to or from the mouse.
inline QList<WireRecord> wire(QStringList ops = {}, const QString &iface = "command") {
    if (ops.isEmpty())
        ops = {"set_feature", "get_feature", "write", "read"};
    QList<WireRecord> out;
    for (const auto &v : VirtualMouse::instance().wireLog()) {
        const QJsonObject o = v.toObject();
        if (o["iface"].toString() == iface && ops.contains(o["op"].toString()))
            out.append({qint64(o["t"].toDouble()), o["op"].toString(),
                        QByteArray::fromHex(o["data"].toString().toLatin1())});
    }
    return out;
}

} // namespace devtest
