#pragma once

#include <QtGlobal>

// The program-wide scrambling code: bytes 1..6 come from the device entry
// checked last; bytes 0 and 7 are never used.
uchar *secrecyCode();
