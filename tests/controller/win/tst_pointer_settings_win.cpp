// Win32 pointer settings, run under Wine. Exit status 0 when every check
// holds; each check prints one line.

#include "pointer_settings_win.h"

#include <cstdio>

namespace {

int g_failures = 0;

void check(bool ok, const char *what) {
    g_failures += ok ? 0 : 1;
    std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what);
}

UINT g_action = 0, g_flags = 0;
PVOID g_value = nullptr;

BOOL WINAPI refuse(UINT action, UINT, PVOID pvParam, UINT fWinIni) {
    g_action = action, g_value = pvParam, g_flags = fWinIni;
    return FALSE;
}

} // namespace

int main() {
    // Wine keeps no cursor speed: its call is checked as Windows takes it.
    skarn_win::setSystemParametersInfo(&refuse);
    check(!skarn_win::setCursorSpeed(7) && g_action == SPI_SETMOUSESPEED &&
              g_value == reinterpret_cast<PVOID>(static_cast<INT_PTR>(7)) &&
              g_flags == (SPIF_UPDATEINIFILE | SPIF_SENDCHANGE),
          "the cursor speed travels in the pointer argument, stored and broadcast");
    check(!skarn_win::setDoubleClickTime(500) && !skarn_win::setWheelScrollLines(3),
          "a refused change reports failure");
    skarn_win::setSystemParametersInfo(nullptr);

    // Values unlike the defaults, read back from the system.
    UINT lines = 0;
    check(skarn_win::setDoubleClickTime(620) && GetDoubleClickTime() == 620,
          "the double-click time reaches the system");
    check(skarn_win::setWheelScrollLines(7) &&
              SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0) && lines == 7,
          "the wheel lines reach the system");
    std::printf("%d failure(s)\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}
