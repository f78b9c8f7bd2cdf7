#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>

#include <utility>

// The program works relative to its own folder; each test gets a private
// folder with the files it needs and runs inside it.
namespace ctrltest {

class Sandbox {
public:
    Sandbox() : m_old(QDir::currentPath()) {
        QDir d(m_dir.path());
        for (const char *sub : {"setting", "macro", "gun", "i18n"})
            d.mkpath(QStringLiteral("modules/") + QLatin1String(sub));
        QDir::setCurrent(m_dir.path());
    }
    ~Sandbox() { QDir::setCurrent(m_old); }
    Sandbox(const Sandbox &) = delete;
    Sandbox &operator=(const Sandbox &) = delete;

    QString path(const QString &rel) const { return m_dir.path() + QLatin1Char('/') + rel; }

private:
    QString m_old;
    QTemporaryDir m_dir;
};

using Values = QList<std::pair<QString, QVariant>>;

inline void writeIni(const QString &path, const Values &values) {
    QSettings s(path, QSettings::IniFormat);
    for (const auto &v : values)
        s.setValue(v.first, v.second);
    s.sync();
}

inline QByteArray readFile(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

inline bool writeFile(const QString &path, const QByteArray &data) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    return f.write(data) == data.size();
}

inline void writeGlobal(const QString &icType, bool isColorful, bool isGun, bool is55328,
                        const QString &path = QStringLiteral("./modules/setting/apConfig.bin")) {
    writeIni(path, {{"mouse/icType", icType},
                    {"mouse/isColorful", isColorful},
                    {"mouse/isGun", isGun},
                    {"mouse/is55328", is55328},
                    {"common/language", "English"}});
}

// A profile file with the keys an import requires, marked so copies can be
// told apart.
inline void writeProfile(const QString &path, int marker) {
    Values v{{"mouse/reportRate", marker},
             {"mouse/dpiValueArray", QVariantList{800, 1600, 2400, 3200, 4000, 5000, 6000, 7000}},
             {"mouse/currentDpiCount", 4}};
    for (int i = 0; i < 16; ++i) {
        v.append({QStringLiteral("mouseKeyMatrix/") + QString::number(i),
                  QVariantList{0, 0, 0xF0 + (i % 5), marker}});
        v.append(
            {QStringLiteral("mouseFwKeyMatrix/") + QString::number(i), QVariantList{1, 0, i, 0}});
    }
    writeIni(path, v);
}

inline QString profilePath(int n) {
    return QStringLiteral("./modules/setting/p") + QString::number(n + 1) + QStringLiteral(".bin");
}

// Global settings plus the default and ten profile files, each marked with
// its number (the default with 99).
inline void writeStandardFiles(const QString &icType = QStringLiteral("553"),
                               bool isColorful = true, bool isGun = false, bool is55328 = false) {
    writeGlobal(icType, isColorful, isGun, is55328);
    writeProfile(QStringLiteral("./modules/setting/pD.bin"), 99);
    for (int n = 0; n < 10; ++n)
        writeProfile(profilePath(n), n);
}

inline QByteArray hexToBytes(const QString &hex) {
    return QByteArray::fromHex(hex.toLatin1());
}

} // namespace ctrltest
