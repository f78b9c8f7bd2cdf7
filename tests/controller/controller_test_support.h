#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QVariantList>

#include <utility>

namespace ctrltest {

inline void writeIni(const QString &path, const QList<std::pair<QString, QVariant>> &values) {
    QSettings s(path, QSettings::IniFormat);
    for (const auto &v : values)
        s.setValue(v.first, v.second);
}

inline QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString &path, const QByteArray &data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

inline QString profilePath(int n) {
    return QStringLiteral("./modules/setting/p%1.bin").arg(n + 1);
}

// A profile marked with `marker` (report rate and key matrix byte 3), with
// layer templates 1, 0, j, 0.
inline void writeProfile(const QString &path, int marker) {
    QList<std::pair<QString, QVariant>> v{
        {"mouse/reportRate", marker},
        {"mouse/dpiValueArray", QVariantList{800, 1600, 2400, 3200, 4000, 5000, 6000, 7000}}};
    for (int i = 0; i < 16; ++i) {
        v.append(
            {QStringLiteral("mouseKeyMatrix/%1").arg(i), QVariantList{0, 0, 0xF0 + i % 5, marker}});
        v.append({QStringLiteral("mouseFwKeyMatrix/%1").arg(i), QVariantList{1, 0, i, 0}});
    }
    writeIni(path, v);
}

// The program works relative to its own folder: each test runs inside a
// private folder holding the global settings of one mouse, the default
// profile (marker 99) and ten profiles (marker n).
class Sandbox {
public:
    explicit Sandbox(const QString &icType = QStringLiteral("553"), bool colourful = true,
                     bool gun = false, bool is55328 = false)
        : m_old(QDir::currentPath()) {
        for (const char *sub : {"setting", "macro", "gun", "i18n"})
            QDir(m_dir.path()).mkpath(QStringLiteral("modules/") + QLatin1String(sub));
        QDir::setCurrent(m_dir.path());
        writeIni("./modules/setting/apConfig.bin", {{"mouse/icType", icType},
                                                    {"mouse/isColorful", colourful},
                                                    {"mouse/isGun", gun},
                                                    {"mouse/is55328", is55328}});
        writeProfile(QStringLiteral("./modules/setting/pD.bin"), 99);
        for (int n = 0; n < 10; ++n)
            writeProfile(profilePath(n), n);
    }
    ~Sandbox() { QDir::setCurrent(m_old); }
    QString path(const QString &rel) const { return m_dir.path() + QLatin1Char('/') + rel; }

private:
    QString m_old;
    QTemporaryDir m_dir;
};

inline QByteArray bytes(std::initializer_list<int> v) {
    QByteArray b;
    for (int x : v)
        b.append(char(x));
    return b;
}

} // namespace ctrltest
