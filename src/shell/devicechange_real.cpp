#include "devicechange.h"

#include "widget.h"

#ifndef Q_OS_WIN
#include "udev_monitor.h"
#endif

std::unique_ptr<QObject> startDeviceChangeNotifications(Widget *widget) {
#ifdef Q_OS_WIN
    // WM_DEVICECHANGE arrives through the widget's native event handler.
    Q_UNUSED(widget);
    return nullptr;
#else
    auto monitor = std::make_unique<UdevMonitor>(QStringLiteral("hidraw"));
    QObject::connect(monitor.get(), &UdevMonitor::changed, widget, &Widget::deviceChanged);
    return monitor;
#endif
}
