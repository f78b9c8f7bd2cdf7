#include "devicechange.h"

#include "shell_log.h"
#include "virtual_mouse.h"
#include "widget.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

// Clears the listener when notifications stop, so the simulated mouse never
// calls into a widget that has gone.
class PlugListenerGuard : public QObject {
public:
    ~PlugListenerGuard() override { VirtualMouse::instance().setPlugListener(nullptr); }
};

} // namespace

std::unique_ptr<QObject> startDeviceChangeNotifications(Widget *widget) {
    QPointer<Widget> target(widget);
    VirtualMouse::instance().setPlugListener([target](int device, bool plugged) {
        // May come from the control pipe's thread: hop to the GUI thread.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [target, device, plugged] {
                qCDebug(lcShell) << "virtual device" << device
                                 << (plugged ? "plugged" : "unplugged");
                if (target)
                    target->deviceChanged();
            },
            Qt::QueuedConnection);
    });
    return std::make_unique<PlugListenerGuard>();
}
