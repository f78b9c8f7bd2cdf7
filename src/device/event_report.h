#pragma once

// Decoding of the mouse's own input reports on the event interface.
namespace EventReport {

// The DPI stage of a "stage changed" report (06 07 xx stage), or -1 for any
// other or shorter report. Only the first four bytes count.
inline int dpiStage(const unsigned char *report, int length) {
    if (length < 4 || report[0] != 0x06 || report[1] != 0x07)
        return -1;
    return report[3];
}

// Which of the eight notification texts announces `stage`: stages 1..7 have
// their own, 0 and anything above 7 share the last.
inline int textIndex(int stage) {
    return (stage >= 1 && stage <= 7) ? stage - 1 : 7;
}

} // namespace EventReport
