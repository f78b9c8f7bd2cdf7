#pragma once

#include <QVariantList>

#include <array>

// Lighting effect and colour bytes for colour and single-colour mice.
namespace Lighting {

struct EffectBytes {
    uchar effect = 0;
    uchar value = 0;
    uchar option = 0;
    bool operator==(const EffectBytes &o) const {
        return effect == o.effect && value == o.value && option == o.option;
    }
};

// Per-LED colour mice.
EffectBytes colourEffect(uchar effect, uchar speedIndex, uchar brightnessIndex);
// Single-colour mice; the option byte is the one the 55328 variant sends.
EffectBytes singleColourEffect(uchar effect, uchar speedIndex, uchar brightnessIndex);

// Eight colours (R, G, B each), missing values 0.
std::array<uchar, 24> colourBytes(const QVariantList &src24);

} // namespace Lighting
