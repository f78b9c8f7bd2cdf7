#include "report_checks.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// One byte per block position; the firmware adds the nibble-swapped value.
const uint8_t kScrambleTable[8] = {0x3A, 0xC5, 0x71, 0x0E, 0x9B, 0x58, 0xE2, 0x27};

inline uint8_t nibbleSwap(uint8_t t) {
    return uint8_t(((t << 4) | (t >> 4)) & 0xFF);
}

} // namespace

namespace Wire {

QString hexBytes(const uint8_t *data, size_t len) {
    QString out;
    out.reserve(int(len * 3));
    static const char digits[] = "0123456789abcdef";
    for (size_t i = 0; i < len; ++i) {
        if (i)
            out += QLatin1Char(' ');
        out += QLatin1Char(digits[data[i] >> 4]);
        out += QLatin1Char(digits[data[i] & 0x0F]);
    }
    return out;
}

QString hexBytes(const QByteArray &a) {
    return hexBytes(reinterpret_cast<const uint8_t *>(a.constData()), size_t(a.size()));
}

QString hex2(int v) {
    return QStringLiteral("0x%1").arg(v & 0xFF, 2, 16, QLatin1Char('0'));
}

void scramble(uint8_t b[8], const uint8_t code[8]) {
    std::swap(b[0], b[5]);
    std::swap(b[1], b[4]);
    std::swap(b[2], b[7]);
    std::swap(b[3], b[6]);
    for (int i = 1; i <= 6; ++i)
        b[i] ^= code[i];
    uint8_t r[8];
    for (int i = 0; i < 8; ++i)
        r[i] = uint8_t((b[i] << 3) | (b[(i + 1) % 8] >> 5));
    for (int i = 0; i < 8; ++i)
        b[i] = uint8_t(r[i] + nibbleSwap(kScrambleTable[i]));
}

void unscramble(uint8_t b[8], const uint8_t code[8]) {
    uint8_t t[8];
    for (int i = 0; i < 8; ++i)
        t[i] = uint8_t(b[i] - nibbleSwap(kScrambleTable[i]));
    for (int i = 0; i < 8; ++i)
        b[i] = uint8_t((t[i] >> 3) | (t[(i + 7) % 8] << 5));
    for (int i = 1; i <= 6; ++i)
        b[i] ^= code[i];
    std::swap(b[0], b[5]);
    std::swap(b[1], b[4]);
    std::swap(b[2], b[7]);
    std::swap(b[3], b[6]);
}

uint8_t checksum(const uint8_t block[7]) {
    unsigned sum = 0;
    for (int i = 0; i < 7; ++i)
        sum += block[i];
    return uint8_t(0xFF - (sum & 0xFF));
}

} // namespace Wire

using Wire::hex2;
using Wire::hexBytes;

ReportChecks::ReportChecks(const ReportFormat &format, Sink sink)
    : m_format(format), m_sink(std::move(sink)) {}

void ReportChecks::violation(const QString &text) const {
    if (m_sink)
        m_sink(text);
}

QString ReportChecks::wrongInterface(const char *report) {
    return QStringLiteral("wrong interface: %1 sent to the event interface")
        .arg(QLatin1String(report));
}

void ReportChecks::drop() {
    m_pending.reset();
    m_replyDue = false;
    m_readsDue = 0;
    m_lastCompletedOp = -1;
}

std::optional<ReportChecks::Command> ReportChecks::feature(const uint8_t *data, size_t len,
                                                           qint64 t, bool listening) {
    if (len != 9) {
        violation(
            QStringLiteral("wrong report length: feature report of %1 bytes, expected 9").arg(len));
        return std::nullopt;
    }
    if (data[0] != 0)
        violation(QStringLiteral("wrong report id %1 on a feature report").arg(hex2(data[0])));

    if (m_pending) {
        violation(
            QStringLiteral("too few data reports: command %1 got %2 of %3 before the next command")
                .arg(hex2(m_pending->block[0]))
                .arg(m_pending->received)
                .arg(m_pending->expected));
    }
    if (m_readsDue > 0) {
        violation(
            QStringLiteral(
                "unread data reports: %1 report(s) of command %2 left when the next command came")
                .arg(m_readsDue)
                .arg(hex2(m_readsOp)));
    }
    drop();
    if (!listening)
        return std::nullopt;

    Command c;
    memcpy(c.block, data + 1, 8);
    if (m_format.isEncode)
        Wire::unscramble(c.block, m_format.code);
    if (Wire::checksum(c.block) != c.block[7]) {
        violation(
            QStringLiteral("bad checksum: block %1 (as unscrambled by the mouse) should end in %2")
                .arg(hexBytes(c.block, 8), hex2(Wire::checksum(c.block))));
        // The firmware answers an unreadable block with an empty reply.
        c.unreadable = true;
        m_replyDue = true;
        return c;
    }
    m_lastReportAt = t;
    const Command judged = command(c.block);
    m_replyDue = judged.reply || judged.unreadable;
    if (judged.dataReports > 0) {
        m_readsDue = judged.dataReports;
        m_readsOp = judged.block[0];
    }
    return judged;
}

ReportChecks::Command ReportChecks::command(const uint8_t *b) {
    Command c;
    memcpy(c.block, b, 8);
    const int op = b[0];
    auto outOfRange = [&](const QString &what, int value) {
        violation(
            QStringLiteral("index out of range: command %1 %2 %3").arg(hex2(op), what).arg(value));
        c.valid = false;
        return c;
    };
    auto lengthField = [&](int byte, int expected) {
        if (b[byte] == expected)
            return true;
        violation(QStringLiteral("bad length field: command %1 byte %2 is %3, expected %4")
                      .arg(hex2(op))
                      .arg(byte)
                      .arg(hex2(b[byte]), hex2(expected)));
        return false;
    };
    // A payload command takes its data reports even when the block is out of
    // range; the data is then thrown away.
    auto payload = [&](int total, bool ok) {
        Pending p;
        memcpy(p.block, b, 8);
        p.total = total;
        p.chunk = std::min(total, m_format.reportLength);
        p.expected = (total + p.chunk - 1) / p.chunk;
        p.discard = !ok;
        m_pending = p;
        c.valid = ok;
        return c;
    };
    auto set = [&] {
        c.valid = true;
        return c;
    };
    auto reply = [&] {
        c.valid = true;
        c.reply = true;
        return c;
    };

    if (op == 0x00)
        return reply();

    if (!m_format.is560) {
        switch (op) {
        case 0x01:
            return set();
        case 0x02:
            return b[1] > 3 ? outOfRange("key matrix", b[1]) : set();
        case 0x03:
            return set();
        case 0x04:
            if (!m_format.isGun) {
                violation(QStringLiteral("unknown opcode 0x04: this mouse has no gun feature"));
                return c;
            }
            return b[5] > 2 ? outOfRange("gun slot", b[5]) : set();
        case 0x0B:
        case 0x0C:
        case 0x0D:
            return set();
        case 0x10: {
            const bool ok = lengthField(2, b[2] == 4 ? 4 : 24);
            return payload(b[2] == 4 ? 4 : 24, ok);
        }
        case 0x11: {
            bool ok = lengthField(2, 8);
            if (b[1] < 1 || b[1] > 8) {
                outOfRange("stage count", b[1]);
                ok = false;
            }
            return payload(8, ok);
        }
        case 0x12: {
            bool ok = lengthField(2, 0x40) && lengthField(3, 0x08);
            if (b[1] < 1 || b[1] > 4) {
                outOfRange("key matrix", b[1]);
                ok = false;
            }
            return payload(64, ok);
        }
        case 0x13: {
            bool ok = lengthField(2, 0x80);
            if (b[1] < 1 || b[1] > 12) {
                outOfRange("macro", b[1]);
                ok = false;
            }
            return payload(128, ok);
        }
        case 0x83:
        case 0x8B:
            return reply();
        }
    } else {
        switch (op) {
        case 0x01:
            return set();
        case 0x02:
            return b[1] > 4 ? outOfRange("profile", b[1]) : set();
        case 0x03:
        case 0x04:
            return (b[1] < 1 || b[1] > 4) ? outOfRange("profile", b[1]) : set();
        case 0x0C: {
            bool ok = lengthField(2, 0x80);
            if (b[1] > 4) {
                outOfRange("profile image", b[1]);
                ok = false;
            }
            return payload(128, ok);
        }
        case 0x0D: {
            bool ok = lengthField(2, 0x80);
            if (b[1] < 1 || b[1] > 4) {
                outOfRange("key matrix", b[1]);
                ok = false;
            }
            return payload(128, ok);
        }
        case 0x0F: {
            bool ok = lengthField(2, 0x80);
            if (b[1] < 1 || b[1] > 12) {
                outOfRange("macro", b[1]);
                ok = false;
            }
            return payload(128, ok);
        }
        case 0x81:
        case 0x82:
            return reply();
        case 0x84:
            // Out of range it still answers, with the stage zero.
            c.reply = true;
            return (b[1] < 1 || b[1] > 4) ? outOfRange("profile", b[1]) : reply();
        case 0x8C: {
            c.reply = true;
            if (b[1] > 4)
                return outOfRange("profile image", b[1]);
            const int chunk = std::min(128, m_format.reportLength);
            c.dataReports = (128 + chunk - 1) / chunk;
            return reply();
        }
        }
    }
    violation(QStringLiteral("unknown opcode %1 for the %2 family (block %3)")
                  .arg(hex2(op), QLatin1String(m_format.is560 ? "560" : "553"), hexBytes(b, 8)));
    c.unreadable = true;
    return c;
}

std::optional<ReportChecks::Payload> ReportChecks::data(const uint8_t *data, size_t len, qint64 t) {
    if (!m_pending) {
        if (m_lastCompletedOp >= 0)
            violation(QStringLiteral("too many data reports: command %1 already has all its data")
                          .arg(hex2(m_lastCompletedOp)));
        else
            violation(QStringLiteral("data report without a command before it"));
        return std::nullopt;
    }
    Pending &p = *m_pending;
    if (len != size_t(m_format.reportLength) + 1)
        violation(QStringLiteral("wrong report length: data report of %1 bytes, expected %2")
                      .arg(len)
                      .arg(m_format.reportLength + 1));
    if (len > 0 && data[0] != 0)
        violation(QStringLiteral("wrong report id %1 on a data report").arg(hex2(data[0])));
    if (t - m_lastReportAt < kSettleMs)
        violation(
            QStringLiteral(
                "settle time: data report %1 of command %2 came %3 ms after the previous report, "
                "the mouse needs %4 ms")
                .arg(p.received + 1)
                .arg(hex2(p.block[0]))
                .arg(t - m_lastReportAt)
                .arg(kSettleMs));
    m_lastReportAt = t;
    QByteArray chunk(p.chunk, '\0');
    for (int i = 0; i < p.chunk && size_t(i) + 1 < len; ++i)
        chunk[i] = char(data[i + 1]);
    p.data.append(chunk);
    if (++p.received < p.expected)
        return std::nullopt;
    m_lastCompletedOp = p.block[0];
    std::optional<Payload> done;
    if (!p.discard) {
        done = Payload();
        memcpy(done->block, p.block, 8);
        done->data = p.data.left(p.total);
    }
    m_pending.reset();
    return done;
}

int ReportChecks::getFeature(size_t len, uint8_t id) {
    if (len < 9) {
        violation(QStringLiteral("wrong report length: get_feature buffer of %1 bytes, expected 9")
                      .arg(len));
        return -1;
    }
    if (id != 0)
        violation(QStringLiteral("wrong report id %1 asked of get_feature").arg(hex2(id)));
    if (!m_replyDue) {
        violation(QStringLiteral("get_feature without a read command before it"));
        return 0;
    }
    m_replyDue = false;
    return 1;
}

bool ReportChecks::read(bool wouldWait) {
    if (m_readsDue > 0) {
        --m_readsDue;
        return true;
    }
    if (wouldWait)
        violation(QStringLiteral("read of the command interface with no data report to come "
                                 "(a real mouse would block forever)"));
    return false;
}

void ReportChecks::finish() {
    if (m_pending)
        violation(QStringLiteral("too few data reports: command %1 got %2 of %3 before the end")
                      .arg(hex2(m_pending->block[0]))
                      .arg(m_pending->received)
                      .arg(m_pending->expected));
    m_pending.reset();
}
