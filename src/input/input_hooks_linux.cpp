// Linux side of the input capture: one of two backends, chosen at run time
// by the platform Qt runs on, feeds one event path. On an X server XInput2
// reports every key of the desktop. A Wayland compositor gives no client the
// keys of other clients, so there (and on an X server without XInput2) keys
// are captured from the program's own window while it has the focus.
#include "capture_linux.h"
#include "input_hooks.h"
#include "key_tables.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QObject>

namespace {

RegisteredCallbacks g_callbacks;
// Lives as long as the program, like the key state of the Windows hook: a key
// still held across a remove/install pair is not reported pressed twice.
KeyStateFilter g_keyState;
bool g_leftAlt = false;
bool g_rightAlt = false;

std::unique_ptr<QObject> g_capture;

} // namespace

namespace LinuxCapture {

void keyEvent(int evdevCode, bool isDown) {
    const bool altBefore = g_leftAlt || g_rightAlt;
    const KeyTables::ScanKey key = KeyTables::evdevToScan(evdevCode, altBefore);
    if (evdevCode == KeyTables::EvdevLeftAlt)
        g_leftAlt = isDown;
    else if (evdevCode == KeyTables::EvdevRightAlt)
        g_rightAlt = isDown;
    if (key.scan == 0)
        return;
    const int usage = g_keyState.feed(key.scan, key.extended, g_leftAlt || g_rightAlt, isDown);
    if (usage != 0 && g_callbacks.keyboard)
        g_callbacks.keyboard(usage, isDown, g_callbacks.keyboardContext);
}

void buttonEvent(int buttonCode, bool isDown, int x, int y) {
    if (buttonCode != 0 && g_callbacks.mouse)
        g_callbacks.mouse(buttonCode, isDown, x, y, g_callbacks.mouseContext);
}

void setAltHeld(bool left, bool right) {
    g_leftAlt = left;
    g_rightAlt = right;
}

void releaseHeldKeys() {
    g_leftAlt = g_rightAlt = false;
    for (int usage = 1; usage < 256; ++usage) {
        if (g_keyState.forget(usage) && g_callbacks.keyboard)
            g_callbacks.keyboard(usage, false, g_callbacks.keyboardContext);
    }
}

} // namespace LinuxCapture

namespace InputHooks {

int install(int /*flags*/) {
    remove();
    // Without a GUI there is no window of our own to capture from; the X
    // server may still be there (no platform name then).
    const QString platform = QGuiApplication::platformName();
    if (platform.isEmpty() || platform == QLatin1String("xcb"))
        g_capture = LinuxCapture::openX11();
    if (!g_capture)
        g_capture = LinuxCapture::openFocused();
    return g_capture ? 1 : 0;
}

void remove() {
    g_capture.reset();
}

void registerKeyboardCallback(KeyboardCallback cb, void *context) {
    g_callbacks.keyboard = cb;
    g_callbacks.keyboardContext = context;
}

void registerMouseCallback(MouseCallback cb, void *context) {
    g_callbacks.mouse = cb;
    g_callbacks.mouseContext = context;
}

void registerCopyDataCallback(CopyDataCallback cb, QCoreApplication * /*app*/, void *context) {
    g_callbacks.copyData = cb;
    g_callbacks.copyDataContext = context;
}

bool deliverCopyData(unsigned long dwData, const QByteArray &data) {
    if (!g_callbacks.copyData)
        return false;
    g_callbacks.copyData(dwData, data.constData(), static_cast<unsigned int>(data.size()),
                         g_callbacks.copyDataContext);
    return true;
}

} // namespace InputHooks
