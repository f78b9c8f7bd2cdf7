#pragma once

#include <QString>
#include <cstdint>

// One configured device: which vendor/product to look for, which two HID
// interfaces carry commands and events, and how reports to it are framed.
struct DeviceEntry {
    int32_t type = -1;
    uint16_t vid = 0;
    uint16_t pid = 0;
    uint16_t usagePage = 0; // command interface
    uint16_t usage = 0;
    uint16_t usagePage2 = 0; // event interface
    uint16_t usage2 = 0;
    int32_t reportLength = 32; // data report length without the report ID
    bool isEncode = false;
    QString sCode;
    QString commandPath; // empty: not matched, or opening it failed
    QString eventPath;   // empty: not matched, or the device has gone
};
