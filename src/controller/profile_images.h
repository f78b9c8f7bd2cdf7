#pragma once

#include <QtGlobal>

#include <array>

// The five 128-byte on-board profiles of a 560-family mouse, kept in memory
// so each change starts from what the mouse last reported. Image 1 is the
// normal profile, images 2 to 4 the gun layers (sent only to gun mice), and
// image 0 holds what the layers share.
class ProfileImages {
public:
    static constexpr int kCount = 5;
    static constexpr int kSize = 128;

    // nullptr for a number outside 0..4, so callers cannot reach past the
    // five blocks.
    uchar *image(int number);
    const uchar *image(int number) const;

    static bool isValid(int number) { return number >= 0 && number < kCount; }

private:
    std::array<std::array<uchar, kSize>, kCount> m_images{};
};

// The bytes of an image this program writes, by offset. Every other byte
// keeps what the mouse reported.
namespace ProfileLayout {

// Image 0: which gun layers a gun switch cycles through (7, 15 or 31).
constexpr int kLayerMask = 2;
// Image 0: eight colours, R, G, B each (per-LED colour mice).
constexpr int kSharedColours = 24;
// Images 2 to 4: a flag byte whose bit kGunDataBit is cleared when gun data
// is written.
constexpr int kGunFlags = 65;
constexpr uchar kGunDataBit = 0x04;
// Images 1 to 4: lighting effect, its value (brightness or speed) and option.
constexpr int kLightEffect = 71;
constexpr int kLightValue = 72;
constexpr int kLightOption = 73;
// Images 2 to 4: the gun slot of layer image - 1: marker 0xF0, shots, X, Y.
constexpr int kGunMarker = 78;
constexpr uchar kGunMarkerValue = 0xF0;
constexpr int kGunShots = 79;
constexpr int kGunX = 80;
constexpr int kGunY = 81;
// Images 1 to 4: stages above 12799 DPI (sensor "3389"), in two equal bytes.
constexpr int kDpiHighBits = 82;
constexpr int kDpiHighBitsAgain = 83;
// Images 1 to 4: the eight stage codes, twice, and the enabled-stage mask.
constexpr int kDpiCodes = 84;
constexpr int kDpiCodesAgain = 92;
constexpr int kDpiStageMask = 100;
// Image 1: eight colours, R, G, B each (single-colour mice).
constexpr int kSingleColours = 104;
constexpr int kColourBytes = 24;

} // namespace ProfileLayout
