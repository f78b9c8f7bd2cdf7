#include "lang_strings.h"

#include "module_paths.h"

#include <QSettings>

namespace LangStrings {

QString path(const QString &langCode) {
    return ModulePaths::language(langCode);
}

QStringList group(const QString &typeStr, const QString &langCode) {
    QStringList out;
    // A code like "../x" must not select a file outside the language folder.
    if (langCode.isEmpty() || langCode.contains(QLatin1Char('/')) ||
        langCode.contains(QLatin1Char('\\')) || langCode.contains(QLatin1String("..")))
        return out;
    QSettings s(path(langCode), QSettings::IniFormat);
    const int total = s.value(typeStr + QStringLiteral("/total"), 0).toInt();
    // Guard against a corrupt count; real groups hold a few hundred texts.
    const int bounded = qBound(0, total, 100000);
    out.reserve(bounded);
    for (int i = 0; i < bounded; ++i)
        out << s.value(typeStr + QLatin1Char('/') + QString::number(i), QString()).toString();
    return out;
}

QStringList notificationTexts(const QStringList &current, const QStringList &other) {
    QStringList out = current;
    while (out.size() < 8)
        out << QStringLiteral("DPI Switch to");
    for (int i = 0; i < 8 && i < other.size(); ++i)
        out[i] = other.at(i);
    return out.mid(0, 8);
}

} // namespace LangStrings
