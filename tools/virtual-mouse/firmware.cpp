// The firmware model: the mouse's settings after power-up, the effect of
// every command the report checks let through, and the replies it sends.

#include "virtual_mouse_p.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace {

const uint8_t kColours[24] = {0xff, 0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00,
                              0xff, 0xff, 0xff, 0x00, 0x00, 0xff, 0xff, 0xff,
                              0x00, 0xff, 0xff, 0xff, 0xff, 0xff, 0x80, 0x00};
// 800, 1600, 3200 and 6400 dpi in the sensor's code, stages 5..8 unused.
const uint8_t kDpiCodes[8] = {0x07, 0x0f, 0x1f, 0x60, 0x80, 0x80, 0x80, 0x80};

QByteArray replyBlock(const uint8_t *b, std::initializer_list<int> values) {
    QByteArray r(8, '\0');
    r[0] = char(b[0]);
    int i = 1;
    for (int v : values)
        r[i++] = char(v & 0xFF);
    return r;
}

QByteArray bytes(const uint8_t *b, int n) {
    return QByteArray(reinterpret_cast<const char *>(b), n);
}

} // namespace

ReportFormat Device::format() const {
    ReportFormat f;
    f.is560 = is560;
    f.reportLength = reportLength;
    f.isEncode = isEncode;
    memcpy(f.code, code, 8);
    f.isGun = isGun;
    return f;
}

void Device::initState() {
    for (auto &m : keyMatrix)
        m = QByteArray(64, '\0');
    currentKeyMatrix = 0;
    dpiStages = 4;
    dpiCodes = bytes(kDpiCodes, 8);
    currentDpi = 1;
    reportRate = 1;
    ledEffect = QByteArray::fromHex("01ff00");
    fixColor = QByteArray::fromHex("ff0000");
    ledColorType = 0;
    ledColors = bytes(kColours, 24);
    // 553: bit 0x40 of byte 4 (the event-report switch) starts clear, so a
    // program that enables it is visible; byte 3 (gun Y inversion) is 0.
    // 560: bit 0x08 of byte 1 (the event-report switch) starts clear.
    keyboardOption = is560 ? QByteArray::fromHex("0102") : QByteArray::fromHex("01020000");
    for (auto &g : gunData)
        g = QByteArray::fromHex("00000a");
    for (auto &m : macros)
        m = QByteArray(128, '\0');
    for (int n = 0; n < 5; ++n) {
        QByteArray img(128, '\0');
        img[0] = char(n);
        if (n == 0) {
            img[2] = 7;
            img.replace(24, 24, ledColors);
        } else {
            img[65] = 0x04;
            img.replace(71, 3, QByteArray::fromHex("01ff02"));
            img.replace(78, 4, QByteArray::fromHex("f000000a"));
            img.replace(84, 8, dpiCodes);
            img.replace(92, 8, dpiCodes);
            img[100] = 0x0f;
            img.replace(104, 24, ledColors);
        }
        profiles[n] = img;
    }
    currentProfile = 1;
    for (int i = 0; i < 4; ++i) {
        profileReportRate[i] = 1;
        profileDpi[i] = 1;
    }
}

void VirtualMousePrivate::featureReport(Device &d, const uint8_t *data, size_t len) {
    const std::optional<ReportChecks::Command> c = d.checks.feature(data, len, now(), !d.silent);
    if (len != 9)
        return;
    d.dropReplies();
    if (!c)
        return;
    if (c->unreadable) {
        // The firmware answers an unreadable block with an empty reply.
        d.reply = QByteArray(8, '\0');
        d.replyUnreadable = true;
        return;
    }
    execute(d, *c);
}

void VirtualMousePrivate::execute(Device &d, const ReportChecks::Command &c) {
    const uint8_t *b = c.block;
    const int op = b[0];
    const auto *o = reinterpret_cast<const uint8_t *>(d.keyboardOption.constData());
    if (c.reply) {
        if (op == 0x00)
            d.reply = replyBlock(b, {b[1], b[2], b[3], b[4]});
        else if (!d.is560 && op == 0x83)
            d.reply = replyBlock(b, {o[0], o[1], o[2], o[3]});
        else if (!d.is560 && op == 0x8B)
            d.reply = replyBlock(b, {d.currentDpi});
        else if (op == 0x81)
            d.reply = replyBlock(b, {o[0], o[1]});
        else if (op == 0x82)
            d.reply = replyBlock(b, {d.currentProfile});
        else if (op == 0x84)
            d.reply = replyBlock(b, {b[1], c.valid ? d.profileDpi[b[1] - 1] : 0});
        else if (op == 0x8C)
            d.reply = replyBlock(b, {b[1]});
    }
    if (!c.valid)
        return;

    if (!d.is560) {
        switch (op) {
        case 0x01:
            d.reportRate = b[1];
            break;
        case 0x02:
            d.currentKeyMatrix = b[1];
            break;
        case 0x03:
            d.keyboardOption = bytes(b + 1, 4);
            break;
        case 0x04:
            d.gunData[b[5]] = bytes(b + 2, 3);
            break;
        case 0x0B:
            d.currentDpi = b[1];
            break;
        case 0x0C:
            d.fixColor = bytes(b + 1, 3);
            break;
        case 0x0D:
            d.ledEffect = bytes(b + 1, 3);
            break;
        }
        return;
    }
    switch (op) {
    case 0x01:
        d.keyboardOption = bytes(b + 1, 2);
        break;
    case 0x02:
        d.currentProfile = b[1];
        break;
    case 0x03:
        d.profileReportRate[b[1] - 1] = b[2];
        break;
    case 0x04:
        d.profileDpi[b[1] - 1] = b[2];
        break;
    case 0x8C: {
        const QByteArray &img = d.profiles[b[1]];
        const int chunk = std::min(128, d.reportLength);
        for (int off = 0; off < 128; off += chunk) {
            QByteArray report(d.reportLength, '\0');
            report.replace(0, chunk, img.mid(off, chunk));
            d.commandQueue.push_back(report);
        }
        break;
    }
    }
}

void VirtualMousePrivate::dataReport(Device &d, const uint8_t *data, size_t len) {
    const std::optional<ReportChecks::Payload> p = d.checks.data(data, len, now());
    if (!p)
        return;
    const uint8_t *b = p->block;
    if (!d.is560) {
        switch (b[0]) {
        case 0x10:
            d.ledColorType = b[1];
            d.ledColors.replace(0, p->data.size(), p->data);
            break;
        case 0x11:
            d.dpiStages = b[1];
            d.dpiCodes = p->data;
            break;
        case 0x12:
            d.keyMatrix[b[1] - 1] = p->data;
            break;
        case 0x13:
            d.macros[b[1] - 1] = p->data;
            break;
        }
        return;
    }
    switch (b[0]) {
    case 0x0C:
        d.profiles[b[1]] = p->data;
        break;
    case 0x0D:
        d.keyMatrix[b[1] - 1] = p->data.left(64);
        break;
    case 0x0F:
        d.macros[b[1] - 1] = p->data;
        break;
    }
}
