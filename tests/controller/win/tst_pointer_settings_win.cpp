// Win32 pointer settings, run under Wine. Exit status 0 when every check
// holds; each failed check prints one line.

#include "pointer_settings_win.h"

#include <cstdio>

namespace {

int g_failures = 0;

void check(bool ok, const char *what) {
    if (!ok) {
        ++g_failures;
        std::printf("FAIL: %s\n", what);
    } else {
        std::printf("PASS: %s\n", what);
    }
}

struct Call {
    UINT action = 0, uiParam = 0, fWinIni = 0;
    PVOID pvParam = nullptr;
    int count = 0;
};
Call g_call;
BOOL g_answer = TRUE;

BOOL WINAPI recordCall(UINT action, UINT uiParam, PVOID pvParam, UINT fWinIni) {
    g_call.action = action;
    g_call.uiParam = uiParam;
    g_call.pvParam = pvParam;
    g_call.fWinIni = fWinIni;
    ++g_call.count;
    return g_answer;
}

void argumentsAsWindowsTakesThem() {
    skarn_win::setSystemParametersInfo(&recordCall);

    g_call = Call();
    check(skarn_win::setCursorSpeed(7), "cursor speed reports success");
    check(g_call.count == 1 && g_call.action == 0x71, "cursor speed: SPI_SETMOUSESPEED");
    check(g_call.uiParam == 0, "cursor speed: uiParam 0");
    check(g_call.pvParam == reinterpret_cast<PVOID>(static_cast<INT_PTR>(7)),
          "cursor speed: the value itself is the pointer argument");
    check(g_call.fWinIni == 3, "cursor speed: update ini and broadcast");

    g_call = Call();
    check(skarn_win::setDoubleClickTime(200), "double click reports success");
    check(g_call.action == 0x20 && g_call.uiParam == 200 && g_call.pvParam == nullptr &&
              g_call.fWinIni == 3,
          "double click: SPI_SETDOUBLECLICKTIME with the value as uiParam");

    g_call = Call();
    check(skarn_win::setWheelScrollLines(1000), "wheel lines report success");
    check(g_call.action == 0x69 && g_call.uiParam == 1000 && g_call.pvParam == nullptr &&
              g_call.fWinIni == 3,
          "wheel lines: SPI_SETWHEELSCROLLLINES with the value as uiParam");

    g_answer = FALSE;
    check(!skarn_win::setCursorSpeed(3), "a refused call reports failure");
    check(!skarn_win::setWheelScrollLines(3), "a refused wheel call reports failure");
    g_answer = TRUE;
    skarn_win::setSystemParametersInfo(nullptr);
}

void valuesReachTheSystem() {
    check(skarn_win::setDoubleClickTime(620), "system takes the double-click time");
    check(GetDoubleClickTime() == 620, "GetDoubleClickTime reads it back");
    check(skarn_win::setDoubleClickTime(900), "system takes 900 ms");
    check(GetDoubleClickTime() == 900, "GetDoubleClickTime reads 900 back");

    UINT lines = 0;
    check(skarn_win::setWheelScrollLines(7), "system takes the wheel lines");
    check(SystemParametersInfoW(0x68, 0, &lines, 0) && lines == 7,
          "SPI_GETWHEELSCROLLLINES reads 7 back");
    check(skarn_win::setWheelScrollLines(3), "system takes 3 wheel lines");
    check(SystemParametersInfoW(0x68, 0, &lines, 0) && lines == 3,
          "SPI_GETWHEELSCROLLLINES reads 3 back");
}

} // namespace

int main() {
    argumentsAsWindowsTakesThem();
    valuesReachTheSystem();
    std::printf("%d failure(s)\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}
