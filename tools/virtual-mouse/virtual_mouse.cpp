#include "virtual_mouse.h"

#include <hidapi/hidapi.h>

#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

// ---------------------------------------------------------------------------
// Firmware constants

namespace {

// One byte per block position; the firmware adds the nibble-swapped value.
const uint8_t kScrambleTable[8] = {0x3A, 0xC5, 0x71, 0x0E, 0x9B, 0x58, 0xE2, 0x27};

// The firmware needs this long after a feature report or a data report before
// it can take the next data report.
constexpr qint64 kSettleMs = 100;

constexpr int kMaxEventQueue = 256;

// The newest wire records kept in memory; the log file gets every one. The
// event reader alone adds a few records a second for as long as the program
// runs, while a test looks at no more than one start-up's worth.
constexpr size_t kMaxRecords = 4096;

inline uint8_t nibbleSwap(uint8_t t) {
    return uint8_t(((t << 4) | (t >> 4)) & 0xFF);
}

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

const uint8_t kColours[24] = {0xff, 0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00,
                              0xff, 0xff, 0xff, 0x00, 0x00, 0xff, 0xff, 0xff,
                              0x00, 0xff, 0xff, 0xff, 0xff, 0xff, 0x80, 0x00};
// 800, 1600, 3200 and 6400 dpi in the sensor's code, stages 5..8 unused.
const uint8_t kDpiCodes[8] = {0x07, 0x0f, 0x1f, 0x60, 0x80, 0x80, 0x80, 0x80};

struct Device {
    // identity
    bool is560 = false;
    uint16_t vid = 0x1209, pid = 0x0001;
    uint16_t usagePage = 0xff00, usage = 0xff00, usagePage2 = 0xff01, usage2 = 0xff01;
    int reportLength = 32;
    bool isEncode = true;
    uint8_t code[8] = {};
    bool isGun = true;

    // connection
    bool plugged = true;
    int generation = 0;
    bool silent = false;
    bool corruptNext = false;

    // firmware state
    QByteArray keyMatrix[4];
    int currentKeyMatrix = 0;
    int dpiStages = 4;
    QByteArray dpiCodes;
    int currentDpi = 1;
    int reportRate = 1;
    QByteArray ledEffect;
    QByteArray fixColor;
    int ledColorType = 0;
    QByteArray ledColors;
    QByteArray keyboardOption;
    QByteArray gunData[3];
    QByteArray macros[12];
    QByteArray profiles[5];
    int currentProfile = 1;
    int profileReportRate[4] = {1, 1, 1, 1};
    int profileDpi[4] = {1, 1, 1, 1};

    // protocol state; it lives with the device, not with a handle, because
    // the program reopens the interface around every report.
    struct Pending {
        uint8_t block[8];
        int total = 0;
        int chunk = 0;
        int expected = 0;
        int received = 0;
        bool discard = false;
        QByteArray data;
    };
    std::optional<Pending> pending;
    qint64 lastReportAt = 0;
    int lastCompletedOp =
        -1; // payload command whose data is complete, until the next feature report
    std::optional<QByteArray> reply;     // plain reply block awaiting get_feature
    bool replyUnreadable = false;        // the command could not be read: answer all zeros
    std::deque<QByteArray> commandQueue; // data reports of a read awaiting hid_read
    int commandQueueOp = 0;
    std::deque<QByteArray> eventQueue;

    void initState() {
        for (auto &m : keyMatrix)
            m = QByteArray(64, '\0');
        currentKeyMatrix = 0;
        dpiStages = 4;
        dpiCodes = QByteArray(reinterpret_cast<const char *>(kDpiCodes), 8);
        currentDpi = 1;
        reportRate = 1;
        ledEffect = QByteArray::fromHex("01ff00");
        fixColor = QByteArray::fromHex("ff0000");
        ledColorType = 0;
        ledColors = QByteArray(reinterpret_cast<const char *>(kColours), 24);
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

    void dropExchange() {
        pending.reset();
        reply.reset();
        replyUnreadable = false;
        commandQueue.clear();
        lastCompletedOp = -1;
    }
};

struct Fault {
    QString op;
    QString iface;
    int count = 0;
};

qint64 realMs() {
    static const auto start = std::chrono::steady_clock::now();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

std::atomic<qint64> g_virtualNow{0};

QJsonObject defaultDevice() {
    return QJsonObject{{"family", "553"},     {"vid", "1209"},      {"pid", "0001"},
                       {"usagePage", "ff00"}, {"usage", "ff00"},    {"usagePage2", "ff01"},
                       {"usage2", "ff01"},    {"reportLength", 32}, {"isEncode", true},
                       {"sCode", "Tw70Sk"},   {"isGun", true}};
}

wchar_t *wideDup(const wchar_t *s) {
    const size_t n = wcslen(s) + 1;
    auto *p = static_cast<wchar_t *>(malloc(n * sizeof(wchar_t)));
    if (p)
        wmemcpy(p, s, n);
    return p;
}

} // namespace

struct hid_device_ {
    int dev = -1;
    bool event = false;
    int generation = 0;
    bool nonblocking = false;
    bool stale = false; // its device list was dropped by reset()
    std::wstring error;
};

// ---------------------------------------------------------------------------

class VirtualMousePrivate {
public:
    VirtualMouse *q = nullptr;
    mutable std::mutex m;
    std::condition_variable cv;
    std::vector<std::unique_ptr<Device>> devices;
    std::set<hid_device *> handles;
    std::set<hid_device *> staleHandles;
    struct Record {
        qint64 t;
        int dev;
        const char *iface;
        const char *op;
        QString data;
        QString text;
        QJsonObject json() const {
            QJsonObject r{{"t", double(t)},
                          {"dev", dev},
                          {"iface", QString::fromLatin1(iface)},
                          {"op", QString::fromLatin1(op)}};
            if (!data.isNull())
                r.insert("data", data);
            if (!text.isNull())
                r.insert("text", text);
            return r;
        }
    };
    std::deque<Record> log;
    QStringList violations;
    FILE *logFile = nullptr;
    std::vector<Fault> faults;
    std::function<void(int, bool)> plugListener;
    bool virtualClock = false;
    std::wstring globalError;

    std::thread controlThread;
    std::shared_ptr<std::atomic<bool>> controlStop; // one flag per pipe thread

    qint64 now() const { return virtualClock ? g_virtualNow.load() : realMs(); }

    // -- records (lock held) ------------------------------------------------
    void record(int dev, const char *iface, const char *op, const QString &data = QString(),
                const QString &text = QString()) {
        log.push_back(Record{now(), dev, iface, op, data, text});
        if (log.size() > kMaxRecords)
            log.pop_front();
        if (logFile) {
            const QByteArray line = QJsonDocument(log.back().json()).toJson(QJsonDocument::Compact);
            fwrite(line.constData(), 1, size_t(line.size()), logFile);
            fputc('\n', logFile);
            fflush(logFile);
        }
    }

    void violation(int dev, bool event, const QString &text) {
        violations.append(text);
        record(dev, event ? "event" : "command", "violation", QString(), text);
    }

    bool takeFault(const char *op, bool event) {
        const QString iface = QString::fromLatin1(event ? "event" : "command");
        for (auto it = faults.begin(); it != faults.end(); ++it) {
            if (it->op == QLatin1String(op) && (it->iface.isEmpty() || it->iface == iface)) {
                if (--it->count <= 0)
                    faults.erase(it);
                return true;
            }
        }
        return false;
    }

    Device *device(int index) const {
        if (index < 0 || index >= int(devices.size()))
            return nullptr;
        return devices[size_t(index)].get();
    }

    // Resolves a handle for a call; null (with the handle's error set) when
    // the call must fail.
    Device *live(hid_device *h, const char *op) {
        if (!h) {
            globalError = L"null device handle";
            return nullptr;
        }
        if (staleHandles.count(h)) {
            h->error = L"device list was reset";
            return nullptr;
        }
        if (!handles.count(h)) {
            // Undefined behaviour on a real system; here it is a program fault.
            violations.append(QStringLiteral("%1 on a closed handle").arg(QLatin1String(op)));
            record(-1, "command", "violation", QString(), violations.last());
            return nullptr;
        }
        Device *d = device(h->dev);
        if (!d || !d->plugged || d->generation != h->generation) {
            h->error = L"device disconnected";
            return nullptr;
        }
        return d;
    }

    void closeLogFile() {
        if (logFile)
            fclose(logFile);
        logFile = nullptr;
    }

    void clearAll() {
        devices.clear();
        for (hid_device *h : handles) {
            h->stale = true;
            staleHandles.insert(h);
        }
        handles.clear();
        log.clear();
        violations.clear();
        faults.clear();
        g_virtualNow = 0;
        cv.notify_all();
    }

    int attachLocked(const QJsonObject &o);

    // firmware
    void featureReport(int dev, Device &d, const uint8_t *data, size_t len);
    void execute(int dev, Device &d, const uint8_t *b);
    void expectPayload(Device &d, const uint8_t *b, int total, bool discard);
    void completePayload(Device &d);
    void dataReport(int dev, Device &d, const uint8_t *data, size_t len);

    // control pipe
    void startControl(const QString &path);
    void stopControl();
    void controlLoop(int fd, std::shared_ptr<std::atomic<bool>> stop);
    void controlLine(const QString &line);
};

namespace {

uint16_t hexField(const QJsonObject &o, const char *key, uint16_t fallback) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isString()) {
        bool ok = false;
        const uint v16 = v.toString().toUInt(&ok, 16);
        if (ok && v16 <= 0xFFFF)
            return uint16_t(v16);
        return fallback;
    }
    if (v.isDouble() && v.toInt(-1) >= 0 && v.toInt(-1) <= 0xFFFF)
        return uint16_t(v.toInt());
    return fallback;
}

bool boolField(const QJsonObject &o, const char *key, bool fallback) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isBool())
        return v.toBool();
    if (v.isDouble())
        return v.toInt() != 0;
    if (v.isString()) {
        const QString s = v.toString().trimmed().toLower();
        if (s == "true" || s == "1")
            return true;
        if (s == "false" || s == "0")
            return false;
    }
    return fallback;
}

} // namespace

int VirtualMousePrivate::attachLocked(const QJsonObject &o) {
    auto d = std::make_unique<Device>();
    d->is560 = o.value("family").toVariant().toString() == QLatin1String("560");
    d->vid = hexField(o, "vid", 0x1209);
    d->pid = hexField(o, "pid", 0x0001);
    d->usagePage = hexField(o, "usagePage", 0xff00);
    d->usage = hexField(o, "usage", 0xff00);
    d->usagePage2 = hexField(o, "usagePage2", 0xff01);
    d->usage2 = hexField(o, "usage2", 0xff01);
    int rl = o.value("reportLength").toVariant().toInt();
    d->reportLength = (rl >= 8 && rl <= 64) ? rl : 32;
    d->isEncode = boolField(o, "isEncode", true);
    d->isGun = boolField(o, "isGun", true);
    const QByteArray code =
        o.contains("sCode") ? o.value("sCode").toString().toLatin1() : QByteArray("Tw70Sk");
    for (int i = 0; i < 6 && i < code.size(); ++i)
        d->code[i + 1] = uint8_t(code[i]);
    d->initState();
    devices.push_back(std::move(d));
    return int(devices.size()) - 1;
}

// ---------------------------------------------------------------------------
// Firmware

void VirtualMousePrivate::featureReport(int dev, Device &d, const uint8_t *data, size_t len) {
    if (len != 9) {
        violation(
            dev, false,
            QStringLiteral("wrong report length: feature report of %1 bytes, expected 9").arg(len));
        return;
    }
    if (data[0] != 0)
        violation(dev, false,
                  QStringLiteral("wrong report id %1 on a feature report").arg(hex2(data[0])));

    if (d.pending) {
        violation(
            dev, false,
            QStringLiteral("too few data reports: command %1 got %2 of %3 before the next command")
                .arg(hex2(d.pending->block[0]))
                .arg(d.pending->received)
                .arg(d.pending->expected));
    }
    if (!d.commandQueue.empty()) {
        violation(
            dev, false,
            QStringLiteral(
                "unread data reports: %1 report(s) of command %2 left when the next command came")
                .arg(d.commandQueue.size())
                .arg(hex2(d.commandQueueOp)));
    }
    d.dropExchange();
    if (d.silent)
        return;

    uint8_t b[8];
    memcpy(b, data + 1, 8);
    if (d.isEncode)
        VirtualMouse::unscramble(b, d.code);
    if (VirtualMouse::checksum(b) != b[7]) {
        violation(
            dev, false,
            QStringLiteral("bad checksum: block %1 (as unscrambled by the mouse) should end in %2")
                .arg(hexBytes(b, 8), hex2(VirtualMouse::checksum(b))));
        // The firmware answers an unreadable block with an empty reply.
        d.reply = QByteArray(8, '\0');
        d.replyUnreadable = true;
        return;
    }
    d.lastReportAt = now();
    execute(dev, d, b);
}

void VirtualMousePrivate::expectPayload(Device &d, const uint8_t *b, int total, bool discard) {
    Device::Pending p;
    memcpy(p.block, b, 8);
    p.total = total;
    p.chunk = std::min(total, d.reportLength);
    p.expected = (total + p.chunk - 1) / p.chunk;
    p.discard = discard;
    d.pending = p;
}

void VirtualMousePrivate::completePayload(Device &d) {
    const Device::Pending &p = *d.pending;
    const uint8_t *b = p.block;
    const QByteArray data = p.data.left(p.total);
    if (!p.discard) {
        if (!d.is560) {
            switch (b[0]) {
            case 0x10:
                d.ledColorType = b[1];
                d.ledColors.replace(0, data.size(), data);
                break;
            case 0x11:
                d.dpiStages = b[1];
                d.dpiCodes = data;
                break;
            case 0x12:
                d.keyMatrix[b[1] - 1] = data;
                break;
            case 0x13:
                d.macros[b[1] - 1] = data;
                break;
            }
        } else {
            switch (b[0]) {
            case 0x0C:
                d.profiles[b[1]] = data;
                break;
            case 0x0D:
                d.keyMatrix[b[1] - 1] = data.left(64);
                break;
            case 0x0F:
                d.macros[b[1] - 1] = data;
                break;
            }
        }
    }
    d.lastCompletedOp = b[0];
    d.pending.reset();
}

namespace {
QByteArray replyBlock(const uint8_t *b, std::initializer_list<int> values) {
    QByteArray r(8, '\0');
    r[0] = char(b[0]);
    int i = 1;
    for (int v : values)
        r[i++] = char(v & 0xFF);
    return r;
}
} // namespace

void VirtualMousePrivate::execute(int dev, Device &d, const uint8_t *b) {
    const int op = b[0];
    auto outOfRange = [&](const QString &what, int value) {
        violation(
            dev, false,
            QStringLiteral("index out of range: command %1 %2 %3").arg(hex2(op), what).arg(value));
    };
    auto lengthField = [&](int byte, int expected) {
        if (b[byte] == expected)
            return true;
        violation(dev, false,
                  QStringLiteral("bad length field: command %1 byte %2 is %3, expected %4")
                      .arg(hex2(op))
                      .arg(byte)
                      .arg(hex2(b[byte]), hex2(expected)));
        return false;
    };

    if (op == 0x00) {
        d.reply = replyBlock(b, {b[1], b[2], b[3], b[4]});
        return;
    }

    if (!d.is560) {
        switch (op) {
        case 0x01:
            d.reportRate = b[1];
            return;
        case 0x02:
            if (b[1] > 3)
                return outOfRange("key matrix", b[1]);
            d.currentKeyMatrix = b[1];
            return;
        case 0x03:
            d.keyboardOption = QByteArray(reinterpret_cast<const char *>(b + 1), 4);
            return;
        case 0x04:
            if (!d.isGun) {
                violation(dev, false,
                          QStringLiteral("unknown opcode 0x04: this mouse has no gun feature"));
                return;
            }
            if (b[5] > 2)
                return outOfRange("gun slot", b[5]);
            d.gunData[b[5]] = QByteArray(reinterpret_cast<const char *>(b + 2), 3);
            return;
        case 0x0B:
            d.currentDpi = b[1];
            return;
        case 0x0C:
            d.fixColor = QByteArray(reinterpret_cast<const char *>(b + 1), 3);
            return;
        case 0x0D:
            d.ledEffect = QByteArray(reinterpret_cast<const char *>(b + 1), 3);
            return;
        case 0x10: {
            const bool ok = lengthField(2, b[2] == 4 ? 4 : 24);
            return expectPayload(d, b, b[2] == 4 ? 4 : 24, !ok);
        }
        case 0x11: {
            bool ok = lengthField(2, 8);
            if (b[1] < 1 || b[1] > 8) {
                outOfRange("stage count", b[1]);
                ok = false;
            }
            return expectPayload(d, b, 8, !ok);
        }
        case 0x12: {
            bool ok = lengthField(2, 0x40) && lengthField(3, 0x08);
            if (b[1] < 1 || b[1] > 4) {
                outOfRange("key matrix", b[1]);
                ok = false;
            }
            return expectPayload(d, b, 64, !ok);
        }
        case 0x13: {
            bool ok = lengthField(2, 0x80);
            if (b[1] < 1 || b[1] > 12) {
                outOfRange("macro", b[1]);
                ok = false;
            }
            return expectPayload(d, b, 128, !ok);
        }
        case 0x83: {
            const auto *o = reinterpret_cast<const uint8_t *>(d.keyboardOption.constData());
            d.reply = replyBlock(b, {o[0], o[1], o[2], o[3]});
            return;
        }
        case 0x8B:
            d.reply = replyBlock(b, {d.currentDpi});
            return;
        }
    } else {
        switch (op) {
        case 0x01:
            d.keyboardOption = QByteArray(reinterpret_cast<const char *>(b + 1), 2);
            return;
        case 0x02:
            if (b[1] > 4)
                return outOfRange("profile", b[1]);
            d.currentProfile = b[1];
            return;
        case 0x03:
            if (b[1] < 1 || b[1] > 4)
                return outOfRange("profile", b[1]);
            d.profileReportRate[b[1] - 1] = b[2];
            return;
        case 0x04:
            if (b[1] < 1 || b[1] > 4)
                return outOfRange("profile", b[1]);
            d.profileDpi[b[1] - 1] = b[2];
            return;
        case 0x0C: {
            bool ok = lengthField(2, 0x80);
            if (b[1] > 4) {
                outOfRange("profile image", b[1]);
                ok = false;
            }
            return expectPayload(d, b, 128, !ok);
        }
        case 0x0D: {
            bool ok = lengthField(2, 0x80);
            if (b[1] < 1 || b[1] > 4) {
                outOfRange("key matrix", b[1]);
                ok = false;
            }
            return expectPayload(d, b, 128, !ok);
        }
        case 0x0F: {
            bool ok = lengthField(2, 0x80);
            if (b[1] < 1 || b[1] > 12) {
                outOfRange("macro", b[1]);
                ok = false;
            }
            return expectPayload(d, b, 128, !ok);
        }
        case 0x81: {
            const auto *o = reinterpret_cast<const uint8_t *>(d.keyboardOption.constData());
            d.reply = replyBlock(b, {o[0], o[1]});
            return;
        }
        case 0x82:
            d.reply = replyBlock(b, {d.currentProfile});
            return;
        case 0x84:
            if (b[1] < 1 || b[1] > 4) {
                d.reply = replyBlock(b, {b[1], 0});
                return outOfRange("profile", b[1]);
            }
            d.reply = replyBlock(b, {b[1], d.profileDpi[b[1] - 1]});
            return;
        case 0x8C: {
            d.reply = replyBlock(b, {b[1]});
            if (b[1] > 4)
                return outOfRange("profile image", b[1]);
            const QByteArray &img = d.profiles[b[1]];
            const int chunk = std::min(128, d.reportLength);
            for (int off = 0; off < 128; off += chunk) {
                QByteArray report(d.reportLength, '\0');
                report.replace(0, chunk, img.mid(off, chunk));
                d.commandQueue.push_back(report);
            }
            d.commandQueueOp = op;
            return;
        }
        }
    }
    violation(dev, false,
              QStringLiteral("unknown opcode %1 for the %2 family (block %3)")
                  .arg(hex2(op), QLatin1String(d.is560 ? "560" : "553"), hexBytes(b, 8)));
    d.reply = QByteArray(8, '\0');
    d.replyUnreadable = true;
}

void VirtualMousePrivate::dataReport(int dev, Device &d, const uint8_t *data, size_t len) {
    if (!d.pending) {
        if (d.lastCompletedOp >= 0)
            violation(dev, false,
                      QStringLiteral("too many data reports: command %1 already has all its data")
                          .arg(hex2(d.lastCompletedOp)));
        else
            violation(dev, false, QStringLiteral("data report without a command before it"));
        return;
    }
    Device::Pending &p = *d.pending;
    if (len != size_t(d.reportLength) + 1)
        violation(dev, false,
                  QStringLiteral("wrong report length: data report of %1 bytes, expected %2")
                      .arg(len)
                      .arg(d.reportLength + 1));
    if (len > 0 && data[0] != 0)
        violation(dev, false,
                  QStringLiteral("wrong report id %1 on a data report").arg(hex2(data[0])));
    const qint64 t = now();
    if (t - d.lastReportAt < kSettleMs)
        violation(
            dev, false,
            QStringLiteral(
                "settle time: data report %1 of command %2 came %3 ms after the previous report, "
                "the mouse needs %4 ms")
                .arg(p.received + 1)
                .arg(hex2(p.block[0]))
                .arg(t - d.lastReportAt)
                .arg(kSettleMs));
    d.lastReportAt = t;
    QByteArray chunk(p.chunk, '\0');
    for (int i = 0; i < p.chunk && size_t(i) + 1 < len; ++i)
        chunk[i] = char(data[i + 1]);
    p.data.append(chunk);
    if (++p.received == p.expected)
        completePayload(d);
}

// ---------------------------------------------------------------------------
// Control pipe

void VirtualMousePrivate::startControl(const QString &path) {
    const QByteArray p = QFile::encodeName(path);
    struct stat st;
    if (stat(p.constData(), &st) != 0) {
        if (mkfifo(p.constData(), 0600) != 0) {
            fprintf(stderr, "virtual mouse: cannot create control pipe %s: %s\n", p.constData(),
                    strerror(errno));
            return;
        }
    } else if (!S_ISFIFO(st.st_mode)) {
        fprintf(stderr, "virtual mouse: control path %s is not a named pipe\n", p.constData());
        return;
    }
    // Opening read-write keeps one writer alive, so the pipe never reports
    // end-of-file between two clients.
    const int fd = open(p.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        fprintf(stderr, "virtual mouse: cannot open control pipe %s: %s\n", p.constData(),
                strerror(errno));
        return;
    }
    controlStop = std::make_shared<std::atomic<bool>>(false);
    controlThread = std::thread([this, fd, stop = controlStop] { controlLoop(fd, stop); });
}

void VirtualMousePrivate::stopControl() {
    if (!controlThread.joinable())
        return;
    *controlStop = true;
    // A pipe command whose listener re-reads the environment runs on the pipe
    // thread itself: let that thread finish on its own.
    if (controlThread.get_id() == std::this_thread::get_id())
        controlThread.detach();
    else
        controlThread.join();
}

void VirtualMousePrivate::controlLoop(int fd, std::shared_ptr<std::atomic<bool>> stop) {
    QByteArray buffer;
    while (!*stop) {
        pollfd pfd{fd, POLLIN, 0};
        const int r = poll(&pfd, 1, 100);
        if (r <= 0)
            continue;
        char chunk[512];
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n <= 0)
            continue;
        buffer.append(chunk, int(n));
        int nl;
        while ((nl = buffer.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(buffer.left(nl)).trimmed();
            buffer.remove(0, nl + 1);
            if (!line.isEmpty() && !*stop)
                controlLine(line);
        }
    }
    close(fd);
}

void VirtualMousePrivate::controlLine(const QString &line) {
    VirtualMouse &vm = *q;
    const QStringList w = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString cmd = w.value(0);
    auto number = [&](int i, int fallback) {
        bool ok = false;
        const int v = w.value(i).toInt(&ok);
        return ok ? v : fallback;
    };
    if (cmd == "dpi" && w.size() >= 2)
        vm.emitDpiStage(number(1, 1), number(2, 0));
    else if (cmd == "unplug")
        vm.unplug(number(1, 0));
    else if (cmd == "plug")
        vm.plug(number(1, 0));
    else if (cmd == "dump" && w.size() >= 2) {
        const int dev = number(2, 0);
        const QString path = w.value(1);
        QSaveFile f(path);
        if (f.open(QIODevice::WriteOnly)) {
            f.write(QJsonDocument(vm.state(dev)).toJson());
            if (!f.commit())
                fprintf(stderr, "virtual mouse: cannot write %s\n", qPrintable(path));
        } else {
            fprintf(stderr, "virtual mouse: cannot write %s\n", qPrintable(path));
        }
    } else if (cmd == "fail" && w.size() >= 3)
        vm.failNext(w.value(1), number(2, 1), w.value(3));
    else if (cmd == "silent" && w.size() >= 2)
        vm.setSilent(number(1, 0) != 0, number(2, 0));
    else if (cmd == "corrupt")
        vm.corruptNextReply(number(1, 0));
    else
        fprintf(stderr, "virtual mouse: unknown control line \"%s\"\n", qPrintable(line));
}

// ---------------------------------------------------------------------------
// VirtualMouse

VirtualMouse::VirtualMouse() : m_d(new VirtualMousePrivate) {
    m_d->q = this;
}

VirtualMouse &VirtualMouse::instance() {
    static VirtualMouse *vm = [] {
        auto *v = new VirtualMouse;
        v->initFromEnvironment();
        return v;
    }();
    return *vm;
}

void VirtualMouse::reset() {
    std::lock_guard<std::mutex> l(m_d->m);
    m_d->clearAll();
}

void VirtualMouse::initFromEnvironment() {
    m_d->stopControl();
    std::lock_guard<std::mutex> l(m_d->m);
    m_d->clearAll();
    m_d->closeLogFile();

    const QByteArray logPath = qgetenv("SKARN_VIRTUAL_LOG");
    if (!logPath.isEmpty()) {
        m_d->logFile = fopen(logPath.constData(), "w");
        if (!m_d->logFile)
            fprintf(stderr, "virtual mouse: cannot write log %s: %s\n", logPath.constData(),
                    strerror(errno));
    }

    const QByteArray devPath = qgetenv("SKARN_VIRTUAL_DEVICE");
    if (devPath.isEmpty()) {
        m_d->attachLocked(defaultDevice());
    } else {
        QFile f(QFile::decodeName(devPath));
        QJsonParseError err{};
        QJsonDocument doc;
        if (f.open(QIODevice::ReadOnly))
            doc = QJsonDocument::fromJson(f.readAll(), &err);
        if (doc.isObject()) {
            m_d->attachLocked(doc.object());
        } else if (doc.isArray()) {
            for (const QJsonValue &v : doc.array()) {
                if (v.isObject())
                    m_d->attachLocked(v.toObject());
                else
                    fprintf(stderr,
                            "virtual mouse: %s: skipping an array element that is not an object\n",
                            devPath.constData());
            }
        } else {
            // A broken description gives no mouse at all rather than a guess.
            fprintf(stderr,
                    "virtual mouse: %s is not a device object or array (%s); no device attached\n",
                    devPath.constData(),
                    f.isOpen() ? qPrintable(err.errorString()) : qPrintable(f.errorString()));
        }
    }

    const QByteArray controlPath = qgetenv("SKARN_VIRTUAL_CONTROL");
    if (!controlPath.isEmpty())
        m_d->startControl(QFile::decodeName(controlPath));
}

int VirtualMouse::attach(const QJsonObject &device) {
    std::lock_guard<std::mutex> l(m_d->m);
    return m_d->attachLocked(device);
}

int VirtualMouse::deviceCount() const {
    std::lock_guard<std::mutex> l(m_d->m);
    return int(m_d->devices.size());
}

void VirtualMouse::unplug(int device) {
    std::function<void(int, bool)> listener;
    {
        std::lock_guard<std::mutex> l(m_d->m);
        Device *d = m_d->device(device);
        if (!d || !d->plugged)
            return;
        d->plugged = false;
        ++d->generation;
        // Power is gone: whatever the firmware was in the middle of is lost,
        // the settings it stored are kept.
        d->dropExchange();
        d->eventQueue.clear();
        listener = m_d->plugListener;
        m_d->cv.notify_all();
    }
    if (listener)
        listener(device, false);
}

void VirtualMouse::plug(int device) {
    std::function<void(int, bool)> listener;
    {
        std::lock_guard<std::mutex> l(m_d->m);
        Device *d = m_d->device(device);
        if (!d || d->plugged)
            return;
        d->plugged = true;
        listener = m_d->plugListener;
    }
    if (listener)
        listener(device, true);
}

bool VirtualMouse::isPlugged(int device) const {
    std::lock_guard<std::mutex> l(m_d->m);
    const Device *d = m_d->device(device);
    return d && d->plugged;
}

void VirtualMouse::setPlugListener(std::function<void(int, bool)> listener) {
    std::lock_guard<std::mutex> l(m_d->m);
    m_d->plugListener = std::move(listener);
}

void VirtualMouse::emitDpiStage(int stage, int device) {
    std::lock_guard<std::mutex> l(m_d->m);
    Device *d = m_d->device(device);
    if (!d || !d->plugged)
        return;
    if (d->is560) {
        const int p = (d->currentProfile >= 1 && d->currentProfile <= 4) ? d->currentProfile : 1;
        d->profileDpi[p - 1] = stage & 0xFF;
    }
    d->currentDpi = stage & 0xFF;
    if (d->eventQueue.size() >= size_t(kMaxEventQueue))
        d->eventQueue.pop_front();
    const char report[4] = {0x06, 0x07, 0x00, char(stage & 0xFF)};
    d->eventQueue.push_back(QByteArray(report, 4));
    m_d->cv.notify_all();
}

static QString pathOf(int device, bool event) {
    return QStringLiteral("virtual-mouse/%1/%2")
        .arg(device)
        .arg(QLatin1String(event ? "event" : "command"));
}

QString VirtualMouse::commandPath(int device) const {
    return pathOf(device, false);
}
QString VirtualMouse::eventPath(int device) const {
    return pathOf(device, true);
}

QJsonArray VirtualMouse::wireLog() const {
    std::lock_guard<std::mutex> l(m_d->m);
    QJsonArray out;
    for (const auto &r : m_d->log)
        out.append(r.json());
    return out;
}

void VirtualMouse::clearWireLog() {
    std::lock_guard<std::mutex> l(m_d->m);
    m_d->log.clear();
}

QJsonObject VirtualMouse::state(int device) const {
    std::lock_guard<std::mutex> l(m_d->m);
    const Device *d = m_d->device(device);
    if (!d)
        return QJsonObject();
    QJsonObject s;
    s["family"] = d->is560 ? "560" : "553";
    s["plugged"] = d->plugged;
    QJsonObject km;
    for (int i = 0; i < 4; ++i)
        km[QString::number(i + 1)] = hexBytes(d->keyMatrix[i]);
    s["keyMatrix"] = km;
    s["currentKeyMatrix"] = d->currentKeyMatrix;
    s["dpiStages"] = d->dpiStages;
    s["dpiCodes"] = hexBytes(d->dpiCodes);
    const int p = (d->currentProfile >= 1 && d->currentProfile <= 4) ? d->currentProfile : 1;
    // On the 560 family rate and stage are kept per on-board profile; the
    // summary shows those of the profile in use.
    s["currentDpi"] = d->is560 ? d->profileDpi[p - 1] : d->currentDpi;
    s["reportRate"] = d->is560 ? d->profileReportRate[p - 1] : d->reportRate;
    s["ledEffect"] = hexBytes(d->ledEffect);
    s["fixColor"] = hexBytes(d->fixColor);
    s["ledColorType"] = d->ledColorType;
    s["ledColors"] = hexBytes(d->ledColors);
    s["keyboardOption"] = hexBytes(d->keyboardOption);
    QJsonObject gun;
    for (int i = 0; i < 3; ++i)
        gun[QString::number(i)] = hexBytes(d->gunData[i]);
    s["gunData"] = gun;
    QJsonObject macros;
    for (int i = 0; i < 12; ++i)
        macros[QString::number(i + 1)] = hexBytes(d->macros[i]);
    s["macros"] = macros;
    QJsonObject profiles;
    for (int i = 0; i < 5; ++i)
        profiles[QString::number(i)] = hexBytes(d->profiles[i]);
    s["profiles"] = profiles;
    s["currentProfile"] = d->currentProfile;
    if (d->is560) {
        QJsonObject rate, dpi;
        for (int i = 0; i < 4; ++i) {
            rate[QString::number(i + 1)] = d->profileReportRate[i];
            dpi[QString::number(i + 1)] = d->profileDpi[i];
        }
        s["profileReportRate"] = rate;
        s["profileDpi"] = dpi;
    }
    return s;
}

QStringList VirtualMouse::violations() const {
    std::lock_guard<std::mutex> l(m_d->m);
    return m_d->violations;
}

void VirtualMouse::clearViolations() {
    std::lock_guard<std::mutex> l(m_d->m);
    m_d->violations.clear();
}

void VirtualMouse::failNext(const QString &op, int count, const QString &iface) {
    static const QStringList ops{"open", "set_feature", "get_feature", "write", "read"};
    if (!ops.contains(op) || count <= 0) {
        fprintf(stderr, "virtual mouse: failNext(%s, %d) ignored\n", qPrintable(op), count);
        return;
    }
    std::lock_guard<std::mutex> l(m_d->m);
    m_d->faults.push_back(Fault{op, iface, count});
}

void VirtualMouse::setSilent(bool silent, int device) {
    std::lock_guard<std::mutex> l(m_d->m);
    if (Device *d = m_d->device(device))
        d->silent = silent;
}

void VirtualMouse::corruptNextReply(int device) {
    std::lock_guard<std::mutex> l(m_d->m);
    if (Device *d = m_d->device(device))
        d->corruptNext = true;
}

void VirtualMouse::useVirtualClock(bool on) {
    std::lock_guard<std::mutex> l(m_d->m);
    m_d->virtualClock = on;
}

bool VirtualMouse::virtualClock() const {
    std::lock_guard<std::mutex> l(m_d->m);
    return m_d->virtualClock;
}

void VirtualMouse::virtualSleep(int ms) {
    if (ms > 0)
        g_virtualNow += ms;
}

qint64 VirtualMouse::nowMs() const {
    std::lock_guard<std::mutex> l(m_d->m);
    return m_d->now();
}

void VirtualMouse::scramble(uint8_t b[8], const uint8_t code[8]) {
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

void VirtualMouse::unscramble(uint8_t b[8], const uint8_t code[8]) {
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

uint8_t VirtualMouse::checksum(const uint8_t block[7]) {
    unsigned sum = 0;
    for (int i = 0; i < 7; ++i)
        sum += block[i];
    return uint8_t(0xFF - (sum & 0xFF));
}

// ---------------------------------------------------------------------------
// hidapi

namespace {
VirtualMousePrivate &P() {
    return *VirtualMouse::instance().d();
}
const char *ifaceName(const hid_device *h) {
    return h->event ? "event" : "command";
}
} // namespace

extern "C" {

int HID_API_EXPORT HID_API_CALL hid_init(void) {
    VirtualMouse::instance();
    return 0;
}

int HID_API_EXPORT HID_API_CALL hid_exit(void) {
    return 0;
}

struct hid_device_info HID_API_EXPORT *HID_API_CALL hid_enumerate(unsigned short vendor_id,
                                                                  unsigned short product_id) {
    VirtualMousePrivate &p = P();
    std::lock_guard<std::mutex> l(p.m);
    hid_device_info *head = nullptr;
    hid_device_info **tail = &head;
    for (size_t i = 0; i < p.devices.size(); ++i) {
        const Device &d = *p.devices[i];
        if (!d.plugged || (vendor_id && vendor_id != d.vid) || (product_id && product_id != d.pid))
            continue;
        for (int iface = 0; iface < 2; ++iface) {
            auto *info = static_cast<hid_device_info *>(calloc(1, sizeof(hid_device_info)));
            if (!info)
                return head;
            info->path = strdup(pathOf(int(i), iface == 1).toLatin1().constData());
            info->vendor_id = d.vid;
            info->product_id = d.pid;
            info->serial_number = wideDup(L"");
            info->release_number = 0x0100;
            info->manufacturer_string = wideDup(L"SKARN");
            info->product_string = wideDup(L"SK-70 (virtual)");
            info->usage_page = iface ? d.usagePage2 : d.usagePage;
            info->usage = iface ? d.usage2 : d.usage;
            info->interface_number = iface;
            info->bus_type = HID_API_BUS_USB;
            *tail = info;
            tail = &info->next;
        }
    }
    if (!head)
        p.globalError = L"no matching device";
    return head;
}

void HID_API_EXPORT HID_API_CALL hid_free_enumeration(struct hid_device_info *devs) {
    while (devs) {
        hid_device_info *next = devs->next;
        free(devs->path);
        free(devs->serial_number);
        free(devs->manufacturer_string);
        free(devs->product_string);
        free(devs);
        devs = next;
    }
}

hid_device *HID_API_EXPORT hid_open_path(const char *path) {
    VirtualMousePrivate &p = P();
    std::lock_guard<std::mutex> l(p.m);
    const QString s = QString::fromLatin1(path ? path : "");
    int dev = -1;
    bool event = false;
    for (size_t i = 0; i < p.devices.size() && dev < 0; ++i) {
        if (s == pathOf(int(i), false))
            dev = int(i);
        else if (s == pathOf(int(i), true)) {
            dev = int(i);
            event = true;
        }
    }
    Device *d = p.device(dev);
    if (!d) {
        p.globalError = L"no such device";
        p.record(-1, "command", "open-failed", QString(), QStringLiteral("unknown path %1").arg(s));
        return nullptr;
    }
    const char *iface = event ? "event" : "command";
    if (!d->plugged) {
        p.globalError = L"device not present";
        p.record(dev, iface, "open-failed", QString(), QStringLiteral("unplugged"));
        return nullptr;
    }
    if (p.takeFault("open", event)) {
        p.globalError = L"injected failure";
        p.record(dev, iface, "open-failed", QString(), QStringLiteral("injected failure"));
        return nullptr;
    }
    auto *h = new hid_device_;
    h->dev = dev;
    h->event = event;
    h->generation = d->generation;
    p.handles.insert(h);
    p.record(dev, iface, "open");
    return h;
}

void HID_API_EXPORT HID_API_CALL hid_close(hid_device *dev) {
    if (!dev)
        return;
    VirtualMousePrivate &p = P();
    std::lock_guard<std::mutex> l(p.m);
    if (p.staleHandles.erase(dev)) {
        delete dev;
        return;
    }
    if (!p.handles.erase(dev)) {
        p.violations.append(QStringLiteral("close of a handle that is not open"));
        p.record(-1, "command", "violation", QString(), p.violations.last());
        return;
    }
    p.record(dev->dev, ifaceName(dev), "close");
    delete dev;
    p.cv.notify_all();
}

int HID_API_EXPORT HID_API_CALL hid_set_nonblocking(hid_device *dev, int nonblock) {
    VirtualMousePrivate &p = P();
    std::lock_guard<std::mutex> l(p.m);
    if (!p.live(dev, "set_nonblocking"))
        return -1;
    dev->nonblocking = nonblock != 0;
    return 0;
}

int HID_API_EXPORT HID_API_CALL hid_send_feature_report(hid_device *dev, const unsigned char *data,
                                                        size_t length) {
    VirtualMousePrivate &p = P();
    std::lock_guard<std::mutex> l(p.m);
    Device *d = p.live(dev, "set_feature");
    if (!d)
        return -1;
    const QString hex = hexBytes(data, length);
    if (p.takeFault("set_feature", dev->event)) {
        dev->error = L"injected failure";
        p.record(dev->dev, ifaceName(dev), "set_feature", hex, QStringLiteral("failed (injected)"));
        return -1;
    }
    p.record(dev->dev, ifaceName(dev), "set_feature", hex);
    if (dev->event) {
        p.violation(dev->dev, true,
                    QStringLiteral("wrong interface: feature report sent to the event interface"));
        return int(length);
    }
    p.featureReport(dev->dev, *d, data, length);
    return int(length);
}

int HID_API_EXPORT HID_API_CALL hid_get_feature_report(hid_device *dev, unsigned char *data,
                                                       size_t length) {
    VirtualMousePrivate &p = P();
    std::lock_guard<std::mutex> l(p.m);
    Device *d = p.live(dev, "get_feature");
    if (!d)
        return -1;
    if (p.takeFault("get_feature", dev->event)) {
        dev->error = L"injected failure";
        p.record(dev->dev, ifaceName(dev), "get_feature", QString(),
                 QStringLiteral("failed (injected)"));
        return -1;
    }
    if (d->silent || dev->event) {
        dev->error = L"timed out";
        p.record(dev->dev, ifaceName(dev), "get_feature", QString(), QStringLiteral("no answer"));
        return -1;
    }
    if (length < 9) {
        p.violation(
            dev->dev, false,
            QStringLiteral("wrong report length: get_feature buffer of %1 bytes, expected 9")
                .arg(length));
        dev->error = L"buffer too small";
        return -1;
    }
    if (data[0] != 0)
        p.violation(dev->dev, false,
                    QStringLiteral("wrong report id %1 asked of get_feature").arg(hex2(data[0])));
    uint8_t block[8] = {};
    if (d->reply) {
        // A reply that stands for an unreadable command stays all zero.
        if (!d->replyUnreadable) {
            memcpy(block, d->reply->constData(), 8);
            block[7] = VirtualMouse::checksum(block);
            if (d->isEncode)
                VirtualMouse::scramble(block, d->code);
        }
        d->reply.reset();
        d->replyUnreadable = false;
    } else {
        p.violation(dev->dev, false,
                    QStringLiteral("get_feature without a read command before it"));
    }
    if (d->corruptNext) {
        d->corruptNext = false;
        for (uint8_t &c : block)
            c ^= 0xA5;
    }
    data[0] = 0;
    memcpy(data + 1, block, 8);
    p.record(dev->dev, "command", "get_feature", hexBytes(data, 9));
    return 9;
}

int HID_API_EXPORT HID_API_CALL hid_write(hid_device *dev, const unsigned char *data,
                                          size_t length) {
    VirtualMousePrivate &p = P();
    std::lock_guard<std::mutex> l(p.m);
    Device *d = p.live(dev, "write");
    if (!d)
        return -1;
    const QString hex = hexBytes(data, length);
    if (p.takeFault("write", dev->event)) {
        dev->error = L"injected failure";
        p.record(dev->dev, ifaceName(dev), "write", hex, QStringLiteral("failed (injected)"));
        return -1;
    }
    p.record(dev->dev, ifaceName(dev), "write", hex);
    if (dev->event) {
        p.violation(dev->dev, true,
                    QStringLiteral("wrong interface: data report sent to the event interface"));
        return int(length);
    }
    if (!d->silent)
        p.dataReport(dev->dev, *d, data, length);
    return int(length);
}

int HID_API_EXPORT HID_API_CALL hid_read_timeout(hid_device *dev, unsigned char *data,
                                                 size_t length, int milliseconds) {
    VirtualMousePrivate &p = P();
    std::unique_lock<std::mutex> l(p.m);
    Device *d = p.live(dev, "read");
    if (!d)
        return -1;
    if (p.takeFault("read", dev->event)) {
        dev->error = L"injected failure";
        p.record(dev->dev, ifaceName(dev), "read", QString(), QStringLiteral("failed (injected)"));
        return -1;
    }
    if (dev->nonblocking)
        milliseconds = 0;
    const int index = dev->dev;
    const bool event = dev->event;
    // Re-resolved after every wait: reset() may drop the device list.
    // Closing a handle that another thread reads on is a program fault; the
    // reader then returns without touching the freed handle.
    auto closed = [&] { return !p.handles.count(dev) && !p.staleHandles.count(dev); };
    auto gone = [&] {
        if (closed() || dev->stale)
            return true;
        Device *cur = p.device(index);
        return !cur || !cur->plugged || cur->generation != dev->generation;
    };

    if (!event) {
        // Reports of the command interface are answers to a read command, so
        // they are either queued already or will never come.
        if (d->silent || d->commandQueue.empty()) {
            if (milliseconds < 0) {
                if (!d->silent)
                    p.violation(index, false,
                                QStringLiteral("read of the command interface with no data report "
                                               "to come (a real mouse would block forever)"));
                dev->error = L"no report";
                return -1;
            }
            if (milliseconds > 0)
                p.cv.wait_for(l, std::chrono::milliseconds(milliseconds), gone);
            return gone() ? -1 : 0;
        }
        QByteArray report = d->commandQueue.front();
        d->commandQueue.pop_front();
        if (d->corruptNext) {
            d->corruptNext = false;
            for (char &c : report)
                c = char(c ^ 0xA5);
        }
        const size_t n = std::min(length, size_t(report.size()));
        memcpy(data, report.constData(), n);
        p.record(index, "command", "read", hexBytes(data, n));
        return int(n);
    }

    auto ready = [&] {
        return gone() || (!p.device(index)->silent && !p.device(index)->eventQueue.empty());
    };
    if (milliseconds < 0)
        p.cv.wait(l, ready);
    else if (milliseconds > 0)
        p.cv.wait_for(l, std::chrono::milliseconds(milliseconds), ready);
    if (closed())
        return -1;
    if (gone()) {
        if (!dev->stale)
            dev->error = L"device disconnected";
        return -1;
    }
    Device *cur = p.device(index);
    if (cur->silent || cur->eventQueue.empty())
        return 0;
    const QByteArray report = cur->eventQueue.front();
    cur->eventQueue.pop_front();
    const size_t n = std::min(length, size_t(report.size()));
    memcpy(data, report.constData(), n);
    p.record(index, "event", "read", hexBytes(data, n));
    return int(n);
}

int HID_API_EXPORT HID_API_CALL hid_read(hid_device *dev, unsigned char *data, size_t length) {
    return hid_read_timeout(dev, data, length, -1);
}

const wchar_t *HID_API_EXPORT HID_API_CALL hid_error(hid_device *dev) {
    VirtualMousePrivate &p = P();
    std::lock_guard<std::mutex> l(p.m);
    if (dev && (p.handles.count(dev) || p.staleHandles.count(dev)))
        return dev->error.empty() ? L"Success" : dev->error.c_str();
    return p.globalError.empty() ? L"Success" : p.globalError.c_str();
}

} // extern "C"
