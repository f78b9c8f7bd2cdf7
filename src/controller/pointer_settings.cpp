#include "pointer_settings.h"

#include "pointer_backend.h"

#include <QDebug>

namespace PointerSettings {

int cursorSpeedFromIndex(uint index) {
    const uint clamped = qMin(index, 10u);
    return clamped == 0 ? 1 : static_cast<int>(clamped * 2);
}

int doubleClickMsFromIndex(uint index) {
    // Past index 12 the formula would give no time at all.
    return 900 - 70 * static_cast<int>(qMin(index, 12u));
}

bool setCursorSpeed(int speed) {
    const bool ok = PointerBackend::applyCursorSpeed(qBound(1, speed, 20));
    if (!ok)
        qDebug() << "setCursorSpeed Failed";
    return ok;
}

bool setDoubleClickTime(int ms) {
    const bool ok = ms > 0 && PointerBackend::applyDoubleClickTime(ms);
    if (!ok)
        qDebug() << "setDoubleClickSpeed Failed";
    return ok;
}

bool setWheelScrollLines(int lines) {
    const bool ok = lines > 0 && PointerBackend::applyWheelScrollLines(lines);
    if (!ok)
        qDebug() << "setVerticalScrollLines Failed";
    return ok;
}

} // namespace PointerSettings
