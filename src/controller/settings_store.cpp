#include "settings_store.h"

#include "file_ops.h"
#include "module_paths.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {
std::unique_ptr<QSettings> open(const QString &path) {
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}
} // namespace

QString SettingsStore::globalPath() {
    return ModulePaths::globalSettings();
}

QString SettingsStore::factoryGlobalPath() {
    return ModulePaths::factoryGlobalSettings();
}

QString SettingsStore::defaultProfilePath() {
    return ModulePaths::defaultProfile();
}

QString SettingsStore::profilePath(int number) {
    return ModulePaths::profile(number);
}

SettingsStore::SettingsStore() {
    m_global = open(globalPath());
    m_defaults = open(defaultProfilePath());
    for (int n = 0; n < kProfiles; ++n)
        m_profiles[n] = open(profilePath(n));
}

SettingsStore::~SettingsStore() = default;

QSettings *SettingsStore::profile(int number) {
    return isValidProfile(number) ? m_profiles[number].get() : nullptr;
}

void SettingsStore::setCurrentProfile(int number) {
    if (isValidProfile(number))
        m_current = number;
}

bool SettingsStore::replaceProfile(int number, const QString &source) {
    if (!isValidProfile(number))
        return false;
    const QString target = m_profiles[number]->fileName();
    // Pending edits must reach the old file now: a write-back after the
    // replacement would merge them into the new content.
    m_profiles[number]->sync();
    if (!FileOps::replaceWithCopy(source, target))
        return false;
    m_profiles[number].reset();
    m_profiles[number] = open(target);
    return true;
}

bool SettingsStore::copyProfile(int dest, int src) {
    if (!isValidProfile(dest) || !isValidProfile(src) || dest == src)
        return false;
    m_profiles[src]->sync();
    return replaceProfile(dest, m_profiles[src]->fileName());
}

bool SettingsStore::exportProfile(int number, const QString &target) {
    if (!isValidProfile(number))
        return false;
    m_profiles[number]->sync();
    return FileOps::replaceWithCopy(m_profiles[number]->fileName(), target);
}

bool SettingsStore::resetGlobal() {
    const QString target = m_global->fileName();
    m_global->sync();
    if (!FileOps::replaceWithCopy(factoryGlobalPath(), target))
        return false;
    m_global.reset();
    m_global = open(globalPath());
    return true;
}

bool SettingsStore::looksLikeProfile(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    f.close();
    QSettings s(path, QSettings::IniFormat);
    if (s.status() != QSettings::NoError)
        return false;
    return s.contains(QStringLiteral("mouse/dpiValueArray")) &&
           s.contains(QStringLiteral("mouseKeyMatrix/0"));
}
