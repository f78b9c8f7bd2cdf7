// Runs the low-level hooks for real: installs them, injects keys and clicks
// with SendInput from a second thread while this thread pumps messages (the
// hook procedures run in the installing thread's message loop), and checks
// the usage and button codes that come out. Also sends a WM_COPYDATA to a
// window whose procedure hands it to the copy-data dispatch.
#include "hooks_win.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int g_failures = 0;

#define CHECK(cond)                                                                                \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::printf("FAIL %s:%d: %s\n", __FILE__, __LINE__, #cond);                            \
            ++g_failures;                                                                          \
        }                                                                                          \
    } while (0)

struct Event {
    int code;
    bool down;
    int x = 0;
    int y = 0;
};

std::vector<Event> g_keys;
std::vector<Event> g_buttons;
int g_contextTag = 0;

void onKey(int usage, bool isDown, void *context) {
    if (context == &g_contextTag)
        g_keys.push_back({usage, isDown});
}

void onButton(int code, bool isDown, int x, int y, void *context) {
    if (context == &g_contextTag)
        g_buttons.push_back({code, isDown, x, y});
}

// One injected key event: scan code, extended flag, down or up.
struct Stroke {
    WORD scan;
    bool extended;
    bool down;
};

struct KeyCase {
    const char *name;
    std::vector<Stroke> strokes;
    std::vector<Event> expected;
};

std::vector<KeyCase> keyCases() {
    return {
        {"held a repeats, one press and one release",
         {{0x1E, false, true}, {0x1E, false, true}, {0x1E, false, true}, {0x1E, false, false}},
         {{0x04, true}, {0x04, false}}},
        {"keypad Enter", {{0x1C, true, true}, {0x1C, true, false}}, {{0x58, true}, {0x58, false}}},
        {"main Enter", {{0x1C, false, true}, {0x1C, false, false}}, {{0x28, true}, {0x28, false}}},
        {"right Ctrl", {{0x1D, true, true}, {0x1D, true, false}}, {{0xE4, true}, {0xE4, false}}},
        {"left Ctrl", {{0x1D, false, true}, {0x1D, false, false}}, {{0xE0, true}, {0xE0, false}}},
        {"right Alt", {{0x38, true, true}, {0x38, true, false}}, {{0xE6, true}, {0xE6, false}}},
        {"Print Screen", {{0x37, true, true}, {0x37, true, false}}, {{0x46, true}, {0x46, false}}},
        {"Ctrl+Break is Pause",
         {{0x1D, false, true}, {0x46, true, true}, {0x46, true, false}, {0x1D, false, false}},
         {{0xE0, true}, {0x48, true}, {0x48, false}, {0xE0, false}}},
        {"Scroll Lock", {{0x46, false, true}, {0x46, false, false}}, {{0x47, true}, {0x47, false}}},
        {"backslash", {{0x2B, false, true}, {0x2B, false, false}}, {{0x31, true}, {0x31, false}}},
        {"unmapped 0x36 and extended 0x5C",
         {{0x36, false, true}, {0x36, false, false}, {0x5C, true, true}, {0x5C, true, false}},
         {}},
    };
}

INPUT keyInput(const Stroke &s) {
    INPUT in;
    std::memset(&in, 0, sizeof in);
    in.type = INPUT_KEYBOARD;
    in.ki.wScan = s.scan;
    in.ki.dwFlags = KEYEVENTF_SCANCODE | (s.extended ? KEYEVENTF_EXTENDEDKEY : 0) |
                    (s.down ? 0 : KEYEVENTF_KEYUP);
    return in;
}

INPUT mouseInput(DWORD flags, DWORD data = 0) {
    INPUT in;
    std::memset(&in, 0, sizeof in);
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    in.mi.mouseData = data;
    return in;
}

// Pumps this thread's messages for ms milliseconds.
void pump(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
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
void inject(const std::vector<INPUT> &inputs) {
    Injection job{inputs, CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    HANDLE thread = CreateThread(nullptr, 0, injectThread, &job, 0, nullptr);
    for (int i = 0; i < 1000 && WaitForSingleObject(job.done, 0) != WAIT_OBJECT_0; ++i)
        pump(10);
    pump(200);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(job.done);
}

std::string describe(const std::vector<Event> &events) {
    std::string out;
    char buf[32];
    for (const Event &e : events) {
        std::snprintf(buf, sizeof buf, "%02X%s ", e.code, e.down ? "v" : "^");
        out += buf;
    }
    return out.empty() ? "(none)" : out;
}

void testKeys() {
    for (const KeyCase &c : keyCases()) {
        g_keys.clear();
        std::vector<INPUT> inputs;
        for (const Stroke &s : c.strokes)
            inputs.push_back(keyInput(s));
        inject(inputs);
        bool same = g_keys.size() == c.expected.size();
        for (size_t i = 0; same && i < g_keys.size(); ++i)
            same = g_keys[i].code == c.expected[i].code && g_keys[i].down == c.expected[i].down;
        if (!same) {
            std::printf("FAIL keys \"%s\": got %s expected %s\n", c.name, describe(g_keys).c_str(),
                        describe(c.expected).c_str());
            ++g_failures;
        }
    }
}

// Wine (8.0) never sets LLKHF_ALTDOWN in the hook structure, not even while
// Alt is held, so Alt+Print Screen cannot be injected; the procedure is fed
// the structure Windows delivers for it instead.
LRESULT callKeyboardProc(int nCode, WPARAM message, DWORD scan, DWORD flags) {
    KBDLLHOOKSTRUCT info;
    std::memset(&info, 0, sizeof info);
    info.scanCode = scan;
    info.flags = flags;
    return WinHooks::keyboardProc(nCode, message, reinterpret_cast<LPARAM>(&info));
}

void testAltFlag() {
    g_keys.clear();
    callKeyboardProc(HC_ACTION, WM_SYSKEYDOWN, 0x38, LLKHF_ALTDOWN);
    callKeyboardProc(HC_ACTION, WM_SYSKEYDOWN, 0x54, LLKHF_ALTDOWN);
    callKeyboardProc(HC_ACTION, WM_SYSKEYUP, 0x54, LLKHF_ALTDOWN | LLKHF_UP);
    // 0x54 without Alt is no key of its own
    callKeyboardProc(HC_ACTION, WM_KEYDOWN, 0x54, 0);
    // not HC_ACTION: passed on unread
    callKeyboardProc(-1, WM_KEYDOWN, 0x1E, 0);
    callKeyboardProc(HC_ACTION, WM_KEYUP, 0x38, LLKHF_UP);
    const std::vector<Event> expected = {{0xE2, true}, {0x46, true}, {0x46, false}, {0xE2, false}};
    bool same = g_keys.size() == expected.size();
    for (size_t i = 0; same && i < g_keys.size(); ++i)
        same = g_keys[i].code == expected[i].code && g_keys[i].down == expected[i].down;
    if (!same) {
        std::printf("FAIL Alt+Print Screen: got %s expected %s\n", describe(g_keys).c_str(),
                    describe(expected).c_str());
        ++g_failures;
    }
}

void testButtons() {
    SetCursorPos(120, 80);
    pump(100);
    g_buttons.clear();
    inject({
        mouseInput(MOUSEEVENTF_LEFTDOWN),
        mouseInput(MOUSEEVENTF_LEFTUP),
        mouseInput(MOUSEEVENTF_LEFTDOWN),
        mouseInput(MOUSEEVENTF_LEFTUP), // a double click
        mouseInput(MOUSEEVENTF_RIGHTDOWN),
        mouseInput(MOUSEEVENTF_RIGHTUP),
        mouseInput(MOUSEEVENTF_MIDDLEDOWN),
        mouseInput(MOUSEEVENTF_MIDDLEUP),
        mouseInput(MOUSEEVENTF_WHEEL, static_cast<DWORD>(WHEEL_DELTA)),
        mouseInput(MOUSEEVENTF_XDOWN, XBUTTON1),
        mouseInput(MOUSEEVENTF_XUP, XBUTTON1),
    });
    const std::vector<Event> expected = {{0xF0, true}, {0xF0, false}, {0xF0, true}, {0xF0, false},
                                         {0xF1, true}, {0xF1, false}, {0xF2, true}, {0xF2, false}};
    bool same = g_buttons.size() == expected.size();
    for (size_t i = 0; same && i < g_buttons.size(); ++i)
        same = g_buttons[i].code == expected[i].code && g_buttons[i].down == expected[i].down;
    if (!same) {
        std::printf("FAIL buttons: got %s expected %s\n", describe(g_buttons).c_str(),
                    describe(expected).c_str());
        ++g_failures;
    }
    for (const Event &e : g_buttons) {
        if (e.x != 120 || e.y != 80) {
            std::printf("FAIL button position: got (%d, %d) expected (120, 80)\n", e.x, e.y);
            ++g_failures;
            break;
        }
    }
}

struct Received {
    unsigned long dwData = 0;
    std::string text;
    unsigned int cbData = 0;
    int calls = 0;
};
Received g_received;

void onCopyData(unsigned long dwData, const char *data, unsigned int cbData, void *context) {
    if (context != &g_contextTag)
        return;
    g_received.dwData = dwData;
    g_received.text.assign(data, cbData);
    g_received.cbData = cbData;
    ++g_received.calls;
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (WinHooks::dispatchCopyData(msg, lParam))
        return 1;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT sendCopyData(HWND hwnd, ULONG_PTR dwData, const std::string &text) {
    COPYDATASTRUCT cds;
    cds.dwData = dwData;
    cds.cbData = static_cast<DWORD>(text.size());
    cds.lpData = const_cast<char *>(text.data());
    return SendMessageW(hwnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
}

void testCopyData() {
    WNDCLASSW wc;
    std::memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SkarnCopyDataTest";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"copy data", 0, 0, 0, 10, 10, HWND_MESSAGE,
                                nullptr, wc.hInstance, nullptr);
    CHECK(hwnd != nullptr);
    if (!hwnd)
        return;

    // Without a callback the message is left to the window's default handling.
    WinHooks::setCopyDataCallback(nullptr, nullptr);
    CHECK(sendCopyData(hwnd, 9487, "ignored") == 0);

    WinHooks::setCopyDataCallback(onCopyData, &g_contextTag);
    const std::string text = "Gr\xc3\xbc\xc3\x9f dich \xe4\xb8\xad"; // UTF-8, 15 bytes
    CHECK(sendCopyData(hwnd, 9487, text) == 1);
    CHECK(g_received.calls == 1);
    CHECK(g_received.dwData == 9487);
    CHECK(g_received.cbData == text.size());
    CHECK(g_received.text == text);

    // Another dwData is still handed on (the callback decides) and handled.
    CHECK(sendCopyData(hwnd, 1234, "x") == 1);
    CHECK(g_received.calls == 2);
    CHECK(g_received.dwData == 1234);

    // Other messages are not the filter's.
    CHECK(!WinHooks::dispatchCopyData(WM_USER, 0));
    DestroyWindow(hwnd);
}

} // namespace

int main() {
    WinHooks::setKeyboardCallback(onKey, &g_contextTag);
    WinHooks::setMouseCallback(onButton, &g_contextTag);
    CHECK(WinHooks::install() == 1);
    CHECK(WinHooks::isInstalled());
    // Installing again replaces the hooks instead of stacking a second pair.
    CHECK(WinHooks::install() == 1);
    if (WinHooks::isInstalled()) {
        testKeys();
        testAltFlag();
        testButtons();
    }
    WinHooks::remove();
    CHECK(!WinHooks::isInstalled());

    // Once removed, injected input reaches no callback.
    g_keys.clear();
    inject({keyInput({0x1E, false, true}), keyInput({0x1E, false, false})});
    CHECK(g_keys.empty());

    testCopyData();
    std::printf("%s: %d failure(s)\n", g_failures ? "FAILED" : "PASSED", g_failures);
    return g_failures ? 1 : 0;
}
