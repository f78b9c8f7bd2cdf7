#include "lighting.h"

#include "key_matrix.h"

namespace Lighting {

namespace {

uchar pick(const uchar (&table)[5], uchar index) {
    return index < 5 ? table[index] : 0;
}

const uchar kSpeedA[5] = {10, 7, 5, 3, 1};
const uchar kSpeedB[5] = {20, 17, 15, 13, 11};
const uchar kSpeedC[5] = {15, 13, 10, 7, 5};
const uchar kSpeedD[5] = {30, 27, 24, 22, 20};
const uchar kSingleBrightness[5] = {1, 3, 5, 7, 10};
const uchar kNeonSpeed[5] = {30, 24, 18, 12, 6};

uchar colourBrightness(uchar index) {
    static const uchar table[5] = {0, 64, 128, 192, 255};
    return pick(table, index);
}

} // namespace

EffectBytes colourEffect(uchar effect, uchar s, uchar b) {
    switch (effect) {
    case 0:
        return {1, colourBrightness(b), 0};
    case 1:
        return {3, 0, pick(kSpeedA, s)};
    case 2:
        return {4, 0, pick(kSpeedA, s)};
    case 4:
        return {2, colourBrightness(b), 0};
    case 5:
        return {5, colourBrightness(b), pick(kSpeedA, s)};
    case 6:
        return {6, 0, 0};
    case 7:
        return {7, colourBrightness(b), 0};
    case 8:
        return {8, colourBrightness(b), pick(kSpeedB, s)};
    case 9:
        return {9, colourBrightness(b), pick(kSpeedC, s)};
    case 10:
        return {10, colourBrightness(b), pick(kSpeedD, s)};
    default:
        return {0, 0, 0};
    }
}

EffectBytes singleColourEffect(uchar effect, uchar s, uchar b) {
    switch (effect) {
    case 0:
        return {1, pick(kSingleBrightness, b), 1};
    case 1:
        return {2, static_cast<uchar>(s + 1), 1};
    case 2:
        return {3, pick(kNeonSpeed, s), 1};
    case 4:
        return {2, static_cast<uchar>(s + 1), 3};
    default:
        return {0, 0, 0};
    }
}

std::array<uchar, 24> colourBytes(const QVariantList &src24) {
    std::array<uchar, 24> out{};
    for (int i = 0; i < 24; ++i)
        out[i] = KeyMatrix::byteAt(src24, i);
    return out;
}

} // namespace Lighting
