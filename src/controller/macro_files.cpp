#include "macro_files.h"

#include "file_ops.h"
#include "module_paths.h"
#include "settings_values.h"

#include <QFile>
#include <QSettings>

namespace MacroFiles {

QString path(const QString &name) {
    return ModulePaths::macro(name);
}

bool isValidName(const QString &name) {
    if (name.isEmpty() || name.size() > 200)
        return false;
    if (name == QLatin1String(".") || name.contains(QLatin1String("..")))
        return false;
    // Leading/trailing blanks and a trailing dot are silently dropped or
    // refused by Windows file systems.
    if (name.front().isSpace() || name.back().isSpace() || name.back() == QLatin1Char('.'))
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.category() == QChar::Other_Control)
            return false;
        if (QStringLiteral("/\\:*?\"<>|").contains(c))
            return false;
    }
    static const QStringList reserved = {
        QStringLiteral("CON"),  QStringLiteral("PRN"),  QStringLiteral("AUX"),
        QStringLiteral("NUL"),  QStringLiteral("COM1"), QStringLiteral("COM2"),
        QStringLiteral("COM3"), QStringLiteral("COM4"), QStringLiteral("COM5"),
        QStringLiteral("COM6"), QStringLiteral("COM7"), QStringLiteral("COM8"),
        QStringLiteral("COM9"), QStringLiteral("LPT1"), QStringLiteral("LPT2"),
        QStringLiteral("LPT3"), QStringLiteral("LPT4"), QStringLiteral("LPT5"),
        QStringLiteral("LPT6"), QStringLiteral("LPT7"), QStringLiteral("LPT8"),
        QStringLiteral("LPT9")};
    return !reserved.contains(name.section(QLatin1Char('.'), 0, 0), Qt::CaseInsensitive);
}

bool create(const QString &name, uint macroIndex) {
    if (!isValidName(name))
        return false;
    QSettings s(path(name), QSettings::IniFormat);
    s.beginGroup(QStringLiteral("config"));
    s.setValue(QStringLiteral("index"), macroIndex);
    s.setValue(QStringLiteral("total"), 0);
    s.setValue(QStringLiteral("repeat"), 1);
    s.setValue(QStringLiteral("did"), -1);
    s.endGroup();
    s.sync();
    return s.status() == QSettings::NoError;
}

bool save(const QString &name, const QStringList &steps, const QVariant &repeat) {
    if (!isValidName(name) || !QFile::exists(path(name)))
        return false;
    QSettings s(path(name), QSettings::IniFormat);
    s.remove(QStringLiteral("macro"));
    s.setValue(QStringLiteral("config/total"), steps.size());
    s.setValue(QStringLiteral("config/repeat"), repeat);
    for (int i = 0; i < steps.size(); ++i)
        s.setValue(QStringLiteral("macro/") + QString::number(i), steps.at(i));
    s.sync();
    return s.status() == QSettings::NoError;
}

QStringList load(const QString &name) {
    QStringList out;
    if (!isValidName(name) || !QFile::exists(path(name)))
        return out;
    QSettings s(path(name), QSettings::IniFormat);
    const int total = qMax(0, s.value(QStringLiteral("config/total"), 0).toInt());
    // Within the cap a missing step reads as "0", as it always has; beyond
    // it the count is damage and only the steps present are believed.
    const bool believable = total <= kMaxSteps;
    for (int i = 0; i < qMin(total, kMaxSteps); ++i) {
        const QString key = QStringLiteral("macro/") + QString::number(i);
        if (!believable && !s.contains(key))
            break;
        out << s.value(key, QStringLiteral("0")).toString();
    }
    out << s.value(QStringLiteral("config/repeat"), QStringLiteral("0")).toString();
    return out;
}

bool remove(const QString &name) {
    if (!isValidName(name) || !QFile::exists(path(name)))
        return false;
    return QFile::remove(path(name));
}

bool looksLikeMacro(const QString &source) {
    QFile f(source);
    if (f.size() > kMaxFileBytes || !f.open(QIODevice::ReadOnly))
        return false;
    f.close();
    QSettings s(source, QSettings::IniFormat);
    bool ok = false;
    const int total = s.value(QStringLiteral("config/total")).toString().toInt(&ok);
    return s.status() == QSettings::NoError && ok && total >= 0 && total <= kMaxSteps;
}

bool importFrom(const QString &name, const QString &source) {
    if (!isValidName(name) || source.isEmpty() || !looksLikeMacro(source))
        return false;
    return FileOps::replaceWithCopy(source, path(name));
}

bool exportTo(const QString &name, const QString &target) {
    if (!isValidName(name) || target.isEmpty() || !QFile::exists(path(name)))
        return false;
    return FileOps::replaceWithCopy(path(name), target);
}

void renameInProfiles(const QList<QSettings *> &profiles, const QString &oldName,
                      const QString &newName) {
    for (QSettings *p : profiles) {
        if (!p)
            continue;
        p->beginGroup(QStringLiteral("mouseMacroKey"));
        const QStringList keys = p->childKeys();
        for (const QString &k : keys)
            if (p->value(k, QString()).toString() == oldName)
                p->setValue(k, newName);
        p->endGroup();
    }
}

bool renameFile(const QString &oldName, const QString &newName) {
    if (!isValidName(oldName) || !isValidName(newName))
        return false;
    return QFile::rename(path(oldName), path(newName));
}

void resetButtonsPlaying(const QList<QSettings *> &profiles, QSettings &defaults,
                         const QString &name) {
    for (QSettings *p : profiles) {
        if (!p)
            continue;
        for (int k = 0; k < 16; ++k) {
            const QString key = QStringLiteral("mouseKeyMatrix/") + QString::number(k);
            const QVariantList entry = settingsList(p->value(key));
            if (entry.size() < 3 || entry.at(0).toInt() != 4)
                continue;
            const QString slotKey =
                QStringLiteral("mouseMacroKey/") + QString::number(entry.at(2).toInt());
            if (p->value(slotKey).toString() != name)
                continue;
            const QVariant factory = defaults.value(key);
            if (factory.isValid())
                p->setValue(key, factory);
            else
                p->remove(key);
        }
    }
}

} // namespace MacroFiles
