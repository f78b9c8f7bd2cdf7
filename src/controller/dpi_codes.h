#pragma once

#include <QString>
#include <QVariantList>

#include <array>

// DPI values of the scene turned into the per-sensor codes the mouse takes.
namespace DpiCodes {

constexpr int kStages = 8;

uchar code(int value, const QString &sensorType);

struct StageCodes {
    std::array<uchar, kStages> codes{};
    uchar highBits = 0; // stages above 12799 DPI (sensor "3389" only)
    bool hasHighBits = false;
};

// Missing values count as 0.
StageCodes convert(const QVariantList &values, const QString &sensorType);

// Bits 0..dpiCount-1; 0 for dpiCount <= 0.
uchar stageMask(int dpiCount);

// The older family switches stages off by sending 0x80 in their place.
std::array<uchar, kStages> codesFor553(const StageCodes &c, int dpiCount);

// Writes the stage codes, the stage mask and, for sensors that have it, the
// high-bit mask into a profile image.
void writeToImage(uchar *image, const StageCodes &c, uchar mask);

} // namespace DpiCodes
