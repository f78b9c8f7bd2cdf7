#pragma once

#include <QList>
#include <QString>

#include <memory>

class QSettings;

// The long-lived settings objects: global settings, default profile and the
// ten profile files, plus which profile is current.
class SettingsStore {
public:
    static constexpr int kProfiles = 10;

    static QString globalPath();
    static QString factoryGlobalPath();
    static QString defaultProfilePath();
    static QString profilePath(int number); // number 0..9

    SettingsStore();
    ~SettingsStore();
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    QSettings &global() { return *m_global; }
    QSettings &defaults() { return *m_defaults; }
    // nullptr outside 0..9.
    QSettings *profile(int number);
    QSettings &current() { return *m_profiles[m_current]; }

    int currentProfile() const { return m_current; }
    // Numbers outside 0..9 are ignored.
    void setCurrentProfile(int number);

    static bool isValidProfile(int number) { return number >= 0 && number < kProfiles; }

    // Replaces profile file n by a copy of source. The file is replaced in
    // one step; on failure the old file and its settings object stay.
    bool replaceProfile(int number, const QString &source);
    bool copyProfile(int dest, int src);
    // Writes pending changes of profile n and copies its file to target.
    bool exportProfile(int number, const QString &target);

    // Restores the global settings file from its factory copy.
    bool resetGlobal();

    // A file that can serve as a profile: readable INI holding the key
    // matrix and the DPI stages.
    static bool looksLikeProfile(const QString &path);

private:
    std::unique_ptr<QSettings> m_global;
    std::unique_ptr<QSettings> m_defaults;
    std::unique_ptr<QSettings> m_profiles[kProfiles];
    int m_current = 0;
};
