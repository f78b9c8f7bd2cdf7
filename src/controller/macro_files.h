#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class QSettings;

// One INI file per macro under "./modules/macro/".
namespace MacroFiles {

QString path(const QString &name);

// Names become file names: anything that could leave the macro folder or
// that file systems refuse is rejected.
bool isValidName(const QString &name);

bool create(const QString &name, uint macroIndex);
bool save(const QString &name, const QStringList &steps, const QVariant &repeat);
QStringList load(const QString &name);
bool remove(const QString &name);

// Puts the content of source into the macro's file (replacing it).
bool importFrom(const QString &name, const QString &source);
bool exportTo(const QString &name, const QString &target);

// Profile references: "mouseMacroKey/<slot>" names and macro entries of the
// key matrix.
void renameInProfiles(const QList<QSettings *> &profiles, const QString &oldName,
                      const QString &newName);
bool renameFile(const QString &oldName, const QString &newName);
void resetButtonsPlaying(const QList<QSettings *> &profiles, QSettings &defaults,
                         const QString &name);

} // namespace MacroFiles
