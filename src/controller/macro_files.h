#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class QSettings;

// One INI file per macro under "./modules/macro/".
namespace MacroFiles {

// The mouse keeps 128 bytes per macro: at most 62 key actions, which the
// editor records with a pause between each, about 125 steps. Only damage
// gives a count above this cap; 1024 leaves room for runs of pauses, which
// the image folds together.
constexpr int kMaxSteps = 1024;
// A macro of kMaxSteps long steps is well below this; a bigger file is not
// one of ours and is not parsed at all.
constexpr qint64 kMaxFileBytes = 256 * 1024;

QString path(const QString &name);

// Names become file names: anything that could leave the macro folder or
// that file systems refuse is rejected.
bool isValidName(const QString &name);

bool create(const QString &name, uint macroIndex);
bool save(const QString &name, const QStringList &steps, const QVariant &repeat);
// A damaged step count loads only the steps that are there, at most
// kMaxSteps of them.
QStringList load(const QString &name);
bool remove(const QString &name);

// A readable macro file: small enough, INI, with a step count in 0..kMaxSteps.
bool looksLikeMacro(const QString &path);
// Puts the content of source into the macro's file (replacing it); refuses
// a source that does not look like a macro.
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
