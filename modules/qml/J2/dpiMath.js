.pragma library

// Conversions of the DPI panel, the report-rate row and the pointer dialog.
// Kept free of items so the tests can check the arithmetic directly.

// The vertical stage slider is 176 px long; its 12 px knob sits 3 px from
// either end, so the knob position runs from 3 (bottom) to 161 (top).
var KNOB_MIN = 3;
var KNOB_MAX = 161;
var KNOB_TRAVEL = 158;

function dpiOfKnob(p, minDPI, maxDPI, dpiBase) {
    var base = dpiBase > 0 ? dpiBase : 1;
    return Math.floor((((p - KNOB_MIN) * (maxDPI - minDPI) / KNOB_TRAVEL) + minDPI) / base) * base;
}

// One above the bottom: the division above truncates, and the extra pixel
// lifts grid values back onto themselves instead of one step below.
function knobOfDpi(v, minDPI, maxDPI) {
    if (maxDPI <= minDPI)
        return KNOB_MIN;
    var p = Math.floor(KNOB_TRAVEL * (v - minDPI) / (maxDPI - minDPI)) + 4;
    return Math.max(KNOB_MIN, Math.min(KNOB_MAX, p));
}

// Text shown for a stored value after its knob has been placed. The knob
// has only 158 steps, so over a wide range (200..12000) the value read back
// from the knob drifts a grid step or more away from what was stored, and a
// load followed by Save would silently change the mouse's DPI. A stored value
// that lies on the grid inside the range is therefore shown as it is; only
// values the panel could not have produced are taken from the knob.
function loadedDpi(v, p, minDPI, maxDPI, dpiBase) {
    var base = dpiBase > 0 ? dpiBase : 1;
    var n = Number(v);
    if (isFinite(n) && n >= minDPI && n <= maxDPI && n % base === 0)
        return n;
    return dpiOfKnob(p, minDPI, maxDPI, dpiBase);
}

// Gaps between the stage sliders and between their value texts, by the
// number of stages in use; eight narrow sliders need the tighter spacing.
function sliderGap(stages) {
    if (stages >= 8)
        return 22;
    if (stages === 7)
        return 24;
    if (stages === 6)
        return 27;
    return 33;
}

function textGap(stages) {
    if (stages >= 8)
        return 4;
    switch (stages) {
    case 7: return 8;
    case 6: return 10;
    case 5:
    case 4: return 14;
    case 3: return 12;
    default: return 10;
    }
}

// Left edge of a row of `count` items `width` wide with `gap` between them,
// centred in `span`.
function rowStart(span, count, width, gap) {
    var n = Math.max(1, count);
    return Math.round((span - (n * width + (n - 1) * gap)) / 2);
}

// Report rate choice 0..3 (125, 250, 500, 1000 Hz) to the code the mouse
// takes; anything else is the fastest rate.
var RATE_NAMES = ["125Hz", "250Hz", "500Hz", "1000Hz"];

function rateCode(index) {
    switch (index) {
    case 0: return 8;
    case 1: return 4;
    case 2: return 2;
    default: return 1;
    }
}

// Pointer sliders store their knob position (3..337); the system takes a
// speed 0..10. The thresholds are exclusive.
var compareValue = [4, 37, 70, 104, 138, 172, 205, 239, 272, 305, 338];

function speedIndex(p) {
    for (var i = 0; i < compareValue.length; ++i) {
        if (p < compareValue[i])
            return i;
    }
    return compareValue.length - 1;
}
