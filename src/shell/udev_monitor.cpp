#include "udev_monitor.h"

#include <QtGlobal>

// Linux only: Windows has neither signals of this kind nor udev.
#ifndef Q_OS_WIN

#include "shell_log.h"

#include <QSocketNotifier>

#include <libudev.h>

UdevMonitor::UdevMonitor(const QString &subsystem, QObject *parent) : QObject(parent) {
    context = udev_new();
    if (!context) {
        qCWarning(lcShell) << "udev unavailable: device changes will not be noticed";
        return;
    }
    monitor = udev_monitor_new_from_netlink(context, "udev");
    if (!monitor) {
        qCWarning(lcShell) << "udev monitor unavailable: device changes will not be noticed";
        return;
    }
    const QByteArray name = subsystem.toUtf8();
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor, name.constData(), nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        qCWarning(lcShell) << "udev monitor could not be enabled";
        udev_monitor_unref(monitor);
        monitor = nullptr;
        return;
    }
    notifier = new QSocketNotifier(udev_monitor_get_fd(monitor), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &UdevMonitor::drain);
}

UdevMonitor::~UdevMonitor() {
    delete notifier;
    if (monitor)
        udev_monitor_unref(monitor);
    if (context)
        udev_unref(context);
}

void UdevMonitor::drain() {
    // The socket is non-blocking: take every queued event, report each.
    while (udev_device *device = udev_monitor_receive_device(monitor)) {
        const QString action = QString::fromUtf8(udev_device_get_action(device));
        const char *node = udev_device_get_devnode(device);
        const QString devnode = node ? QString::fromUtf8(node) : QString();
        udev_device_unref(device);
        qCDebug(lcShell) << "udev" << action << devnode;
        emit changed(action, devnode);
    }
}

#endif // Q_OS_WIN
