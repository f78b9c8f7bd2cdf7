#pragma once

#include <cstdint>

// Translation of keyboard and mouse events into the codes the mouse itself
// stores: PC scan code (set 1) -> Windows virtual-key code -> keyboard page
// usage. Plain C++ so the Win32 hook procedures (built without Qt) and the X11
// backend share the very same tables.
namespace KeyTables {

// Our own virtual-key code for the keypad Enter, which Windows folds into
// VK_RETURN; keeping it apart lets it map to the keypad Enter usage.
constexpr int VkKeypadEnter = 0x0E;

// Virtual-key code of (scan, extended), 0 when the key is not in the table.
int scanToVk(int scan, bool extended);
// Usage code of a virtual-key code, 0 when it has none.
int vkToUsage(int vk);
// scanToVk plus the two keys whose code depends on how they were pressed:
// Ctrl+Break arrives as extended 0x46 and Alt+Print Screen as 0x54.
int resolveVk(int scan, bool extended, bool altDown);

int scanTableSize();
int usageTableSize();

struct ScanKey {
    int scan = 0; // 0: the key has no counterpart in the tables
    bool extended = false;
};

// Linux input event code (X keycode - 8) to the scan code and extended flag a
// Windows low-level hook reports for the same key. altDown matters only for
// Print Screen, which a PC keyboard sends as 0x54 while Alt is held.
ScanKey evdevToScan(int evdevCode, bool altDown);
constexpr int EvdevLeftAlt = 56;
constexpr int EvdevRightAlt = 100;

// Windows mouse message -> button code; false for messages that are not
// reported (double clicks, wheel, movement, X buttons).
bool mouseMessageToButton(unsigned message, int *buttonCode, bool *isDown);
// X core button number -> button code, 0 for wheel and extra buttons.
int x11ButtonToCode(int button);

} // namespace KeyTables

// Remembers which usages are down so that each key reports state changes only:
// typematic repeats of a held key give no further presses, a release is
// reported once.
class KeyStateFilter {
public:
    // The usage to report for this event, or 0 when it reports nothing.
    int feed(int scan, bool extended, bool altDown, bool isDown);
    bool isDown(int usage) const { return usage > 0 && usage < 256 && m_state[usage] != 0; }
    // Marks the usage up; true when it was down.
    bool forget(int usage) {
        const bool was = isDown(usage);
        if (was)
            m_state[usage] = 0;
        return was;
    }

private:
    std::uint8_t m_state[256] = {};
};
