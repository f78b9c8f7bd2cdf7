.pragma library

// Conversions of the lighting panel: hue bar position <-> colour, the rows
// each effect uses, and colour text helpers.

var BAR_END = 183;

function hex2(n) {
    var v = Math.max(0, Math.min(255, Math.floor(n)));
    return (v < 16 ? "0" : "") + v.toString(16);
}

function colorText(r, g, b) {
    return "#" + hex2(r) + hex2(g) + hex2(b);
}

// "#rrggbb" (any case) to [r, g, b]; null for anything else.
function parseColor(text) {
    var s = String(text);
    if (!/^#[0-9a-fA-F]{6}$/.test(s))
        return null;
    return [parseInt(s.substr(1, 2), 16), parseInt(s.substr(3, 2), 16), parseInt(s.substr(5, 2), 16)];
}

// Colour under position q (marker centre, 0..183) of the bar; the bar image
// is drawn with the same rule, so the sent colour is what the user sees.
function hueColor(q) {
    var p = Math.max(0, Math.min(BAR_END, q));
    var sector = Math.floor(p / 30);
    var f = Math.floor((p - 30 * sector) * 255 / 30);
    switch (sector) {
    case 0: return [255, f, 0];
    case 1: return [255 - f, 255, 0];
    case 2: return [0, 255, f];
    case 3: return [0, 255 - f, 255];
    case 4: return [f, 0, 255];
    case 5: return [255, 0, 255 - f];
    default: return p > 182 ? [255, 255, 255] : [255, 0, 0];
    }
}

// Where the marker of a colour stands; colours off the bar stand at 0.
function markerPos(r, g, b) {
    var d = 30.5;
    var u = d / 256;
    if (r === 255 && g === 255 && b === 255)
        return BAR_END;
    if (r === 255 && b === 0)
        return u * g;
    if (r === 0 && b === 255)
        return 3 * d + u * (255 - g);
    if (g === 255 && b === 0)
        return d + u * (255 - r);
    if (g === 0 && b === 255)
        return 4 * d + u * r;
    if (r === 0 && g === 255)
        return 2 * d + u * b;
    if (r === 255 && g === 0)
        return 5 * d + u * (255 - b);
    return 0;
}

// Rows shown for an effect and the indexes set when the user picks it
// (-1: left as it is). Effects beyond the table (Breath Loop on a full
// colour mouse) show neither row: the mouse takes no speed or brightness
// for them.
function effectRows(effect, is55328) {
    var r = { speed: false, bright: false, speedDefault: -1, brightDefault: -1 };
    switch (effect) {
    case 0:
    case 7:
        r.bright = true;
        r.brightDefault = 4;
        break;
    case 1:
    case 2:
        r.speed = true;
        r.speedDefault = 0;
        break;
    case 3:
        r.brightDefault = 0;
        break;
    case 4:
        if (is55328) {
            r.speed = true;
            r.speedDefault = 0;
        } else {
            r.bright = true;
            r.brightDefault = 4;
        }
        break;
    case 5:
    case 8:
    case 9:
    case 10:
        r.speed = true;
        r.bright = true;
        r.speedDefault = 0;
        r.brightDefault = 4;
        break;
    case 6:
        r.speedDefault = 0;
        r.brightDefault = 4;
        break;
    default:
        break;
    }
    return r;
}

// Effects whose colours the user picks; the others colour themselves.
function colorEditable(effect) {
    return effect === 0 || effect === 1 || effect === 4 || effect === 9 || effect === 10;
}

var PERCENT = ["0%", "25%", "50%", "75%", "100%"];

function percentText(i) {
    return i >= 0 && i < PERCENT.length ? PERCENT[i] : "0%";
}

// Colour blocks the user sees: 0 always; 2..4 by device; 1, 5, 6, 7 are
// carried along unchanged but never shown.
function blockShown(i, effect, dpiCount, isColorful, is55328) {
    if (i === 0)
        return true;
    if (i < 2 || i > 4)
        return false;
    if (is55328)
        return effect === 4;
    return dpiCount > i || isColorful;
}
