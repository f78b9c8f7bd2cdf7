#include "name_lists.h"

#include "module_paths.h"
#include "settings_values.h"

#include <QSettings>

namespace NameLists {

QString path() {
    return ModulePaths::nameLists();
}

QString keyFor(const QVariant &type) {
    bool ok = false;
    const int t = type.toInt(&ok);
    if (!ok)
        return {};
    switch (t) {
    case 0:
        return QStringLiteral("macro/macroName");
    case 1:
        return QStringLiteral("gun/gunName");
    case 2:
        return QStringLiteral("profile/profileName");
    case 3:
        return QStringLiteral("gun/selectGun");
    default:
        return {};
    }
}

bool store(const QVariant &type, const QStringList &names) {
    const QString key = keyFor(type);
    if (key.isEmpty())
        return true;
    QStringList list = names;
    // A one-item list would read back as plain text.
    if (list.size() == 1)
        list << QLatin1String(kSentinel);
    QSettings s(path(), QSettings::IniFormat);
    if (list.isEmpty())
        s.remove(key);
    else
        s.setValue(key, list);
    return true;
}

QVariantList read(const QVariant &type) {
    const QString key = keyFor(type);
    if (key.isEmpty())
        return {};
    QSettings s(path(), QSettings::IniFormat);
    return settingsList(s.value(key, 0));
}

} // namespace NameLists
