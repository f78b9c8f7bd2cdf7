#pragma once

#include <QStringList>

// Texts of the scene, one group of a "./modules/i18n/<code>.ini" file.
namespace LangStrings {

QString path(const QString &langCode);
QStringList group(const QString &typeStr, const QString &langCode);

// The DPI-stage balloon texts after fetching "other": its first eight texts
// replace the current ones; positions it does not cover keep theirs.
QStringList notificationTexts(const QStringList &current, const QStringList &other);

} // namespace LangStrings
