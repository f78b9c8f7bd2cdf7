// Runs the low-level hooks for real: installs them, injects keys and clicks
// with SendInput from a second thread while this thread pumps messages (the
// hook procedures run in the installing thread's message loop) and checks
// the codes that come out; and the copy-data dispatch of WM_COPYDATA.
#include "hooks_win.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

int g_failures = 0;
int g_tag = 0;
std::string g_keys, g_buttons, g_copied; // "04v 04^ ..." as reported
POINT g_at{};                            // where the clicks happen

void expect(const char *what, const std::string &got, const std::string &expected) {
    if (got != expected) {
        std::printf("FAIL %s: got \"%s\" expected \"%s\"\n", what, got.c_str(), expected.c_str());
        ++g_failures;
    }
}

void append(std::string &log, int code, bool down) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%s%02X%s", log.empty() ? "" : " ", code, down ? "v" : "^");
    log += buf;
}

void onKey(int usage, bool isDown, void *context) {
    if (context == &g_tag)
        append(g_keys, usage, isDown);
}

void onButton(int code, bool isDown, int x, int y, void *context) {
    if (context == &g_tag)
        append(g_buttons, code, isDown);
    if (std::abs(x - g_at.x) > 1 || std::abs(y - g_at.y) > 1)
        g_buttons += " elsewhere";
}

INPUT key(WORD scan, DWORD flags) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wScan = scan;
    in.ki.dwFlags = KEYEVENTF_SCANCODE | flags;
    return in;
}
const DWORD E = KEYEVENTF_EXTENDEDKEY, U = KEYEVENTF_KEYUP;

INPUT mouse(DWORD flags, DWORD data = 0, LONG dx = 0, LONG dy = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi = {dx, dy, data, flags, 0, 0};
    return in;
}

DWORD WINAPI injectThread(void *arg) {
    for (INPUT &in : *static_cast<std::vector<INPUT> *>(arg))
        SendInput(1, &in, sizeof(INPUT));
    return 0;
}

// Injects from another thread, as real input arrives, while this thread
// keeps its message loop running for the hooks. With `sentinel` an Escape
// stroke follows, and the loop runs until the hook has reported it (the
// hooks see input in order): everything before it has arrived by then.
void inject(std::vector<INPUT> inputs, bool sentinel = true) {
    if (sentinel)
        inputs.insert(inputs.end(), {key(0x01, 0), key(0x01, U)});
    HANDLE thread = CreateThread(nullptr, 0, injectThread, &inputs, 0, nullptr);
    auto finished = [&] {
        return sentinel ? g_keys.size() >= 3 && g_keys.compare(g_keys.size() - 3, 3, "29^") == 0
                        : WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
    };
    for (const DWORD end = GetTickCount() + 5000;
         !finished() && static_cast<LONG>(end - GetTickCount()) > 0;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    if (sentinel && finished())
        g_keys.resize(g_keys.size() > 7 ? g_keys.size() - 8 : 0);
}

void testKeys() {
    // A held a, main and keypad Enter, right Ctrl, Ctrl+Break, two keys
    // without a usage.
    g_keys.clear();
    inject({key(0x1E, 0), key(0x1E, 0), key(0x1E, 0), key(0x1E, U), key(0x1C, 0), key(0x1C, U),
            key(0x1C, E), key(0x1C, E | U), key(0x1D, E), key(0x1D, E | U), key(0x1D, 0),
            key(0x46, E), key(0x46, E | U), key(0x1D, U), key(0x36, 0), key(0x36, U), key(0x5C, E),
            key(0x5C, E | U)});
    expect("keys", g_keys, "04v 04^ 28v 28^ 58v 58^ E4v E4^ E0v 48v 48^ E0^");
}

void testButtons() {
    // The pointer is placed through the input path itself: Wine's X11 driver
    // syncs SetCursorPos with the X pointer asynchronously, so a warp may not
    // have reached the hooks' view of the cursor by the time clicks arrive.
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const int x = width / 4, y = height / 3;
    g_at = {x, y};
    g_keys.clear();
    inject({mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 0, x * 65535 / (width - 1),
                  y * 65535 / (height - 1)),
            mouse(MOUSEEVENTF_LEFTDOWN), mouse(MOUSEEVENTF_LEFTUP), mouse(MOUSEEVENTF_LEFTDOWN),
            mouse(MOUSEEVENTF_LEFTUP), // a double click
            mouse(MOUSEEVENTF_RIGHTDOWN), mouse(MOUSEEVENTF_RIGHTUP), mouse(MOUSEEVENTF_MIDDLEDOWN),
            mouse(MOUSEEVENTF_MIDDLEUP), mouse(MOUSEEVENTF_WHEEL, WHEEL_DELTA),
            mouse(MOUSEEVENTF_XDOWN, XBUTTON1), mouse(MOUSEEVENTF_XUP, XBUTTON1)});
    expect("buttons", g_buttons, "F0v F0^ F0v F0^ F1v F1^ F2v F2^");
}

void onCopyData(unsigned long dwData, const char *data, unsigned int cbData, void *context) {
    if (context == &g_tag)
        g_copied += std::to_string(dwData) + ":" + std::string(data, cbData) + ";";
}

// Without a callback WM_COPYDATA is left to the default handling; with one,
// every dwData reaches it (it decides) and counts as handled.
void testCopyData() {
    std::string text = "Gr\xc3\xbc\xc3\x9f dich \xe4\xb8\xad"; // UTF-8
    COPYDATASTRUCT cds{9487, DWORD(text.size()), text.data()}, other{1234, 1, text.data()};
    std::string handled;
    for (auto [message, c] : {std::pair{WM_COPYDATA, &cds},
                              {WM_COPYDATA, &cds},
                              {WM_COPYDATA, &other},
                              {WM_USER, &cds}}) {
        handled += WinHooks::dispatchCopyData(message, LPARAM(c)) ? "1" : "0";
        WinHooks::setCopyDataCallback(onCopyData, &g_tag);
    }
    expect("copy data handled", handled, "0110");
    expect("copy data passed on", g_copied, "9487:" + text + ";1234:G;");
}

} // namespace

int main() {
    WinHooks::setKeyboardCallback(onKey, &g_tag);
    WinHooks::setMouseCallback(onButton, &g_tag);
    // Installing again replaces the hooks instead of stacking a second pair,
    // which would report every event twice.
    const bool installed = WinHooks::install() == 1 && WinHooks::install() == 1;
    expect("install", installed && WinHooks::isInstalled() ? "yes" : "no", "yes");
    testKeys();
    testButtons();
    // Keys pressed while the hooks are off are never reported.
    g_keys.clear();
    WinHooks::remove();
    expect("removed", WinHooks::isInstalled() ? "yes" : "no", "no");
    inject({key(0x30, 0), key(0x30, U)}, false);
    WinHooks::install();
    inject({key(0x2E, 0), key(0x2E, U)});
    expect("after remove", g_keys, "06v 06^");
    WinHooks::remove();
    testCopyData();
    std::printf("%s: %d failure(s)\n", g_failures ? "FAILED" : "PASSED", g_failures);
    return g_failures ? 1 : 0;
}
