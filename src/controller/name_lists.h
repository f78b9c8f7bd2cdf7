#pragma once

#include <QStringList>
#include <QVariant>
#include <QVariantList>

// Ordered name lists (macros, guns, profiles) in "./modules/setting/name.bin".
namespace NameLists {

inline const char *const kSentinel = "loadervortex";

QString path();
// Settings key of a list type 0..3; empty for any other type.
QString keyFor(const QVariant &type);

bool store(const QVariant &type, const QStringList &names);
QVariantList read(const QVariant &type);

} // namespace NameLists
