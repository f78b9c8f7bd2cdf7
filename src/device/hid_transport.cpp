#include "hid_thread.h"

#include "secrecy_code.h"
#include "wire_log.h"

#include <QCoreApplication>
#include <QMutexLocker>
#include <QThread>

#include <hidapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// A data report that never arrives must not hang the program.
constexpr int kDataReadTimeoutMs = 1000;
constexpr int kTokenPolls = 255;
constexpr int kTokenPollMs = 8;
constexpr int kSettleHalfMs = 64;
constexpr int kAfterDataReportMs = 120;

QMutex &sleeperMutex() {
    static QMutex m;
    return m;
}

std::function<void(int)> &sleeperSlot() {
    static std::function<void(int)> fn;
    return fn;
}

void processPendingEvents() {
    if (QCoreApplication::instance() && QThread::currentThread() == qApp->thread())
        QCoreApplication::processEvents();
}

} // namespace

Hid_Thread::Hid_Thread(QObject *parent) : QObject(parent) {}

Hid_Thread::~Hid_Thread() {
    // The reader notices the cleared flag within one pass; it must be gone
    // before the handles and the list it uses are.
    readerRunning = false;
    readerFuture.waitForFinished();
    closeEventDevice();
    closeCommandDevice();
}

void Hid_Thread::setDeviceList(const QList<DeviceEntry> &list) {
    QMutexLocker lock(&listMutex);
    devices = list;
}

QList<DeviceEntry> Hid_Thread::deviceList() const {
    QMutexLocker lock(&listMutex);
    return devices;
}

void Hid_Thread::setSleeper(std::function<void(int)> sleeper) {
    QMutexLocker lock(&sleeperMutex());
    sleeperSlot() = std::move(sleeper);
}

void Hid_Thread::sleepMs(int ms) {
    std::function<void(int)> fn;
    {
        QMutexLocker lock(&sleeperMutex());
        fn = sleeperSlot();
    }
    if (fn)
        fn(ms);
    else
        QThread::msleep(static_cast<unsigned long>(std::max(ms, 0)));
}

void Hid_Thread::setDeviceFlags(const QString &icType, bool isGun) {
    flag560 = icType == QLatin1String("560");
    flagIsGun = isGun;
}

bool Hid_Thread::entryAt(int index, DeviceEntry &out) const {
    QMutexLocker lock(&listMutex);
    if (index < 0 || index >= devices.size())
        return false;
    out = devices.at(index);
    return true;
}

void Hid_Thread::clearCommandPath(int index) {
    QMutexLocker lock(&listMutex);
    if (index >= 0 && index < devices.size())
        devices[index].commandPath.clear();
}

void Hid_Thread::clearEventPath(int index, const QString &path) {
    // A detection may have replaced the list meanwhile; only forget the
    // path this reader actually lost.
    QMutexLocker lock(&listMutex);
    if (index >= 0 && index < devices.size() && devices[index].eventPath == path)
        devices[index].eventPath.clear();
}

QString Hid_Thread::eventPathAt(int index) const {
    QMutexLocker lock(&listMutex);
    if (index < 0 || index >= devices.size())
        return QString();
    return devices.at(index).eventPath;
}

uchar Hid_Thread::hidCS(uchar *cmd) {
    uint sum = 0;
    for (int i = 0; i < 7; ++i)
        sum += cmd[i];
    return static_cast<uchar>(0xFF - (sum & 0xFF));
}

void Hid_Thread::closeCommandDevice() {
    if (commandHandle) {
        WireLog::close(commandHandle);
        commandHandle = nullptr;
    }
}

void Hid_Thread::closeEventDevice() {
    if (eventHandle) {
        WireLog::close(eventHandle);
        eventHandle = nullptr;
    }
}

hid_device *Hid_Thread::openCommandDevice(int index) {
    DeviceEntry e;
    // No list yet, or an index past its end: there is no device to talk to.
    if (!entryAt(index, e) || e.commandPath.isEmpty())
        return nullptr;
    closeCommandDevice();
    hid_device *h = WireLog::openPath(e.commandPath.toLocal8Bit().constData(), index, false);
    if (!h) {
        // Until the next detection finds the interface again every command
        // fails at once instead of retrying a dead path.
        clearCommandPath(index);
        return nullptr;
    }
    hid_set_nonblocking(h, 0);
    commandHandle = h;
    return h;
}

hid_device *Hid_Thread::openEventDevice(int index) {
    const QString path = eventPathAt(index);
    if (path.isEmpty())
        return nullptr;
    closeEventDevice();
    hid_device *h = WireLog::openPath(path.toLocal8Bit().constData(), index, true);
    if (!h) {
        clearEventPath(index, path);
        return nullptr;
    }
    hid_set_nonblocking(h, 0);
    eventHandle = h;
    return h;
}

bool Hid_Thread::acquireHid() {
    for (int i = 0; i < kTokenPolls && !hidIdle; ++i) {
        sleepMs(kTokenPollMs);
        processPendingEvents();
    }
    if (!hidIdle)
        return false;
    hidIdle = false;
    return true;
}

void Hid_Thread::releaseHid() {
    // A multi-block command gives the token back itself after its last block.
    if (!holdToken)
        hidIdle = true;
}

void Hid_Thread::settlePause() {
    sleepMs(kSettleHalfMs);
    sleepMs(kSettleHalfMs);
}

// The first step of both exchanges: the device must be listed and open, and
// the command block goes out scrambled when the entry asks for it.
bool Hid_Thread::beginExchange(int index, DeviceEntry &e) {
    if (!entryAt(index, e) || !openCommandDevice(index)) {
        releaseHid();
        return false;
    }
    if (e.isEncode) {
        WireLog::plainBlock(sendBuf + 1);
        USBDataEncryption(sendBuf + 1, secrecyCode());
    }
    return true;
}

bool Hid_Thread::writeExchange(int dataLength, bool settle) {
    lastExchangeOk = false;
    processPendingEvents();
    const int index = currentIndex;
    DeviceEntry e;
    if (!beginExchange(index, e))
        return false;

    hid_device *h = openCommandDevice(index);
    if (!h || WireLog::sendFeatureReport(h, sendBuf, sizeof sendBuf) < 0) {
        closeCommandDevice();
        releaseHid();
        return false;
    }
    if (settle)
        settlePause();

    if (dataLength > 0) {
        const int n = std::min(dataLength, int(sizeof dataBuf));
        const int k = std::min(n, e.reportLength);
        std::vector<uchar> report(static_cast<size_t>(e.reportLength) + 1);
        for (int off = 0; off < n; off += k) {
            std::fill(report.begin(), report.end(), uchar(0));
            std::memcpy(report.data() + 1, dataBuf + off,
                        static_cast<size_t>(std::min(k, n - off)));
            h = openCommandDevice(index);
            if (!h || WireLog::write(h, report.data(), report.size()) < 0) {
                closeCommandDevice();
                releaseHid();
                return false;
            }
            sleepMs(kAfterDataReportMs);
        }
        if (settle)
            settlePause();
    }
    closeCommandDevice();
    releaseHid();
    lastExchangeOk = true;
    return true;
}

bool Hid_Thread::readExchange(int dataLength) {
    lastExchangeOk = false;
    const int index = currentIndex;
    DeviceEntry e;
    if (!beginExchange(index, e))
        return false;

    auto fail = [this] {
        closeCommandDevice();
        releaseHid();
        return false;
    };

    hid_device *h = openCommandDevice(index);
    if (!h || WireLog::sendFeatureReport(h, sendBuf, sizeof sendBuf) < 0)
        return fail();
    // Received into a scratch buffer so that a failed read leaves the preset
    // (the caller's values) untouched.
    uchar reply[sizeof replyBuf] = {};
    h = openCommandDevice(index);
    if (!h || WireLog::getFeatureReport(h, reply, sizeof reply) < 0)
        return fail();
    std::memcpy(replyBuf, reply, sizeof replyBuf);

    if (dataLength <= 0) {
        closeCommandDevice();
        releaseHid();
        if (e.isEncode)
            USBDataDecipher(replyBuf + 1, secrecyCode());
        lastExchangeOk = true;
        return true;
    }

    const int n = std::min(dataLength, int(sizeof dataBuf));
    const int k = std::min(n, e.reportLength);
    std::vector<uchar> report(static_cast<size_t>(e.reportLength) + 1);
    for (int off = 0; off < n; off += k) {
        std::fill(report.begin(), report.end(), uchar(0));
        h = openCommandDevice(index);
        if (!h)
            return fail();
        const int got = WireLog::readTimeout(h, report.data(), report.size(), kDataReadTimeoutMs);
        if (got <= 0)
            return fail();
        // Only what actually arrived overwrites the preset.
        std::memcpy(dataBuf + off, report.data(), static_cast<size_t>(std::min({k, n - off, got})));
    }
    closeCommandDevice();
    releaseHid();
    lastExchangeOk = true;
    return true;
}
