#pragma once

// Low-level keyboard and mouse hooks of the Windows build, and the Qt-free
// half of the WM_COPYDATA filter. No Qt here: this file is also built with
// MinGW-w64 into a test program that runs under Wine.
#include "input_types.h"

// The Qt half of the Windows build includes this after Qt headers; keep
// windows.h from defining min/max macros over them.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace WinHooks {

// Installs both low-level hooks for all desktop threads; 1 when both are in
// place, else 0 with neither left installed.
int install();
void remove();
bool isInstalled();

void setKeyboardCallback(KeyboardCallback cb, void *context);
void setMouseCallback(MouseCallback cb, void *context);
void setCopyDataCallback(CopyDataCallback cb, void *context);

LRESULT CALLBACK keyboardProc(int nCode, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK mouseProc(int nCode, WPARAM wParam, LPARAM lParam);

// Hands a WM_COPYDATA's COPYDATASTRUCT to the copy-data callback. True when
// the message counts as handled: it is a WM_COPYDATA and a callback is set,
// whatever the callback makes of its content.
bool dispatchCopyData(UINT message, LPARAM lParam);

} // namespace WinHooks
