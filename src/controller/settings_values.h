#pragma once

#include <QMetaType>
#include <QVariant>
#include <QVariantList>

// A settings value as a list. Only real lists count: QVariant would turn a
// plain text into a list of its characters.
inline QVariantList settingsList(const QVariant &v) {
    const int id = v.metaType().id();
    if (id == QMetaType::QVariantList || id == QMetaType::QStringList)
        return v.toList();
    return {};
}
