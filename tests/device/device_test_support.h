#pragma once

#include "hid_thread.h"
#include "virtual_mouse.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// Shared set-up for tests that talk to the virtual mouse.
namespace devtest {

inline QJsonObject mouseSpec(const QString &family, int reportLength, bool encode,
                             const QString &sCode = QStringLiteral("SKARN1"),
                             const QString &pid = QStringLiteral("7001")) {
    return QJsonObject{{"family", family},   {"vid", "3a5c"},
                       {"pid", pid},         {"usagePage", "ff00"},
                       {"usage", "ff00"},    {"usagePage2", "ff01"},
                       {"usage2", "ff01"},   {"reportLength", reportLength},
                       {"isEncode", encode}, {"sCode", sCode},
                       {"isGun", false}};
}

// The entry the program would have built for a virtual device.
inline DeviceEntry entryFor(int dev, const QJsonObject &spec) {
    VirtualMouse &vm = VirtualMouse::instance();
    DeviceEntry e;
    e.type = 1;
    e.vid = static_cast<uint16_t>(spec.value("vid").toString().toUInt(nullptr, 16));
    e.pid = static_cast<uint16_t>(spec.value("pid").toString().toUInt(nullptr, 16));
    e.usagePage = 0xff00;
    e.usage = 0xff00;
    e.usagePage2 = 0xff01;
    e.usage2 = 0xff01;
    e.reportLength = spec.value("reportLength").toInt();
    e.isEncode = spec.value("isEncode").toBool();
    e.sCode = spec.value("sCode").toString();
    e.commandPath = vm.commandPath(dev);
    e.eventPath = vm.eventPath(dev);
    return e;
}

inline void freshMouse() {
    VirtualMouse &vm = VirtualMouse::instance();
    vm.reset();
    vm.useVirtualClock(true);
    Hid_Thread::setSleeper(&VirtualMouse::virtualSleep);
}

inline QByteArray bytes(const QString &hex) {
    return QByteArray::fromHex(hex.toLatin1());
}

inline QString hex(const QByteArray &b) {
    return QString::fromLatin1(b.toHex(' ').toUpper());
}

struct WireRecord {
    qint64 t = 0;
    QString iface;
    QString op;
    QByteArray data;
};

// Records of one interface, optionally restricted to some operations.
inline QList<WireRecord> wire(const QStringList &ops = {},
                              const QString &iface = QStringLiteral("command")) {
    QList<WireRecord> out;
    const QJsonArray log = VirtualMouse::instance().wireLog();
    for (const auto &v : log) {
        const QJsonObject o = v.toObject();
        WireRecord r;
        r.t = static_cast<qint64>(o.value("t").toDouble());
        r.iface = o.value("iface").toString();
        r.op = o.value("op").toString();
        r.data = bytes(o.value("data").toString().remove(QLatin1Char(' ')));
        if (!iface.isEmpty() && r.iface != iface)
            continue;
        if (!ops.isEmpty() && !ops.contains(r.op))
            continue;
        out.append(r);
    }
    return out;
}

// Reports that carry bytes to or from the mouse, in order.
inline QList<WireRecord> traffic() {
    return wire({"set_feature", "get_feature", "write", "read"});
}

// Block with its checksum appended (bytes 0..6 given).
inline QByteArray block(const QByteArray &seven) {
    QByteArray b = seven.left(7);
    b.resize(7, '\0');
    uint sum = 0;
    for (char c : b)
        sum += static_cast<uchar>(c);
    b.append(static_cast<char>(0xFF - (sum & 0xFF)));
    return b;
}

inline QByteArray scrambled(QByteArray plainBlock, const QString &sCode) {
    uint8_t code[8] = {};
    for (int i = 0; i < 6 && i < sCode.size(); ++i)
        code[i + 1] = static_cast<uint8_t>(sCode.at(i).toLatin1());
    VirtualMouse::scramble(reinterpret_cast<uint8_t *>(plainBlock.data()), code);
    return plainBlock;
}

} // namespace devtest
