#pragma once

// Win32 pointer settings through SystemParametersInfoW. Qt-free: built with
// MinGW-w64 into the Windows program and into its Wine test.

#include <windows.h>

namespace skarn_win {

typedef BOOL(WINAPI *SystemParametersInfoFn)(UINT action, UINT uiParam, PVOID pvParam,
                                             UINT fWinIni);

// Replaces the system call, e.g. to record the arguments; nullptr restores
// SystemParametersInfoW.
void setSystemParametersInfo(SystemParametersInfoFn fn);

bool setCursorSpeed(int speed); // 1..20
bool setDoubleClickTime(int ms);
bool setWheelScrollLines(int lines);

} // namespace skarn_win
