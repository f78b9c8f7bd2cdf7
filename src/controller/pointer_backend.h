#pragma once

// The platform's own pointer settings; one implementation per OS, chosen by
// the build. Each returns whether the system took the value.
namespace PointerBackend {

bool applyCursorSpeed(int speed); // 1..20
bool applyDoubleClickTime(int ms);
bool applyWheelScrollLines(int lines);

} // namespace PointerBackend
