#include "device_list.h"

#include "hid_thread.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <hidapi.h>

namespace {

// A corrupt count must not make us read thousands of empty groups.
constexpr int kMaxEntries = 64;
constexpr int kMaxReportLength = 512;

// INI values containing commas come back as lists; rejoin them so a code
// such as "AB,CD1" survives.
QString textValue(const QVariant &v) {
    if (v.userType() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString().trimmed();
}

// Hex text, or the default when the key is absent or not hex / too wide.
template <typename T>
T hexValue(const QSettings &s, const QString &key, T fallback, quint64 maxValue) {
    if (!s.contains(key))
        return fallback;
    bool ok = false;
    const uint v = textValue(s.value(key)).toUInt(&ok, 16);
    if (!ok || v > maxValue)
        return fallback;
    return static_cast<T>(v);
}

int entryCount(const QSettings &s) {
    bool ok = false;
    const int n = textValue(s.value(QStringLiteral("common/deviceCount"), 0)).toInt(&ok);
    if (!ok || n < 0)
        return 0;
    return n;
}

} // namespace

namespace DeviceList {

QList<DeviceEntry> read(const QString &path) {
    QList<DeviceEntry> list;
    QSettings s(path, QSettings::IniFormat);
    // The count is looked up again before each entry, like the settings
    // object would if another writer changed it in between.
    for (int i = 0; i < kMaxEntries && i < entryCount(s); ++i) {
        const QString g = QString::number(i);
        DeviceEntry e;
        e.type = hexValue<int32_t>(s, g + QStringLiteral("/type"), -1, 0xFFFFFFFFu);
        e.vid = hexValue<uint16_t>(s, g + QStringLiteral("/vid"), 0, 0xFFFF);
        e.pid = hexValue<uint16_t>(s, g + QStringLiteral("/pid"), 0, 0xFFFF);
        e.usagePage = hexValue<uint16_t>(s, g + QStringLiteral("/usagePage"), 0, 0xFFFF);
        e.usage = hexValue<uint16_t>(s, g + QStringLiteral("/usage"), 0, 0xFFFF);
        e.usagePage2 = hexValue<uint16_t>(s, g + QStringLiteral("/usagePage2"), 0, 0xFFFF);
        e.usage2 = hexValue<uint16_t>(s, g + QStringLiteral("/usage2"), 0, 0xFFFF);

        const QString lenKey = g + QStringLiteral("/reportLength");
        if (s.contains(lenKey)) {
            bool ok = false;
            e.reportLength = textValue(s.value(lenKey)).toInt(&ok);
            if (!ok)
                e.reportLength = 0; // unusable: skipped below
        } else {
            e.reportLength = 32;
        }
        // A report length we cannot frame would loop forever or overrun the
        // data buffer; such an entry cannot be talked to at all.
        if (e.reportLength < 1 || e.reportLength > kMaxReportLength)
            continue;

        e.isEncode = s.value(g + QStringLiteral("/isEncode"), false).toBool();
        const QString codeKey = g + QStringLiteral("/sCode");
        e.sCode =
            s.contains(codeKey) ? textValue(s.value(codeKey)) : QString::fromLatin1(kDefaultSCode);
        list.append(e);
    }
    return list;
}

void matchInterfaces(QList<DeviceEntry> &list) {
    for (DeviceEntry &e : list) {
        e.commandPath.clear();
        e.eventPath.clear();
        hid_device_info *all = hid_enumerate(e.vid, e.pid);
        for (hid_device_info *d = all; d; d = d->next) {
            if (!d->path)
                continue;
            const QString p = QString::fromLocal8Bit(d->path);
            if (d->usage_page == e.usagePage && d->usage == e.usage)
                e.commandPath = p;
            if (d->usage_page == e.usagePage2 && d->usage == e.usage2)
                e.eventPath = p;
        }
        hid_free_enumeration(all);
    }
}

int detect(Hid_Thread &hid, const QString &path) {
    QList<DeviceEntry> list = read(path);
    matchInterfaces(list);
    hid.setDeviceList(list);
    for (int j = 0; j < list.size(); ++j) {
        if (list.at(j).commandPath.isEmpty())
            continue;
        if (hid.chkDeviceIsEnCode(j))
            return j;
    }
    return -1;
}

} // namespace DeviceList
