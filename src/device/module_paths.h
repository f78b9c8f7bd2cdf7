#pragma once

#include <QString>

// Every file of the program lives under "./modules/" beside the executable
// (the working directory is the executable's folder). This is the one place
// that spells those paths.
namespace ModulePaths {

// The device list and the program-wide settings.
inline QString globalSettings() {
    return QStringLiteral("./modules/setting/apConfig.bin");
}
// The global settings as shipped, the source of a reset.
inline QString factoryGlobalSettings() {
    return QStringLiteral("./modules/setting/apConfigD.bin");
}
// The factory profile, the source of a profile reset.
inline QString defaultProfile() {
    return QStringLiteral("./modules/setting/pD.bin");
}
// Profile number 0..9 is "p1.bin" .. "p10.bin".
inline QString profile(int number) {
    return QStringLiteral("./modules/setting/p") + QString::number(number + 1) +
           QStringLiteral(".bin");
}
inline QString nameLists() {
    return QStringLiteral("./modules/setting/name.bin");
}
inline QString macro(const QString &name) {
    return QStringLiteral("./modules/macro/") + name + QStringLiteral(".bin");
}
inline QString gunPresets() {
    return QStringLiteral("./modules/gun/gunData.bin");
}
inline QString language(const QString &code) {
    return QStringLiteral("./modules/i18n/") + code + QStringLiteral(".ini");
}

} // namespace ModulePaths
