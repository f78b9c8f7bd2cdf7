#pragma once

// Callback types of the input capture. Plain C++ on purpose: the Win32 hook
// code that uses them is built without Qt.

// usageCode: keyboard page usage (0x04 = "a"); isDown: the key's new state.
using KeyboardCallback = void (*)(int usageCode, bool isDown, void *context);
// buttonCode: 0xF0 left, 0xF1 right, 0xF2 middle; x, y: screen position.
using MouseCallback = void (*)(int buttonCode, bool isDown, int x, int y, void *context);
// Platform-neutral form of a WM_COPYDATA's COPYDATASTRUCT.
using CopyDataCallback = void (*)(unsigned long dwData, const char *data, unsigned int cbData,
                                  void *context);

// What the program registered, kept by each platform's capture code.
struct RegisteredCallbacks {
    KeyboardCallback keyboard = nullptr;
    void *keyboardContext = nullptr;
    MouseCallback mouse = nullptr;
    void *mouseContext = nullptr;
    CopyDataCallback copyData = nullptr;
    void *copyDataContext = nullptr;
};
