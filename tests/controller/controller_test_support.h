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
// layer templates 1, 0, j, 0. Written as text: QSettings would sync each
// file to the disk, which makes every test wait.
inline void writeProfile(const QString &path, int marker) {
    QByteArray text = "[mouse]\nreportRate=" + QByteArray::number(marker) +
                      "\ndpiValueArray=800, 1600, 2400, 3200, 4000, 5000, 6000, 7000\n";
    QByteArray templates = "[mouseFwKeyMatrix]\n";
    text += "[mouseKeyMatrix]\n";
    for (int i = 0; i < 16; ++i) {
        text += QString("%1=0, 0, %2, %3\n").arg(i).arg(0xF0 + i % 5).arg(marker).toLatin1();
        templates += QString("%1=1, 0, %1, 0\n").arg(i).toLatin1();
    }
    writeFile(path, text + templates);
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
        const auto text = [](bool b) { return QLatin1String(b ? "true" : "false"); };
        writeFile("./modules/setting/apConfig.bin",
                  QString("[mouse]\nicType=%1\nisColorful=%2\nisGun=%3\nis55328=%4\n")
                      .arg(icType, text(colourful), text(gun), text(is55328))
                      .toLatin1());
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
