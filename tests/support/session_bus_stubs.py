#!/usr/bin/python3
"""Stand-ins for the desktop's session-bus services, for tests on a private
bus (Debian's python3: it needs python3-dbus):

    session_bus_stubs.py [--watcher] [--notifications]

--watcher serves org.kde.StatusNotifierWatcher (a tray host is present, so Qt
puts its tray icon on the bus); --notifications org.freedesktop.Notifications.
Prints "ready", "registered SERVICE", "notify APP|SUMMARY|BODY" and
"activated" or "failed TEXT" (flushed); reads "activate [X Y]" (Activate on
the last registered item) and "quit" on stdin.
"""
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
NOTIFICATIONS = "org.freedesktop.Notifications"

# Qt reads the host flag as a property, which it finds only when the
# introspection data declares it.
WATCHER_XML = """<node><interface name="org.kde.StatusNotifierWatcher">
 <method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
 <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
</interface></node>"""


def say(line):
    sys.stdout.write(line + "\n")
    sys.stdout.flush()


class Watcher(dbus.service.Object):
    def __init__(self, bus):
        self.bus = bus
        self.items = []
        self.name = dbus.service.BusName(WATCHER, bus)
        super().__init__(self.name, "/StatusNotifierWatcher")

    @dbus.service.method(WATCHER, in_signature="s", out_signature="")
    def RegisterStatusNotifierItem(self, service):
        self.items.append(service)  # Qt passes its own bus name
        say("registered " + service)

    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, in_signature="", out_signature="s")
    def Introspect(self):
        return WATCHER_XML

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, prop):
        return dbus.Boolean(True)

    def activate(self, x, y):
        try:
            proxy = self.bus.get_object(self.items[-1], "/StatusNotifierItem")
            proxy.Activate(dbus.Int32(x), dbus.Int32(y), dbus_interface=ITEM)
            say("activated")
        except (IndexError, dbus.DBusException) as e:
            say("failed %s" % e)


class Notifications(dbus.service.Object):
    def __init__(self, bus):
        self.name = dbus.service.BusName(NOTIFICATIONS, bus)
        super().__init__(self.name, "/org/freedesktop/Notifications")

    @dbus.service.method(NOTIFICATIONS, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        say("notify %s|%s|%s" % (app, summary, body))
        return dbus.UInt32(1)

    @dbus.service.method(NOTIFICATIONS, in_signature="", out_signature="as")
    def GetCapabilities(self):
        return ["body"]



def main():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    loop = GLib.MainLoop()
    keep = []
    watcher = None
    if "--watcher" in sys.argv:
        watcher = Watcher(bus)
        keep.append(watcher)
    if "--notifications" in sys.argv:
        keep.append(Notifications(bus))

    def command(source, condition):
        line = sys.stdin.readline()
        if not line or line.strip() == "quit":
            loop.quit()
            return False
        words = line.split()
        if words and words[0] == "activate" and watcher:
            watcher.activate(*([int(w) for w in words[1:3]] if len(words) == 3 else (0, 0)))
        elif words:
            say("failed unknown command")
        return True

    GLib.io_add_watch(sys.stdin.fileno(), GLib.IO_IN | GLib.IO_HUP, command)
    say("ready")
    loop.run()


if __name__ == "__main__":
    main()
