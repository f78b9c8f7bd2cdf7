#pragma once

#include <QtGlobal>

#include <array>

// The five 128-byte on-board profiles of a 560-family mouse, kept in memory
// so each change starts from what the mouse last reported.
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
