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

struct Call {
    UINT action, uiParam;
    PVOID pvParam;
    UINT fWinIni;
} g_call{};
BOOL g_answer = TRUE;

BOOL WINAPI record(UINT action, UINT uiParam, PVOID pvParam, UINT fWinIni) {
    g_call = {action, uiParam, pvParam, fWinIni};
    return g_answer;
}

} // namespace

int main() {
    // Wine keeps no cursor speed: its call is checked as Windows takes it.
    skarn_win::setSystemParametersInfo(&record);
    check(skarn_win::setCursorSpeed(7) && g_call.action == SPI_SETMOUSESPEED &&
              g_call.pvParam == reinterpret_cast<PVOID>(static_cast<INT_PTR>(7)) &&
              g_call.fWinIni == (SPIF_UPDATEINIFILE | SPIF_SENDCHANGE),
          "the cursor speed travels in the pointer argument, stored and broadcast");
    g_answer = FALSE;
    check(!skarn_win::setCursorSpeed(3) && !skarn_win::setDoubleClickTime(500) &&
              !skarn_win::setWheelScrollLines(3),
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
