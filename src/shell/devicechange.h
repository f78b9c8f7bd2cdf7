#pragma once

#include <QObject>

#include <memory>

class Widget;

// Starts the device-change notifications of this build (the udev monitor of
// the real program, the plug listener of the virtual mouse). Each
// notification calls widget->deviceChanged() on the GUI thread. The
// notifications stop when the returned object is destroyed; it may be null
// where the platform delivers them some other way (Windows: the widget's
// native event handler).
std::unique_ptr<QObject> startDeviceChangeNotifications(Widget *widget);
