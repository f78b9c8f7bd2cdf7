// The hidapi stand-in: the C functions the program calls, answered by the
// firmware model. Every call is a wire-log record; a failed one carries
// "failed (<hid_error text>)".

#include "virtual_mouse_p.h"

#include <hidapi/hidapi.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {
VirtualMousePrivate &P() {
    return *VirtualMouse::instance().d();
}
const char *ifaceName(const hid_device *h) {
    return h->event ? "event" : "command";
}
wchar_t *wideDup(const wchar_t *s) {
    const size_t n = wcslen(s) + 1;
    auto *p = static_cast<wchar_t *>(malloc(n * sizeof(wchar_t)));
    if (p)
        wmemcpy(p, s, n);
    return p;
}
QString failed(const std::wstring &error) {
    return QStringLiteral("failed (%1)").arg(QString::fromStdWString(error));
}
// A call on an open handle of a device that has gone: the program sees -1.
Device *liveOrRecord(VirtualMousePrivate &p, hid_device *h, const char *op, const char *kind,
                     const QString &data = QString()) {
    Device *d = p.live(h, op);
    if (!d && h && p.handles.count(h))
        p.record(h->dev, ifaceName(h), kind, data, failed(h->error));
    return d;
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
            info->path = strdup(virtualPath(int(i), iface == 1).toLatin1().constData());
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
        if (s == virtualPath(int(i), false))
            dev = int(i);
        else if (s == virtualPath(int(i), true)) {
            dev = int(i);
            event = true;
        }
    }
    Device *d = p.device(dev);
    if (!d) {
        p.globalError = L"no such device";
        p.record(-1, "command", "open-failed", QString(), QString::fromStdWString(p.globalError));
        return nullptr;
    }
    const char *iface = event ? "event" : "command";
    if (!d->plugged) {
        p.globalError = L"device not present";
        p.record(dev, iface, "open-failed", QString(), QString::fromStdWString(p.globalError));
        return nullptr;
    }
    if (p.takeFault("open", event)) {
        p.globalError = L"injected failure";
        p.record(dev, iface, "open-failed", QString(), QString::fromStdWString(p.globalError));
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
    const QString hex = Wire::hexBytes(data, length);
    Device *d = liveOrRecord(p, dev, "set_feature", "set_feature", hex);
    if (!d)
        return -1;
    // Beside a scrambled block, the block as this mouse reads it.
    QString plain;
    if (d->isEncode && length == 9) {
        uint8_t b[8];
        memcpy(b, data + 1, 8);
        Wire::unscramble(b, d->code);
        plain = Wire::hexBytes(b, 8);
    }
    if (p.takeFault("set_feature", dev->event)) {
        dev->error = L"injected failure";
        p.record(dev->dev, ifaceName(dev), "set_feature", hex, failed(dev->error), plain);
        return -1;
    }
    p.record(dev->dev, ifaceName(dev), "set_feature", hex, QString(), plain);
    if (dev->event) {
        p.violation(dev->dev, true, ReportChecks::wrongInterface("feature report"));
        return int(length);
    }
    p.featureReport(*d, data, length);
    return int(length);
}

int HID_API_EXPORT HID_API_CALL hid_get_feature_report(hid_device *dev, unsigned char *data,
                                                       size_t length) {
    VirtualMousePrivate &p = P();
    std::lock_guard<std::mutex> l(p.m);
    Device *d = liveOrRecord(p, dev, "get_feature", "get_feature");
    if (!d)
        return -1;
    if (p.takeFault("get_feature", dev->event)) {
        dev->error = L"injected failure";
        p.record(dev->dev, ifaceName(dev), "get_feature", QString(), failed(dev->error));
        return -1;
    }
    if (d->silent || dev->event) {
        dev->error = L"timed out";
        p.record(dev->dev, ifaceName(dev), "get_feature", QString(), failed(dev->error));
        return -1;
    }
    const int due = d->checks.getFeature(length, data[0]);
    if (due < 0) {
        dev->error = L"buffer too small";
        p.record(dev->dev, ifaceName(dev), "get_feature", QString(), failed(dev->error));
        return -1;
    }
    uint8_t block[8] = {};
    if (due > 0 && d->reply) {
        // A reply that stands for an unreadable command stays all zero.
        if (!d->replyUnreadable) {
            memcpy(block, d->reply->constData(), 8);
            block[7] = VirtualMouse::checksum(block);
            if (d->isEncode)
                VirtualMouse::scramble(block, d->code);
        }
    }
    d->reply.reset();
    d->replyUnreadable = false;
    if (d->corruptNext) {
        d->corruptNext = false;
        for (uint8_t &c : block)
            c ^= 0xA5;
    }
    data[0] = 0;
    memcpy(data + 1, block, 8);
    p.record(dev->dev, "command", "get_feature", Wire::hexBytes(data, 9));
    return 9;
}

int HID_API_EXPORT HID_API_CALL hid_write(hid_device *dev, const unsigned char *data,
                                          size_t length) {
    VirtualMousePrivate &p = P();
    std::lock_guard<std::mutex> l(p.m);
    const QString hex = Wire::hexBytes(data, length);
    Device *d = liveOrRecord(p, dev, "write", "write", hex);
    if (!d)
        return -1;
    if (p.takeFault("write", dev->event)) {
        dev->error = L"injected failure";
        p.record(dev->dev, ifaceName(dev), "write", hex, failed(dev->error));
        return -1;
    }
    p.record(dev->dev, ifaceName(dev), "write", hex);
    if (dev->event) {
        p.violation(dev->dev, true, ReportChecks::wrongInterface("data report"));
        return int(length);
    }
    if (!d->silent)
        p.dataReport(*d, data, length);
    return int(length);
}

int HID_API_EXPORT HID_API_CALL hid_read_timeout(hid_device *dev, unsigned char *data,
                                                 size_t length, int milliseconds) {
    VirtualMousePrivate &p = P();
    std::unique_lock<std::mutex> l(p.m);
    Device *d = liveOrRecord(p, dev, "read", "read");
    if (!d)
        return -1;
    if (p.takeFault("read", dev->event)) {
        dev->error = L"injected failure";
        p.record(dev->dev, ifaceName(dev), "read", QString(), failed(dev->error));
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
                    d->checks.read(true);
                dev->error = L"no report";
                p.record(index, "command", "read", QString(), failed(dev->error));
                return -1;
            }
            if (milliseconds > 0)
                p.cv.wait_for(l, std::chrono::milliseconds(milliseconds), gone);
            if (!gone())
                return 0;
            if (!closed() && !dev->stale) {
                dev->error = L"device disconnected";
                p.record(index, "command", "read", QString(), failed(dev->error));
            }
            return -1;
        }
        d->checks.read(false);
        QByteArray report = d->commandQueue.front();
        d->commandQueue.pop_front();
        if (d->corruptNext) {
            d->corruptNext = false;
            for (char &c : report)
                c = char(c ^ 0xA5);
        }
        const size_t n = std::min(length, size_t(report.size()));
        memcpy(data, report.constData(), n);
        p.record(index, "command", "read", Wire::hexBytes(data, n));
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
        if (!dev->stale) {
            dev->error = L"device disconnected";
            p.record(index, "event", "read", QString(), failed(dev->error));
        }
        return -1;
    }
    Device *cur = p.device(index);
    if (cur->silent || cur->eventQueue.empty())
        return 0;
    const QByteArray report = cur->eventQueue.front();
    cur->eventQueue.pop_front();
    const size_t n = std::min(length, size_t(report.size()));
    memcpy(data, report.constData(), n);
    p.record(index, "event", "read", Wire::hexBytes(data, n));
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
