// The simulated mouse's public object: the devices and their plugs, the
// clock, fault injection and the state dump. The firmware, its report
// checks, the wire log, the control pipe and the hidapi stand-in live in
// files of their own.

#include "virtual_mouse_p.h"

#include <QFile>
#include <QJsonDocument>

#include <chrono>
#include <cstdlib>

namespace {

constexpr int kMaxEventQueue = 256;

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

} // namespace

qint64 VirtualMousePrivate::now() const {
    return virtualClock ? g_virtualNow.load() : realMs();
}

bool VirtualMousePrivate::takeFault(const char *op, bool event) {
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

Device *VirtualMousePrivate::device(int index) const {
    if (index < 0 || index >= int(devices.size()))
        return nullptr;
    return devices[size_t(index)].get();
}

Device *VirtualMousePrivate::live(hid_device *h, const char *op) {
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

void VirtualMousePrivate::clearAll() {
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
    d->checks = ReportChecks(d->format(), [this, dev = int(devices.size())](const QString &text) {
        violation(dev, false, text);
    });
    devices.push_back(std::move(d));
    return int(devices.size()) - 1;
}

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

    m_d->openLogFile(qgetenv("SKARN_VIRTUAL_LOG"));

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

QString virtualPath(int device, bool event) {
    return QStringLiteral("virtual-mouse/%1/%2")
        .arg(device)
        .arg(QLatin1String(event ? "event" : "command"));
}

QString VirtualMouse::commandPath(int device) const {
    return virtualPath(device, false);
}
QString VirtualMouse::eventPath(int device) const {
    return virtualPath(device, true);
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
        km[QString::number(i + 1)] = Wire::hexBytes(d->keyMatrix[i]);
    s["keyMatrix"] = km;
    s["currentKeyMatrix"] = d->currentKeyMatrix;
    s["dpiStages"] = d->dpiStages;
    s["dpiCodes"] = Wire::hexBytes(d->dpiCodes);
    const int p = (d->currentProfile >= 1 && d->currentProfile <= 4) ? d->currentProfile : 1;
    // On the 560 family rate and stage are kept per on-board profile; the
    // summary shows those of the profile in use.
    s["currentDpi"] = d->is560 ? d->profileDpi[p - 1] : d->currentDpi;
    s["reportRate"] = d->is560 ? d->profileReportRate[p - 1] : d->reportRate;
    s["ledEffect"] = Wire::hexBytes(d->ledEffect);
    s["fixColor"] = Wire::hexBytes(d->fixColor);
    s["ledColorType"] = d->ledColorType;
    s["ledColors"] = Wire::hexBytes(d->ledColors);
    s["keyboardOption"] = Wire::hexBytes(d->keyboardOption);
    QJsonObject gun;
    for (int i = 0; i < 3; ++i)
        gun[QString::number(i)] = Wire::hexBytes(d->gunData[i]);
    s["gunData"] = gun;
    QJsonObject macros;
    for (int i = 0; i < 12; ++i)
        macros[QString::number(i + 1)] = Wire::hexBytes(d->macros[i]);
    s["macros"] = macros;
    QJsonObject profiles;
    for (int i = 0; i < 5; ++i)
        profiles[QString::number(i)] = Wire::hexBytes(d->profiles[i]);
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
    Wire::scramble(b, code);
}

void VirtualMouse::unscramble(uint8_t b[8], const uint8_t code[8]) {
    Wire::unscramble(b, code);
}

uint8_t VirtualMouse::checksum(const uint8_t block[7]) {
    return Wire::checksum(block);
}
