#include "pointer_backend.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <QtGlobal>

#pragma push_macro("signals")
#undef signals
#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>
#pragma pop_macro("signals")
#include <X11/Xlib.h>

// Linux has no single home for these settings. GNOME keeps speed and
// double-click time in GSettings and KDE its own files, both read in X11 and
// Wayland sessions; an X server has its own acceleration, which a Wayland
// session ignores. A value counts as set only where the running session
// takes it, so the caller can say when it could not.
namespace {

bool desktopIs(std::initializer_list<const char *> names) {
    const QStringList desktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString &d : desktops)
        for (const char *name : names)
            if (d.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return true;
    return false;
}

// Desktops whose settings daemon applies the GNOME mouse settings.
bool gnomeDesktop() {
    return desktopIs({"GNOME", "Unity", "Budgie"});
}

bool kdeDesktop() {
    return desktopIs({"KDE"});
}

bool waylandSession() {
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
}

// The session bus, without gio's fallback of launching one through X11.
GDBusConnection *sessionBus() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") &&
        (runtime.isEmpty() || !QFileInfo::exists(runtime + QStringLiteral("/bus"))))
        return nullptr;
    GDBusConnection *bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    // gio's shared connection ends the process when the bus goes away.
    if (bus)
        g_dbus_connection_set_exit_on_close(bus, FALSE);
    return bus;
}

// dconf, GSettings' usual store, writes through the session bus: without
// one a write seems to succeed and is lost.
bool gsettingsWritable() {
    GSettingsBackend *backend = g_settings_backend_get_default();
    const bool dconf = qstrcmp(G_OBJECT_TYPE_NAME(backend), "DConfSettingsBackend") == 0;
    g_object_unref(backend);
    if (!dconf)
        return true;
    GDBusConnection *bus = sessionBus();
    if (bus)
        g_object_unref(bus);
    return bus != nullptr;
}

// The GNOME mouse settings, when the schema is installed.
GSettings *openMouseSettings(const char *key) {
    if (!gnomeDesktop() || !gsettingsWritable())
        return nullptr;
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    if (!source)
        return nullptr;
    GSettingsSchema *schema =
        g_settings_schema_source_lookup(source, "org.gnome.desktop.peripherals.mouse", TRUE);
    if (!schema)
        return nullptr;
    GSettings *settings = nullptr;
    if (g_settings_schema_has_key(schema, key))
        settings = g_settings_new_full(schema, nullptr, nullptr);
    g_settings_schema_unref(schema);
    return settings;
}

// Speed 1..20 as GNOME's and libinput's acceleration -1..1: 1..10 onto
// -1..0 and 10..20 onto 0..1, so the neutral speeds match.
double acceleration(int speed) {
    return speed <= 10 ? (speed - 10) / 9.0 : (speed - 10) / 10.0;
}

bool gnomeSpeed(int speed) {
    GSettings *s = openMouseSettings("speed");
    if (!s)
        return false;
    const bool ok = g_settings_set_double(s, "speed", acceleration(speed));
    g_settings_sync();
    g_object_unref(s);
    return ok;
}

bool gnomeDoubleClick(int ms) {
    GSettings *s = openMouseSettings("double-click");
    if (!s)
        return false;
    const bool ok = g_settings_set_int(s, "double-click", ms);
    g_settings_sync();
    g_object_unref(s);
    return ok;
}

int g_xError = 0;
int recordXError(Display *, XErrorEvent *e) {
    g_xError = e->error_code;
    return 0;
}

// Pointer acceleration of the X server: speed / 10, so 10 keeps the
// pointer at its raw speed.
bool xSpeed(int speed) {
    if (waylandSession())
        return false;
    Display *d = XOpenDisplay(nullptr);
    if (!d)
        return false;
    g_xError = 0;
    auto previous = XSetErrorHandler(recordXError);
    XChangePointerControl(d, True, False, speed, 10, 0);
    XSync(d, False);
    XSetErrorHandler(previous);
    XCloseDisplay(d);
    return g_xError == 0;
}

// Sets one key of an INI-like KDE file in place, keeping every other line
// as it is (KDE's own syntax is not Qt's INI).
bool setKdeValue(const QString &path, const QString &header, const QString &key,
                 const QString &value) {
    QStringList lines;
    QFile in(path);
    if (in.exists()) {
        if (!in.open(QIODevice::ReadOnly))
            return false;
        lines = QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
    }
    const QString entry = key + QLatin1Char('=') + value;
    int groupAt = -1;
    int insertAt = -1;
    bool done = false;
    for (int i = 0; i < lines.size() && !done; ++i) {
        const QString t = lines.at(i).trimmed();
        if (t.startsWith(QLatin1Char('['))) {
            if (groupAt >= 0)
                break;
            if (t == header) {
                groupAt = i;
                insertAt = i + 1;
            }
            continue;
        }
        if (groupAt < 0)
            continue;
        if (!t.isEmpty())
            insertAt = i + 1;
        const QString name = t.section(QLatin1Char('='), 0, 0).trimmed();
        if (name == key || name.startsWith(key + QLatin1Char('['))) {
            lines[i] = entry;
            done = true;
        }
    }
    if (!done) {
        if (groupAt < 0) {
            if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
                lines << QString();
            lines << header << entry;
        } else {
            lines.insert(insertAt, entry);
        }
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    return out.commit();
}

QString kdeConfig(const char *file) {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QLatin1Char('/') + QLatin1String(file);
}

// The per-device groups KWin keeps for Wayland sessions in kcminputrc,
// "[Libinput][vendor][product][name]".
QStringList kdeLibinputGroups(const QString &path) {
    QStringList groups;
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return groups;
    const QStringList lines = QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QString t = line.trimmed();
        if (t.startsWith(QLatin1String("[Libinput][")) && t.count(QLatin1Char('[')) == 4)
            groups << t;
    }
    return groups;
}

// KDE applications re-read kdeglobals when told so on the session bus.
void kdeNotifyMouseSettings() {
    GDBusConnection *bus = sessionBus();
    if (!bus)
        return;
    // KGlobalSettings: SettingsChanged (3), SETTINGS_MOUSE (0)
    g_dbus_connection_emit_signal(bus, nullptr, "/KGlobalSettings", "org.kde.KGlobalSettings",
                                  "notifyChange", g_variant_new("(ii)", 3, 0), nullptr);
    g_dbus_connection_flush_sync(bus, nullptr, nullptr);
    g_object_unref(bus);
}

bool kdeGlobal(const char *key, int value) {
    if (!kdeDesktop())
        return false;
    const bool ok = setKdeValue(kdeConfig("kdeglobals"), QStringLiteral("[KDE]"),
                                QLatin1String(key), QString::number(value));
    if (ok)
        kdeNotifyMouseSettings();
    return ok;
}

GVariant *kwinProperty(GDBusConnection *bus, const QByteArray &path, const char *interface,
                       const char *name) {
    GVariant *reply = g_dbus_connection_call_sync(
        bus, "org.kde.KWin", path.constData(), "org.freedesktop.DBus.Properties", "Get",
        g_variant_new("(ss)", interface, name), G_VARIANT_TYPE("(v)"),
        G_DBUS_CALL_FLAGS_NO_AUTO_START, 2000, nullptr, nullptr);
    if (!reply)
        return nullptr;
    GVariant *value = nullptr;
    g_variant_get(reply, "(v)", &value);
    g_variant_unref(reply);
    return value;
}

// KWin applies pointer settings of a Wayland session itself: set the
// acceleration of every pointer device it has (it keeps them in
// kcminputrc). True when one took it.
bool kwinSpeed(double accel) {
    GDBusConnection *bus = sessionBus();
    if (!bus)
        return false;
    bool ok = false;
    const QByteArray base("/org/kde/KWin/InputDevice");
    if (GVariant *names =
            kwinProperty(bus, base, "org.kde.KWin.InputDeviceManager", "devicesSysNames")) {
        GVariantIter it;
        const gchar *name = nullptr;
        g_variant_iter_init(&it, names);
        while (g_variant_iter_next(&it, "&s", &name)) {
            const QByteArray path = base + '/' + name;
            GVariant *pointer = kwinProperty(bus, path, "org.kde.KWin.InputDevice", "pointer");
            const bool isPointer = pointer &&
                                   g_variant_is_of_type(pointer, G_VARIANT_TYPE_BOOLEAN) &&
                                   g_variant_get_boolean(pointer);
            if (pointer)
                g_variant_unref(pointer);
            if (!isPointer)
                continue;
            GVariant *reply = g_dbus_connection_call_sync(
                bus, "org.kde.KWin", path.constData(), "org.freedesktop.DBus.Properties", "Set",
                g_variant_new("(ssv)", "org.kde.KWin.InputDevice", "pointerAcceleration",
                              g_variant_new_double(accel)),
                nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START, 2000, nullptr, nullptr);
            if (reply) {
                ok = true;
                g_variant_unref(reply);
            }
        }
        g_variant_unref(names);
    }
    g_object_unref(bus);
    return ok;
}

// KDE keeps the acceleration for X11 sessions under [Mouse] and for Wayland
// sessions per device; both are written so the next session of either kind
// starts with it. Only KWin (Wayland) or the X server applies it now.
bool kdeSpeed(int speed) {
    if (!kdeDesktop())
        return false;
    const QString file = kdeConfig("kcminputrc");
    const QString value = QString::number(acceleration(speed), 'f', 3);
    setKdeValue(file, QStringLiteral("[Mouse]"), QStringLiteral("XLbInptPointerAcceleration"),
                value);
    for (const QString &group : kdeLibinputGroups(file))
        setKdeValue(file, group, QStringLiteral("PointerAcceleration"), value);
    return waylandSession() && kwinSpeed(acceleration(speed));
}

// Why the running session did not take a value, for the debug output
// next to the failure line.
bool explained(bool ok, const char *what, bool kdeOnly = false) {
    if (ok)
        return true;
    const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    QString why;
    if (kdeOnly && !kdeDesktop())
        why = QStringLiteral("only KDE has such a setting");
    else if (gnomeDesktop() && !gsettingsWritable())
        why = QStringLiteral("GNOME's settings need the session bus");
    else if (kdeDesktop() && waylandSession())
        why = QStringLiteral("KWin is not reachable on the session bus");
    else if (!gnomeDesktop() && !kdeDesktop())
        why =
            QStringLiteral("the desktop \"%1\" (%2 session) has no setting programs can change")
                .arg(desktop, waylandSession() ? QStringLiteral("Wayland") : QStringLiteral("X11"));
    else
        why = QStringLiteral("the desktop's settings could not be written");
    qDebug().noquote() << what << "not set:" << why;
    return false;
}

} // namespace

namespace PointerBackend {

bool applyCursorSpeed(int speed) {
    const bool gnome = gnomeSpeed(speed);
    const bool kde = kdeSpeed(speed);
    const bool x = xSpeed(speed);
    return explained(gnome || kde || x, "pointer speed");
}

bool applyDoubleClickTime(int ms) {
    const bool gnome = gnomeDoubleClick(ms);
    const bool kde = kdeGlobal("DoubleClickInterval", ms);
    return explained(gnome || kde, "double-click time");
}

bool applyWheelScrollLines(int lines) {
    return explained(kdeGlobal("WheelScrollLines", lines), "wheel lines", true);
}

} // namespace PointerBackend
