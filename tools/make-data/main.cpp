// Writes the data files that ship beside the executable (settings, profiles,
// name list, gun presets, language files) with QSettings itself, so that
// escaping and list syntax are exactly what the program reads back.
//
//   skarn-make-data <modules folder>
//
// Everything is first written into a scratch folder and only then moved into
// place file by file, so an interrupted run never leaves a half-written file.

#include "texts.h"

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <array>

namespace {

using Entry = std::array<int, 4>;

struct DeviceEntry {
    int type;
    quint16 vid, pid, usagePage, usage, usagePage2, usage2;
    int reportLength;
    bool isEncode;
    const char *sCode;
};

const DeviceEntry kDevices[] = {
    {1, 0x1209, 0x0001, 0xff00, 0xff00, 0xff01, 0xff01, 32, true, "Tw70Sk"},
};

// Button functions the interface starts with: five mouse buttons, DPI+ and
// DPI-, double click, six unassigned buttons and the two reserved entries.
const Entry kInterfaceMatrix[16] = {
    {0, 0, 0xF0, 0}, {0, 0, 0xF1, 0}, {0, 0, 0xF2, 0}, {0, 0, 0xF4, 0},
    {0, 0, 0xF3, 0}, {5, 0, 1, 0},    {5, 0, 2, 0},    {0, 0xF0, 0x1E, 3},
    {0, 0, 0, 0},    {0, 0, 0, 0},    {0, 0, 0, 0},    {0, 0, 0, 0},
    {0, 0, 0, 0},    {0, 0, 0, 0},    {0xFF, 0, 1, 0}, {0xFF, 0, 2, 0},
};

const char *const kBlockColours[8] = {"#ff0000", "#00ff00", "#0000ff", "#ff00ff",
                                      "#00ffff", "#ff7f00", "#6000ff", "#ffffff"};

const int kSpeedThresholds[11] = {4, 37, 70, 104, 138, 172, 205, 239, 272, 305, 338};

const char *const kGunNames[6] = {"M416", "AKM", "M16A4", "SCAR-L", "UNP9", "Thomson"};

const int kProfileFiles = 10;

// Device form of one interface entry. The layer templates are sent to the
// mouse untouched, so they are stored already converted (553 family: the
// shipped device list describes a 553 mouse).
Entry toDevice(const Entry &e) {
    Entry d = e;
    switch (e[0]) {
    case 0:
        d[0] = (e[2] == 0x1E && e[3] == 3) ? 0x0A : 1;
        break;
    case 1:
        d[0] = 0x0A;
        break;
    case 2:
    case 6:
    case 7:
        d[0] = 0;
        break;
    case 3:
        d[0] = 3;
        break;
    case 4:
        d[0] = 9;
        d[2] = (e[2] + 1) & 0xFF;
        break;
    case 5:
        d[0] = 7;
        if (e[2] == 4)
            d = {7, 0, 4, 1};
        break;
    case 8:
        d[0] = 8;
        break;
    case 0xFF:
        d[0] = 4;
        break;
    default:
        break;
    }
    if (((d[2] == 0x21 || d[2] == 0x23) && d[3] == 2) || (d[2] == 0x94 && d[3] == 1))
        d[0] = 3;
    return d;
}

QVariantList asList(const Entry &e) {
    return {e[0], e[1], e[2], e[3]};
}

QString hex4(quint16 v) {
    return QString("%1").arg(v, 4, 16, QChar('0'));
}

// A knob position in the middle of the band that gives speed index `index`.
int knobForSpeedIndex(int index) {
    const int low = index == 0 ? 3 : kSpeedThresholds[index - 1];
    return (low + kSpeedThresholds[index]) / 2;
}

bool finish(QSettings &s) {
    s.sync();
    if (s.status() != QSettings::NoError) {
        QTextStream(stderr) << "cannot write " << s.fileName() << "\n";
        return false;
    }
    return true;
}

bool writeGlobal(const QString &path) {
    QSettings s(path, QSettings::IniFormat);
    s.setValue("common/name", "SKARN SK-70");
    s.setValue("common/language", "English");
    s.setValue("common/url", "https://www.skarn.example/sk-70");
    s.setValue("common/deviceCount", int(std::size(kDevices)));
    for (int i = 0; i < int(std::size(kDevices)); ++i) {
        const DeviceEntry &d = kDevices[i];
        const QString g = QString::number(i) + "/";
        s.setValue(g + "type", QString::number(d.type, 16));
        s.setValue(g + "vid", hex4(d.vid));
        s.setValue(g + "pid", hex4(d.pid));
        s.setValue(g + "usagePage", hex4(d.usagePage));
        s.setValue(g + "usage", hex4(d.usage));
        s.setValue(g + "usagePage2", hex4(d.usagePage2));
        s.setValue(g + "usage2", hex4(d.usage2));
        s.setValue(g + "reportLength", d.reportLength);
        s.setValue(g + "isEncode", d.isEncode);
        s.setValue(g + "sCode", QString::fromLatin1(d.sCode));
    }
    s.setValue("mouse/icType", "553");
    s.setValue("mouse/isColorful", true);
    s.setValue("mouse/isGun", true);
    s.setValue("mouse/is55328", false);
    s.setValue("mouse/keyCount", 8);
    s.setValue("mouse/profileNo", 0);
    s.setValue("mouse/minDPI", 200);
    s.setValue("mouse/maxDPI", 12000);
    s.setValue("mouse/dpiBase", 50);
    s.setValue("mouse/sensorType", "3360");
    s.setValue("mouse/selectGun", QVariantList{0, 1, 2});
    return finish(s);
}

bool writeProfile(const QString &path) {
    QSettings s(path, QSettings::IniFormat);
    s.setValue("mouse/reportRate", 3);
    s.setValue("mouse/dpiCount", 8);
    s.setValue("mouse/currentDpiCount", 4);
    s.setValue("mouse/dpiValueArray", QVariantList{500, 1000, 1500, 2000, 3000, 4000, 5000, 6000});
    s.setValue("mouse/lightValue", QVariantList{0, 0, 4});
    QVariantList colours;
    for (const char *name : kBlockColours) {
        const QColor c(QString::fromLatin1(name));
        colours << c.red() << c.green() << c.blue();
    }
    s.setValue("mouse/colorValue", colours);
    s.setValue("mouse/mouseRate", knobForSpeedIndex(5));
    s.setValue("mouse/doubleRate", knobForSpeedIndex(5));
    s.setValue("mouse/scrollRate", 3);

    Entry device[16];
    for (int i = 0; i < 16; ++i) {
        s.setValue("mouseKeyMatrix/" + QString::number(i), asList(kInterfaceMatrix[i]));
        device[i] = toDevice(kInterfaceMatrix[i]);
    }
    // The mouse expects buttons 5, 6, 7 in the order 7, 5, 6.
    const Entry b5 = device[5], b6 = device[6], b7 = device[7];
    device[5] = b7;
    device[6] = b5;
    device[7] = b6;
    for (int i = 0; i < 16; ++i)
        s.setValue("mouseFwKeyMatrix/" + QString::number(i), asList(device[i]));
    return finish(s);
}

bool writeNames(const QString &path) {
    QSettings s(path, QSettings::IniFormat);
    // A one-name list needs the sentinel, or it reads back as plain text.
    s.setValue("profile/profileName", QStringList{"Standard0", "loadervortex"});
    return finish(s);
}

bool writeGuns(const QString &path) {
    QSettings s(path, QSettings::IniFormat);
    for (int i = 0; i < int(std::size(kGunNames)); ++i)
        s.setValue("gunData/" + QString::number(i),
                   QStringList{kGunNames[i], "L-Click", "10", "0", "10", "0"});
    return finish(s);
}

bool writeLanguage(const QString &path, const QList<makedata::TextGroup> &groups) {
    QSettings s(path, QSettings::IniFormat);
    for (const makedata::TextGroup &g : groups) {
        s.beginGroup(g.name);
        s.setValue("total", int(g.texts.size()));
        for (int i = 0; i < g.texts.size(); ++i)
            s.setValue(QString::number(i), g.texts[i]);
        s.endGroup();
    }
    return finish(s);
}

bool install(const QString &from, const QString &to) {
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(in.readAll());
    return out.commit();
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: skarn-make-data <modules folder>\n";
        return 2;
    }
    const QDir modules(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir scratch;
    if (!modules.exists() || !scratch.isValid()) {
        err << "no such folder or no scratch space: " << modules.path() << "\n";
        return 2;
    }
    const QDir tmp(scratch.path());
    for (const char *sub : {"setting", "gun", "i18n"}) {
        if (!tmp.mkpath(sub) || !modules.mkpath(sub)) {
            err << "cannot create " << sub << "\n";
            return 1;
        }
    }

    const QString global = tmp.filePath("setting/apConfig.bin");
    const QString profile = tmp.filePath("setting/pD.bin");
    bool ok = writeGlobal(global) && writeProfile(profile) &&
              writeNames(tmp.filePath("setting/name.bin")) &&
              writeGuns(tmp.filePath("gun/gunData.bin")) &&
              writeLanguage(tmp.filePath("i18n/English.ini"), makedata::englishGroups()) &&
              writeLanguage(tmp.filePath("i18n/ChineseSimplified.ini"),
                            makedata::chineseSimplifiedGroups());
    if (!ok)
        return 1;

    // Factory copies and the ten profiles are byte copies, never rewritten
    // separately, so they cannot drift apart.
    QList<QPair<QString, QString>> files = {
        {global, "setting/apConfig.bin"},
        {global, "setting/apConfigD.bin"},
        {profile, "setting/pD.bin"},
        {tmp.filePath("setting/name.bin"), "setting/name.bin"},
        {tmp.filePath("gun/gunData.bin"), "gun/gunData.bin"},
        {tmp.filePath("i18n/English.ini"), "i18n/English.ini"},
        {tmp.filePath("i18n/ChineseSimplified.ini"), "i18n/ChineseSimplified.ini"},
    };
    for (int n = 1; n <= kProfileFiles; ++n)
        files.append({profile, QString("setting/p%1.bin").arg(n)});

    for (const auto &f : files) {
        if (!install(f.first, modules.filePath(f.second))) {
            err << "cannot write " << modules.filePath(f.second) << "\n";
            return 1;
        }
    }
    return 0;
}
