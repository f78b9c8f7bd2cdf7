// Runs the low-level hooks for real: installs them, injects keys and clicks
// with SendInput from a second thread while this thread pumps messages (the
// hook procedures run in the installing thread's message loop) and checks
// the codes that come out. Also sends WM_COPYDATA to a window whose
// procedure hands it to the copy-data dispatch.
#include "hooks_win.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int g_failures = 0;
int g_tag = 0;
std::string g_keys, g_buttons; // "04v 04^ ..." as reported
std::vector<POINT> g_points;

void fail(const char *what, const std::string &got, const std::string &expected) {
    std::printf("FAIL %s: got \"%s\" expected \"%s\"\n", what, got.c_str(), expected.c_str());
    ++g_failures;
}

void check(const char *what, bool ok) {
    if (!ok)
        fail(what, "false", "true");
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
    if (context == &g_tag) {
        append(g_buttons, code, isDown);
        g_points.push_back({x, y});
    }
}

INPUT key(WORD scan, DWORD flags) {
    INPUT in;
    std::memset(&in, 0, sizeof in);
    in.type = INPUT_KEYBOARD;
    in.ki.wScan = scan;
    in.ki.dwFlags = KEYEVENTF_SCANCODE | flags;
    return in;
}
const DWORD E = KEYEVENTF_EXTENDEDKEY, U = KEYEVENTF_KEYUP;

INPUT mouse(DWORD flags, DWORD data = 0, LONG dx = 0, LONG dy = 0) {
    INPUT in;
    std::memset(&in, 0, sizeof in);
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    in.mi.mouseData = data;
    in.mi.dx = dx;
    in.mi.dy = dy;
    return in;
}

void pump(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
}

struct Injection {
    std::vector<INPUT> inputs;
    HANDLE done;
};

DWORD WINAPI injectThread(void *arg) {
    auto *job = static_cast<Injection *>(arg);
    for (INPUT &in : job->inputs) {
        SendInput(1, &in, sizeof(INPUT));
        Sleep(15);
    }
    SetEvent(job->done);
    return 0;
}

// Injects from another thread, as real input arrives, while this thread
// keeps its message loop running for the hooks.
void inject(std::vector<INPUT> inputs) {
    Injection job{std::move(inputs), CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    HANDLE thread = CreateThread(nullptr, 0, injectThread, &job, 0, nullptr);
    for (int i = 0; i < 1000 && WaitForSingleObject(job.done, 0) != WAIT_OBJECT_0; ++i)
        pump(10);
    pump(200);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(job.done);
}

void testKeys() {
    struct Case {
        const char *name;
        std::vector<INPUT> inputs;
        const char *expected;
    };
    const Case cases[] = {
        {"held a", {key(0x1E, 0), key(0x1E, 0), key(0x1E, 0), key(0x1E, U)}, "04v 04^"},
        {"keypad Enter", {key(0x1C, E), key(0x1C, E | U)}, "58v 58^"},
        {"main Enter", {key(0x1C, 0), key(0x1C, U)}, "28v 28^"},
        {"right Ctrl", {key(0x1D, E), key(0x1D, E | U)}, "E4v E4^"},
        {"left Ctrl", {key(0x1D, 0), key(0x1D, U)}, "E0v E0^"},
        {"right Alt", {key(0x38, E), key(0x38, E | U)}, "E6v E6^"},
        {"Print Screen", {key(0x37, E), key(0x37, E | U)}, "46v 46^"},
        {"Ctrl+Break",
         {key(0x1D, 0), key(0x46, E), key(0x46, E | U), key(0x1D, U)},
         "E0v 48v 48^ E0^"},
        {"Scroll Lock", {key(0x46, 0), key(0x46, U)}, "47v 47^"},
        {"backslash", {key(0x2B, 0), key(0x2B, U)}, "31v 31^"},
        {"0x36 and extended 0x5C",
         {key(0x36, 0), key(0x36, U), key(0x5C, E), key(0x5C, E | U)},
         ""},
    };
    for (const Case &c : cases) {
        g_keys.clear();
        inject(c.inputs);
        if (g_keys != c.expected)
            fail(c.name, g_keys, c.expected);
    }
}

// Wine (8.0) never sets LLKHF_ALTDOWN, not even while Alt is held, so
// Alt+Print Screen cannot be injected: the procedure gets the structures
// Windows delivers for it instead.
void testAltPrintScreen() {
    struct Call {
        int nCode;
        WPARAM message;
        DWORD scan, flags;
    };
    const Call calls[] = {
        {HC_ACTION, WM_SYSKEYDOWN, 0x38, LLKHF_ALTDOWN},
        {HC_ACTION, WM_SYSKEYDOWN, 0x54, LLKHF_ALTDOWN},
        {HC_ACTION, WM_SYSKEYUP, 0x54, LLKHF_ALTDOWN | LLKHF_UP},
        {HC_ACTION, WM_KEYDOWN, 0x54, 0}, // 0x54 without Alt is no key
        {-1, WM_KEYDOWN, 0x1E, 0},        // not HC_ACTION: passed on unread
        {HC_ACTION, WM_KEYUP, 0x38, LLKHF_UP},
    };
    g_keys.clear();
    for (const Call &c : calls) {
        KBDLLHOOKSTRUCT info;
        std::memset(&info, 0, sizeof info);
        info.scanCode = c.scan;
        info.flags = c.flags;
        WinHooks::keyboardProc(c.nCode, c.message, reinterpret_cast<LPARAM>(&info));
    }
    if (g_keys != "E2v 46v 46^ E2^")
        fail("Alt+Print Screen", g_keys, "E2v 46v 46^ E2^");
}

void testButtons() {
    // The pointer is placed through the input path itself: Wine's X11 driver
    // syncs SetCursorPos with the X pointer asynchronously, so a warp may not
    // have reached the hooks' view of the cursor by the time clicks arrive.
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const int x = width / 4, y = height / 3;
    g_buttons.clear();
    g_points.clear();
    inject({mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 0, x * 65535 / (width - 1),
                  y * 65535 / (height - 1)),
            mouse(MOUSEEVENTF_LEFTDOWN), mouse(MOUSEEVENTF_LEFTUP), mouse(MOUSEEVENTF_LEFTDOWN),
            mouse(MOUSEEVENTF_LEFTUP), // a double click
            mouse(MOUSEEVENTF_RIGHTDOWN), mouse(MOUSEEVENTF_RIGHTUP), mouse(MOUSEEVENTF_MIDDLEDOWN),
            mouse(MOUSEEVENTF_MIDDLEUP), mouse(MOUSEEVENTF_WHEEL, WHEEL_DELTA),
            mouse(MOUSEEVENTF_XDOWN, XBUTTON1), mouse(MOUSEEVENTF_XUP, XBUTTON1)});
    const char *expected = "F0v F0^ F0v F0^ F1v F1^ F2v F2^";
    if (g_buttons != expected)
        fail("buttons", g_buttons, expected);
    for (const POINT &p : g_points) {
        if (std::abs(p.x - x) > 1 || std::abs(p.y - y) > 1) {
            char got[32], want[32];
            std::snprintf(got, sizeof got, "%ld,%ld", p.x, p.y);
            std::snprintf(want, sizeof want, "%d,%d", x, y);
            fail("button position", got, want);
            break;
        }
    }
}

struct {
    int calls = 0;
    unsigned long dwData = 0;
    std::string bytes;
} g_copy;

void onCopyData(unsigned long dwData, const char *data, unsigned int cbData, void *context) {
    if (context != &g_tag)
        return;
    ++g_copy.calls;
    g_copy.dwData = dwData;
    g_copy.bytes.assign(data, cbData);
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (WinHooks::dispatchCopyData(msg, lParam))
        return 1;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT sendCopyData(HWND hwnd, ULONG_PTR dwData, const std::string &text) {
    COPYDATASTRUCT cds{dwData, static_cast<DWORD>(text.size()), const_cast<char *>(text.data())};
    return SendMessageW(hwnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
}

void testCopyData() {
    WNDCLASSW wc;
    std::memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SkarnCopyDataTest";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                                wc.hInstance, nullptr);
    check("window created", hwnd != nullptr);
    if (!hwnd)
        return;
    // Without a callback the message is left to the default handling.
    WinHooks::setCopyDataCallback(nullptr, nullptr);
    check("unhandled without callback", sendCopyData(hwnd, 9487, "x") == 0);

    WinHooks::setCopyDataCallback(onCopyData, &g_tag);
    const std::string text = "Gr\xc3\xbc\xc3\x9f dich \xe4\xb8\xad"; // UTF-8
    check("handled", sendCopyData(hwnd, 9487, text) == 1);
    check("one call", g_copy.calls == 1);
    check("dwData 9487", g_copy.dwData == 9487);
    if (g_copy.bytes != text)
        fail("copied bytes", g_copy.bytes, text);
    // Another dwData still reaches the callback (it decides) and is handled.
    check("other dwData handled", sendCopyData(hwnd, 1234, "x") == 1);
    check("other dwData passed on", g_copy.calls == 2 && g_copy.dwData == 1234);
    check("other messages not taken", !WinHooks::dispatchCopyData(WM_USER, 0));
    DestroyWindow(hwnd);
}

} // namespace

int main() {
    WinHooks::setKeyboardCallback(onKey, &g_tag);
    WinHooks::setMouseCallback(onButton, &g_tag);
    check("install", WinHooks::install() == 1);
    // Installing again replaces the hooks instead of stacking a second pair,
    // which would report every event twice.
    check("install again", WinHooks::install() == 1 && WinHooks::isInstalled());
    testKeys();
    testAltPrintScreen();
    testButtons();
    WinHooks::remove();
    check("removed", !WinHooks::isInstalled());
    g_keys.clear();
    inject({key(0x30, 0), key(0x30, U)});
    if (!g_keys.empty())
        fail("after remove", g_keys, "");
    testCopyData();
    std::printf("%s: %d failure(s)\n", g_failures ? "FAILED" : "PASSED", g_failures);
    return g_failures ? 1 : 0;
}
