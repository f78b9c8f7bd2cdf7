#include "key_matrix.h"

namespace KeyMatrix {

uchar byteAt(const QVariantList &list, int i) {
    if (i < 0 || i >= list.size())
        return 0;
    return static_cast<uchar>(list.at(i).toInt() & 0xFF);
}

void convertEntry(const QVariantList &src64, int button, bool family560, uchar *out) {
    const int base = button * 4;
    uchar type = byteAt(src64, base);
    uchar b1 = byteAt(src64, base + 1);
    uchar b2 = byteAt(src64, base + 2);
    uchar b3 = byteAt(src64, base + 3);

    switch (type) {
    case 0:
        // The double-click choice rides on the rapid-fire command.
        type = (b2 == 0x1E && b3 == 3) ? 0x0A : 1;
        break;
    case 1:
        type = 0x0A;
        break;
    case 2:
    case 6:
    case 7:
        type = 0;
        break;
    case 3:
        type = 3;
        break;
    case 4:
        type = 9;
        b2 = static_cast<uchar>(b2 + 1); // the mouse counts macros from 1
        break;
    case 5:
        if (b2 == 4) { // sniper: each family has its own encoding
            if (family560) {
                type = 0x0B, b1 = 0, b2 = 1, b3 = 1;
            } else {
                type = 7, b1 = 0, b2 = 4, b3 = 1;
            }
        } else {
            type = 7;
        }
        break;
    case 8:
        type = 8;
        break;
    case 0xFF:
        type = 4;
        break;
    default:
        break;
    }

    // Consumer-control usages produced by some system functions travel as
    // media commands.
    if (((b2 == 0x21 || b2 == 0x23) && b3 == 2) || (b2 == 0x94 && b3 == 1))
        type = 3;

    out[0] = type;
    out[1] = b1;
    out[2] = b2;
    out[3] = b3;
}

Matrix buildMatrix(const QVariantList &src64, bool family560) {
    Matrix converted{};
    for (int i = 0; i < kButtons; ++i)
        convertEntry(src64, i, family560, converted.data() + i * 4);

    Matrix m = converted;
    auto place = [&](int pos, int button) {
        std::copy_n(converted.begin() + button * 4, 4, m.begin() + pos * 4);
    };
    place(5, 7);
    place(6, 5);
    place(7, 6);
    return m;
}

Matrix templateMatrix(const QList<QVariantList> &templates) {
    Matrix m{};
    for (int j = 0; j < kButtons && j < templates.size(); ++j)
        for (int k = 0; k < 4; ++k)
            m[j * 4 + k] = byteAt(templates.at(j), k);
    return m;
}

bool hasGunSwitch(const Matrix &m) {
    for (int j = 0; j < kButtons; ++j)
        if (m[j * 4] == 8)
            return true;
    return false;
}

GunLayers buildGunLayers(const Matrix &matrix1, const Matrix &templ, const QVariantList &periods,
                         bool family560) {
    GunLayers g;
    g.matrices[0] = matrix1;
    g.matrices[1] = templ;
    g.matrices[2] = templ;
    g.matrices[3] = templ;
    auto &ms = g.matrices;

    for (int j = 0; j < kButtons; ++j) {
        const int at = j * 4;
        if (matrix1[at] != 8)
            continue;
        const uchar u = matrix1[at + 2];
        for (int l = 1; l < 4; ++l)
            ms[l][at] = 8;

        if (family560) {
            static const uchar next[3][4] = {{1, 0, 0, 0}, {1, 3, 0, 0}, {1, 3, 3, 0}};
            static const int masks[3] = {7, 15, 31};
            if (u >= 1 && u <= 3) {
                for (int l = 0; l < 4; ++l)
                    ms[l][at + 2] = next[u - 1][l];
                g.layerMask = masks[u - 1];
            }
        } else {
            static const uchar next[3][4] = {{1, 0, 0, 0}, {1, 2, 0, 0}, {1, 2, 3, 0}};
            for (int l = 0; l < 4; ++l) {
                ms[l][at + 1] = 0;
                ms[l][at + 2] = 1;
                if (u >= 1 && u <= 3)
                    ms[l][at + 3] = next[u - 1][l];
            }
        }
    }

    for (int l = 1; l < 4; ++l) {
        ms[l][0] = 0x0B;
        ms[l][1] = static_cast<uchar>(l - 1);
        const int idx = l - 1;
        ms[l][2] = idx < periods.size() ? static_cast<uchar>(periods.at(idx).toUInt() & 0xFF) : 0;
        ms[l][3] = 0;
    }
    return g;
}

} // namespace KeyMatrix
