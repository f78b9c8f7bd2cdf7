#include "hooks_win.h"

#include "key_tables.h"

namespace {

HHOOK g_keyboardHook = nullptr;
HHOOK g_mouseHook = nullptr;

RegisteredCallbacks g_callbacks;

// Only touched from the thread that installed the hooks: Windows calls
// low-level hook procedures through that thread's message loop.
KeyStateFilter g_keyState;

} // namespace

namespace WinHooks {

int install() {
    if (g_keyboardHook || g_mouseHook)
        remove();
    HINSTANCE instance = GetModuleHandleW(nullptr);
    g_keyboardHook = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProc, instance, 0);
    g_mouseHook = SetWindowsHookExW(WH_MOUSE_LL, mouseProc, instance, 0);
    if (g_keyboardHook && g_mouseHook)
        return 1;
    // Half a capture would record keys without clicks (or the reverse):
    // take down whichever hook did install.
    remove();
    return 0;
}

void remove() {
    if (g_keyboardHook)
        UnhookWindowsHookEx(g_keyboardHook);
    g_keyboardHook = nullptr;
    if (g_mouseHook)
        UnhookWindowsHookEx(g_mouseHook);
    g_mouseHook = nullptr;
}

bool isInstalled() {
    return g_keyboardHook && g_mouseHook;
}

void setKeyboardCallback(KeyboardCallback cb, void *context) {
    g_callbacks.keyboard = cb;
    g_callbacks.keyboardContext = context;
}

void setMouseCallback(MouseCallback cb, void *context) {
    g_callbacks.mouse = cb;
    g_callbacks.mouseContext = context;
}

void setCopyDataCallback(CopyDataCallback cb, void *context) {
    g_callbacks.copyData = cb;
    g_callbacks.copyDataContext = context;
}

LRESULT CALLBACK keyboardProc(int nCode, WPARAM wParam, LPARAM lParam) {
    // Below HC_ACTION the structure is not ours to read; the event is only
    // passed on.
    if (nCode == HC_ACTION && lParam) {
        const auto *info = reinterpret_cast<const KBDLLHOOKSTRUCT *>(lParam);
        const bool isDown = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
        const int scan = info->scanCode <= 0xFF ? static_cast<int>(info->scanCode) : 0;
        const bool extended = (info->flags & LLKHF_EXTENDED) != 0;
        const bool altDown = (info->flags & LLKHF_ALTDOWN) != 0;
        const int usage = g_keyState.feed(scan, extended, altDown, isDown);
        if (usage != 0 && g_callbacks.keyboard)
            g_callbacks.keyboard(usage, isDown, g_callbacks.keyboardContext);
    }
    return CallNextHookEx(g_keyboardHook, nCode, wParam, lParam);
}

LRESULT CALLBACK mouseProc(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode == HC_ACTION && lParam && g_callbacks.mouse) {
        int code = 0;
        bool isDown = false;
        if (KeyTables::mouseMessageToButton(static_cast<unsigned>(wParam), &code, &isDown)) {
            const auto *info = reinterpret_cast<const MSLLHOOKSTRUCT *>(lParam);
            g_callbacks.mouse(code, isDown, info->pt.x, info->pt.y, g_callbacks.mouseContext);
        }
    }
    return CallNextHookEx(g_mouseHook, nCode, wParam, lParam);
}

bool dispatchCopyData(UINT message, LPARAM lParam) {
    if (message != WM_COPYDATA || !g_callbacks.copyData)
        return false;
    const auto *cds = reinterpret_cast<const COPYDATASTRUCT *>(lParam);
    if (!cds) // nothing to hand on, but the message is still ours
        return true;
    g_callbacks.copyData(static_cast<unsigned long>(cds->dwData),
                         static_cast<const char *>(cds->lpData),
                         static_cast<unsigned int>(cds->cbData), g_callbacks.copyDataContext);
    return true;
}

} // namespace WinHooks
