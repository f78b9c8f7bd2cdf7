#pragma once

#include <QStringList>
#include <QVariant>
#include <QVariantList>

// The preset file "./modules/gun/gunData.bin" and the bytes a gun slot
// receives. The file is installed with the program and never created here.
namespace GunPresets {

QString path();
bool fileExists();

void save(const QVariant &index, const QVariantList &src6);
// 0: delete the preset named by element 0; 1: replace the preset named by
// element 6 with elements 1..5 under the name in element 0.
void modify(int modifyType, const QVariantList &src);
QVariantList get(const QVariant &name);
QStringList keys();

// Gun slot data (shots, X, Y) in a 560-family profile image.
void writeToImage(uchar *image, const QVariantList &shotsXY);

// The older family mirrors Y when the mouse's third option byte is set.
uchar yFor553(const QVariant &y, uchar optionByte3);

} // namespace GunPresets
