#include "gun_presets.h"

#include "module_paths.h"
#include "profile_images.h"
#include "settings_values.h"

#include <QFile>
#include <QSettings>

namespace GunPresets {

namespace {
uchar low8(const QVariantList &l, int i) {
    return i < l.size() ? static_cast<uchar>(l.at(i).toUInt() & 0xFF) : 0;
}
QString key(const QVariant &k) {
    return QStringLiteral("gunData/") + k.toString();
}
} // namespace

QString path() {
    return ModulePaths::gunPresets();
}

bool fileExists() {
    return QFile::exists(path());
}

void save(const QVariant &index, const QVariantList &src6) {
    if (!fileExists() || index.toString().isEmpty())
        return;
    QSettings s(path(), QSettings::IniFormat);
    s.setValue(key(index), src6.mid(0, 6));
}

void modify(int modifyType, const QVariantList &src) {
    if (!fileExists() || src.isEmpty())
        return;
    QSettings s(path(), QSettings::IniFormat);
    if (modifyType == 0) {
        s.remove(key(src.at(0)));
    } else if (modifyType == 1) {
        if (src.size() > 6)
            s.remove(key(src.at(6)));
        if (!src.at(0).toString().isEmpty())
            s.setValue(key(src.at(0)), src.mid(1, 5));
    }
}

QVariantList get(const QVariant &name) {
    if (!fileExists())
        return {};
    QSettings s(path(), QSettings::IniFormat);
    return settingsList(s.value(key(name), 0));
}

QStringList keys() {
    if (!fileExists())
        return {};
    QSettings s(path(), QSettings::IniFormat);
    s.beginGroup(QStringLiteral("gunData"));
    return s.childKeys();
}

void writeToImage(uchar *image, const QVariantList &shotsXY) {
    using namespace ProfileLayout;
    image[kGunMarker] = kGunMarkerValue;
    image[kGunShots] = low8(shotsXY, 0);
    image[kGunX] = low8(shotsXY, 1);
    image[kGunY] = low8(shotsXY, 2);
    image[kGunFlags] &= static_cast<uchar>(~kGunDataBit);
}

uchar yFor553(const QVariant &y, uchar optionByte3) {
    uint v = y.toUInt();
    if (optionByte3 != 0)
        v = 0u - v;
    return static_cast<uchar>(v & 0xFF);
}

} // namespace GunPresets
