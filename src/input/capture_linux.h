#pragma once

#include <memory>

class QObject;

// The two capture backends of Linux and the event path they share. Both see
// X keycodes (Linux input event code + 8): XInput2 on an X server, and the
// keyboard events of our own windows, whose native scan code is the same
// keycode on X11 and on Wayland.
namespace LinuxCapture {

constexpr int kKeycodeOffset = 8;

// A key of the given Linux input event code changed state.
void keyEvent(int evdevCode, bool isDown);
// A mouse button (0xF0 left, 0xF1 right, 0xF2 middle) changed state.
void buttonEvent(int buttonCode, bool isDown, int x, int y);
// Alt keys held when a capture starts (Print Screen depends on them).
void setAltHeld(bool left, bool right);
// Reports the release of every key still down: the capture will not see
// their real releases (our window lost the keyboard).
void releaseHeldKeys();

// System-wide capture through XInput2; null without an X display that has
// XInput 2.2.
std::unique_ptr<QObject> openX11();
// Capture from the program's own windows while one of them has the focus;
// null without a QGuiApplication.
std::unique_ptr<QObject> openFocused();

} // namespace LinuxCapture
