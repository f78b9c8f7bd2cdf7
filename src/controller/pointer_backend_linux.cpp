#include "pointer_backend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <QtGlobal>

#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")
#include <X11/Xlib.h>

// Linux has no single home for these settings: GNOME keeps speed and
// double-click time in GSettings, the X server has its own acceleration, and
// only KDE has a wheel-lines setting.
namespace {

// The GNOME mouse settings, when the schema is installed.
GSettings *openMouseSettings(const char *key) {
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

bool gnomeSpeed(int speed) {
    GSettings *s = openMouseSettings("speed");
    if (!s)
        return false;
    // 1..10 onto -1..0 and 10..20 onto 0..1, so the neutral speeds match.
    const double v = speed <= 10 ? (speed - 10) / 9.0 : (speed - 10) / 10.0;
    const bool ok = g_settings_set_double(s, "speed", v);
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
bool setKdeValue(const QString &path, const QString &group, const QString &key,
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
    const QString header = QLatin1Char('[') + group + QLatin1Char(']');
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

bool kdeWheelLines(int lines) {
    const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    if (!desktop.contains(QLatin1String("KDE"), Qt::CaseInsensitive))
        return false;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return setKdeValue(config + QStringLiteral("/kdeglobals"), QStringLiteral("KDE"),
                       QStringLiteral("WheelScrollLines"), QString::number(lines));
}

} // namespace

namespace PointerBackend {

bool applyCursorSpeed(int speed) {
    const bool gnome = gnomeSpeed(speed);
    const bool x = xSpeed(speed);
    return gnome || x;
}

bool applyDoubleClickTime(int ms) {
    return gnomeDoubleClick(ms);
}

bool applyWheelScrollLines(int lines) {
    return kdeWheelLines(lines);
}

} // namespace PointerBackend
