#include "pointer_backend.h"

#include "pointer_settings_win.h"

namespace PointerBackend {

bool applyCursorSpeed(int speed) {
    return skarn_win::setCursorSpeed(speed);
}

bool applyDoubleClickTime(int ms) {
    return skarn_win::setDoubleClickTime(ms);
}

bool applyWheelScrollLines(int lines) {
    return skarn_win::setWheelScrollLines(lines);
}

} // namespace PointerBackend
