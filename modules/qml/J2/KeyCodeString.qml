import QtQuick

// The key label table: HID usage codes and their short labels, in two
// parallel lists. The language group "keyCode" replaces the labels as a whole
// and in order; a group shorter than the table leaves the codes past its end
// without a label rather than shifting labels onto the wrong keys.
Item {
    id: _KeyCodeString

    readonly property var keyCodes: buildCodes()
    readonly property var defaultLabels: buildLabels()
    // Replaced by the window at start-up with the "keyCode" texts.
    property var keyCodeLang: defaultLabels
    readonly property int count: keyCodes.length

    visible: false

    function buildCodes() {
        var codes = [];
        for (let c = 0x04; c <= 0x73; ++c)
            codes.push(c);
        codes.push(0x85);
        for (let c = 0x87; c <= 0x8B; ++c)
            codes.push(c);
        codes.push(0x90, 0x91);
        for (let c = 0xE0; c <= 0xE7; ++c)
            codes.push(c);
        for (let c = 0xF0; c <= 0xF4; ++c)
            codes.push(c);
        return codes;
    }

    function buildLabels() {
        var l = [];
        for (let i = 0; i < 26; ++i)
            l.push(String.fromCharCode(65 + i));
        for (let i = 1; i <= 9; ++i)
            l.push(String(i));
        l.push("0");
        l.push("Enter", "Esc", "Back", "Tab", "Space");
        // 0x31 and 0x32 (non-US hash) share the backslash; a label lookup
        // finds 0x31 first.
        l.push("-", "=", "[", "]", "\\", "\\", ";", "'", "`", "\uFF0C", ".", "/");
        l.push("Caps");
        for (let i = 1; i <= 12; ++i)
            l.push("F" + i);
        l.push("Prt", "Scr", "Pau", "Ins", "Hom", "Pgu", "Del", "End", "PgD");
        l.push("\u25BA", "\u25C4", "\u25BC", "\u25B2");
        l.push("Num", "KP/", "KP*", "KP-", "KP+", "KPEnter");
        for (let i = 1; i <= 9; ++i)
            l.push("KP" + i);
        l.push("KP0", "KP.");
        l.push("Eur2", "App", "Power", "KP=");
        for (let i = 13; i <= 24; ++i)
            l.push("F" + i);
        l.push("Keypad");
        // International3 needs a label no other code carries, or the way
        // back from label to code would land on another key.
        l.push("Intl1", "Intl2", "Intl3", "Intl4", "Intl5");
        l.push("Lang1", "Lang2");
        l.push("LCtrl", "LShift", "LAlt", "LWin", "RCtrl", "RShift", "RAlt", "RWin");
        l.push("MS-L", "MS-R", "MS-M", "MS-B4", "MS-B5");
        return l;
    }

    function labelAt(i) {
        var labels = keyCodeLang;
        if (!labels || i < 0 || i >= labels.length)
            return "";
        var t = labels[i];
        return t === undefined || t === null ? "" : String(t);
    }

    function indexOfCode(code) {
        var n = Number(code);
        if (isNaN(n))
            return -1;
        return keyCodes.indexOf(Math.floor(n));
    }

    // Label of a usage code, "" for a code the table does not know.
    function keycodeTostr(code) {
        return labelAt(indexOfCode(code));
    }

    // Code of the first entry carrying the label, 0 when none does. An empty
    // label never matches: it is what a missing translation looks like.
    function strTokeycode(label) {
        if (label === undefined || label === null)
            return 0;
        var s = String(label);
        if (s === "")
            return 0;
        for (var i = 0; i < keyCodes.length; ++i) {
            if (labelAt(i) === s)
                return keyCodes[i];
        }
        return 0;
    }
}
