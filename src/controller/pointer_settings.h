#pragma once

#include <QtGlobal>

// System-wide pointer settings: speed, double-click time, wheel lines.
// Each setter applies the value to the desktop, logs its failure line and
// returns whether any backend took the value.
namespace PointerSettings {

// Slider index 0..10 of the scene to pointer speed 1..20 (index 0 gives 1;
// larger indexes give 20, the fastest speed the systems take).
int cursorSpeedFromIndex(uint index);
// Slider index 0..10 to 900..200 ms; indexes above 12 count as 12 (60 ms).
int doubleClickMsFromIndex(uint index);

bool setCursorSpeed(int speed); // 1..20, 10 is the neutral speed
bool setDoubleClickTime(int ms);
bool setWheelScrollLines(int lines);

} // namespace PointerSettings
