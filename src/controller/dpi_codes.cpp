#include "dpi_codes.h"

#include "profile_images.h"

namespace DpiCodes {

uchar code(int v, const QString &sensorType) {
    if (sensorType == QLatin1String("3360"))
        return static_cast<uchar>((v / 100 - 1) & 0xFF);
    if (sensorType == QLatin1String("3050")) {
        static const int limits[] = {250,  500,  750,  1000, 1250, 1500,
                                     1750, 2000, 2500, 3000, 3500, 4000};
        static const uchar codes[] = {1, 2, 3, 4, 5, 6, 7, 8, 0x45, 0x46, 0x47, 0x48};
        for (int i = 0; i < 12; ++i)
            if (limits[i] >= v)
                return codes[i];
        return 0x48;
    }
    if (sensorType == QLatin1String("3389"))
        return static_cast<uchar>((v / 50) & 0xFF);
    // "4090" and every sensor this program does not know
    if (v > 5000)
        return static_cast<uchar>(((v / 200) | 0x40) & 0xFF);
    return static_cast<uchar>((v / 100 - 1) & 0xFF);
}

StageCodes convert(const QVariantList &values, const QString &sensorType) {
    StageCodes c;
    c.hasHighBits = sensorType == QLatin1String("3389");
    for (int i = 0; i < kStages; ++i) {
        const int v = i < values.size() ? values.at(i).toInt() : 0;
        c.codes[i] = code(v, sensorType);
        if (c.hasHighBits && v > 12799)
            c.highBits |= static_cast<uchar>(1u << i);
    }
    return c;
}

uchar stageMask(int dpiCount) {
    if (dpiCount <= 0)
        return 0;
    if (dpiCount >= kStages)
        return 0xFF;
    return static_cast<uchar>((1u << dpiCount) - 1);
}

std::array<uchar, kStages> codesFor553(const StageCodes &c, int dpiCount) {
    auto out = c.codes;
    for (int i = 0; i < kStages; ++i)
        if (i >= dpiCount)
            out[i] = 0x80;
    return out;
}

void writeToImage(uchar *image, const StageCodes &c, uchar mask) {
    using namespace ProfileLayout;
    for (int i = 0; i < kStages; ++i) {
        image[kDpiCodes + i] = c.codes[i];
        image[kDpiCodesAgain + i] = c.codes[i];
    }
    image[kDpiStageMask] = mask;
    if (c.hasHighBits) {
        image[kDpiHighBits] = c.highBits;
        image[kDpiHighBitsAgain] = c.highBits;
    }
}

} // namespace DpiCodes
