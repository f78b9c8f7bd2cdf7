#pragma once

#include <QJSValue>
#include <QMetaType>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

// A settings value as a list. Only real lists count: QVariant would turn a
// plain text into a list of its characters.
inline QVariantList settingsList(const QVariant &v) {
    const int id = v.metaType().id();
    if (id == QMetaType::QVariantList || id == QMetaType::QStringList)
        return v.toList();
    return {};
}

// What the scene hands over, as plain numbers, texts, lists and maps. A JS
// array or object arrives wrapped in a QJSValue, which QSettings can only
// store as an opaque blob that no later run reads back.
inline QVariant plainValue(const QVariant &v) {
    const int id = v.metaType().id();
    if (id == qMetaTypeId<QJSValue>())
        return plainValue(v.value<QJSValue>().toVariant());
    if (id == QMetaType::QVariantList) {
        QVariantList out;
        for (const QVariant &item : v.toList())
            out << plainValue(item);
        return out;
    }
    if (id == QMetaType::QVariantMap) {
        QVariantMap out;
        const QVariantMap in = v.toMap();
        for (auto it = in.cbegin(); it != in.cend(); ++it)
            out.insert(it.key(), plainValue(it.value()));
        return out;
    }
    return v;
}

inline QVariantList plainList(const QVariantList &list) {
    return plainValue(list).toList();
}
