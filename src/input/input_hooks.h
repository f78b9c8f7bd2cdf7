#pragma once

#include "input_types.h"

#include <QByteArray>

class QCoreApplication;

// System-wide capture of key and mouse-button events for macro recording and
// key capture. Everything here runs on the GUI thread: the capture delivers
// its events through that thread's event loop, and the callbacks are called
// there, never from inside another thread.
namespace InputHooks {

// Builds the tables and installs the capture (removing an earlier one first);
// 1 when capture works, else 0. The program runs on without capture after 0.
int install(int flags);
void remove();

void registerKeyboardCallback(KeyboardCallback cb, void *context);
void registerMouseCallback(MouseCallback cb, void *context);
// On Windows this also installs the WM_COPYDATA filter on app.
void registerCopyDataCallback(CopyDataCallback cb, QCoreApplication *app, void *context);

// Linux has no WM_COPYDATA: the shell hands messages that arrive through its
// single-instance socket here. Returns true when a callback handled it.
bool deliverCopyData(unsigned long dwData, const QByteArray &data);

} // namespace InputHooks
