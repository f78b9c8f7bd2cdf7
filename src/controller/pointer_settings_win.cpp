#include "pointer_settings_win.h"

namespace skarn_win {

namespace {

const UINT kSetMouseSpeed = 0x71;       // SPI_SETMOUSESPEED
const UINT kSetDoubleClickTime = 0x20;  // SPI_SETDOUBLECLICKTIME
const UINT kSetWheelScrollLines = 0x69; // SPI_SETWHEELSCROLLLINES
// Stored in the user profile and broadcast to running programs.
const UINT kUpdateAndBroadcast = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;

SystemParametersInfoFn g_spi = nullptr;

BOOL call(UINT action, UINT uiParam, PVOID pvParam) {
    SystemParametersInfoFn fn = g_spi ? g_spi : &SystemParametersInfoW;
    return fn(action, uiParam, pvParam, kUpdateAndBroadcast);
}

} // namespace

void setSystemParametersInfo(SystemParametersInfoFn fn) {
    g_spi = fn;
}

bool setCursorSpeed(int speed) {
    // The speed travels in the pointer argument itself, not behind it.
    return call(kSetMouseSpeed, 0, reinterpret_cast<PVOID>(static_cast<INT_PTR>(speed))) != 0;
}

bool setDoubleClickTime(int ms) {
    return call(kSetDoubleClickTime, static_cast<UINT>(ms), nullptr) != 0;
}

bool setWheelScrollLines(int lines) {
    return call(kSetWheelScrollLines, static_cast<UINT>(lines), nullptr) != 0;
}

} // namespace skarn_win
