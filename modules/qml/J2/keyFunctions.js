.pragma library

// What a button can do, as the key dialog offers it and the panel shows it.
// Each row: [text index in the dialog's language group, class, code1,
// code2, code3]; the class numbers are the mouse's own.

var mouseOptions = [[2, 0x00, 0x00, 0xF0, 0x00], [3, 0x00, 0x00, 0xF2, 0x00],
    [4, 0x00, 0x00, 0xF1, 0x00], [5, 0x00, 0x00, 0xF4, 0x00], [6, 0x00, 0x00, 0xF3, 0x00],
    [7, 0x00, 0xF0, 0x1E, 0x03]];
var dpiOptions = [[22, 0x05, 0, 1, 0], [23, 0x05, 0, 2, 0], [24, 0x05, 0, 3, 0],
    [56, 0x05, 0, 4, 0]];
var gunOptions = [[53, 0x08, 0, 1, 0], [54, 0x08, 0, 2, 0], [55, 0x08, 0, 3, 0]];
var mediaOptions = [[27, 0x03, 0, 0x83, 0x01], [28, 0x03, 0, 0xB5, 0x00],
    [29, 0x03, 0, 0xB6, 0x00], [30, 0x03, 0, 0xB7, 0x00], [31, 0x03, 0, 0xE2, 0x00],
    [32, 0x03, 0, 0xCD, 0x00], [33, 0x03, 0, 0xE9, 0x00], [34, 0x03, 0, 0xEA, 0x00]];
var windowsOptions = [[35, 0x06, 0x00, 0x94, 0x01], [36, 0x06, 0x00, 0x23, 0x02],
    [37, 0x06, 0x00, 0x21, 0x02], [38, 0x06, 0x04, 0x2C, 0x1B], [39, 0x06, 0x04, 0x2C, 0x11],
    [40, 0x06, 0x00, 0xE3, 0x07], [41, 0x06, 0x00, 0xE3, 0x15]];
var shortcutOptions = [[42, 0x07, 0, 0xE0, 0x11], [43, 0x07, 0, 0xE0, 0x1B],
    [44, 0x07, 0, 0xE0, 0x06], [45, 0x07, 0, 0xE0, 0x19], [46, 0x07, 0, 0xE0, 0x16],
    [47, 0x07, 0, 0xE0, 0x13], [48, 0x07, 0, 0xE0, 0x09], [49, 0x07, 0, 0xE0, 0x1C],
    [50, 0x07, 0, 0xE0, 0x1D], [51, 0x07, 0, 0xE0, 0x04]];

// Row of options whose class and codes match, or -1. Code1 is compared only
// where it tells functions apart (Alt in the desktop functions).
function matchOption(options, c0, c1, c2, c3, compareCode1) {
    for (var i = 0; i < options.length; ++i) {
        var o = options[i];
        if (o[1] === c0 && o[3] === c2 && o[4] === c3 && (!compareCode1 || o[2] === c1))
            return i;
    }
    return -1;
}

// The text a button's entry shows: text(i) gives the dialog's text i,
// keyLabel(code) a key's label and macroName(slot) the macro bound there.
function describe(c0, c1, c2, c3, text, keyLabel, macroName) {
    var i;
    switch (c0) {
    case 0x00:
        switch (c2) {
        case 0xF0: return text(2);
        case 0xF2: return text(3);
        case 0xF1: return text(4);
        case 0xF4: return text(5);
        case 0xF3: return text(6);
        default: return text(7);
        }
    case 0x01:
        return keyLabel(c1);
    case 0x02: {
        var parts = [];
        for (let bit = 0; bit < 8; ++bit) {
            if (c1 & (1 << bit))
                parts.push(keyLabel(0xE0 + bit));
        }
        if (c2 !== 0)
            parts.push(keyLabel(c2));
        if (c3 !== 0)
            parts.push(keyLabel(c3));
        return parts.join("+");
    }
    case 0x03:
        i = matchOption(mediaOptions, c0, c1, c2, c3, false);
        return i < 0 ? "" : text(mediaOptions[i][0]);
    case 0x04:
        return macroName(c2);
    case 0x05:
        return c2 >= 1 && c2 <= 4 ? text(dpiOptions[c2 - 1][0]) : "";
    case 0x06:
        i = matchOption(windowsOptions, c0, c1, c2, c3, false);
        return i < 0 ? "" : text(windowsOptions[i][0]);
    case 0x07:
        if (c2 !== 0xE0)
            return "";
        i = matchOption(shortcutOptions, c0, 0, c2, c3, false);
        return i < 0 ? "" : text(shortcutOptions[i][0]);
    case 0x08:
        return c2 >= 1 && c2 <= 3 ? text(gunOptions[c2 - 1][0]) : "";
    default:
        return "";
    }
}
