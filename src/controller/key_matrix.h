#pragma once

#include <QVariantList>

#include <array>

// Turns the scene's key-matrix entries (four numbers per button) into the
// 64-byte matrices the mouse stores, including the three gun layers.
namespace KeyMatrix {

constexpr int kButtons = 16;
constexpr int kBytes = kButtons * 4;

using Matrix = std::array<uchar, kBytes>;

// Low 8 bits of item i of a list; a missing item counts as 0.
uchar byteAt(const QVariantList &list, int i);

// One entry of the scene (type, value 1..3) in device form. The result is
// written to out[0..3].
void convertEntry(const QVariantList &src64, int button, bool family560, uchar *out);

// Matrix 1: every entry converted, then buttons 5, 6, 7 rotated into the
// device's order (device 5 <- button 7, 6 <- 5, 7 <- 6).
Matrix buildMatrix(const QVariantList &src64, bool family560);

// Concatenates 16 four-number templates (already device form); a missing
// template gives four zero bytes.
Matrix templateMatrix(const QList<QVariantList> &templates);

bool hasGunSwitch(const Matrix &m);

struct GunLayers {
    std::array<Matrix, 4> matrices; // matrices 1..4
    int layerMask = -1;             // -1: leave profile image 0 byte 2 alone
};

// Marks every gun switch position in all four matrices and gives each layer
// its firing period on the first button. periods holds the three periods of
// the gun slots (missing: 0).
GunLayers buildGunLayers(const Matrix &matrix1, const Matrix &templ, const QVariantList &periods,
                         bool family560);

} // namespace KeyMatrix
