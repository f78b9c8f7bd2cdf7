import QtQuick
import QtTest
import "qrc:/modules/qml/J2/MacroEncoder.js" as Enc
import "qrc:/modules/qml/J2/MacroSteps.js" as MS
import "qrc:/modules/qml/J2/dpiMath.js" as DM
import "qrc:/modules/qml/J2/lightMath.js" as LM
import "qrc:/modules/qml/J2/keyFunctions.js" as KF
import "qrc:/modules/qml/basic/slider.js" as SL
import "qrc:/modules/qml/basic/drag.js" as Drag

// The scene's arithmetic: what reaches the mouse is computed here.
TestCase {
    id: tc
    name: "Helpers"

    readonly property var codes: ({ "A": 0x04, "B": 0x05, "MS-L": 0xF0, "MS-R": 0xF1 })
    function toCode(label) { return codes[label] === undefined ? 0 : codes[label]; }
    function hex(bytes) {
        return bytes.map(function (b) { return (b < 16 ? "0" : "") + b.toString(16).toUpperCase(); }).join(" ");
    }
    // n alternating presses and releases of A, no pauses
    function taps(n) {
        var s = [];
        for (var i = 0; i < n; ++i)
            s.push(i % 2 === 0 ? "1,A" : "2,A");
        return s;
    }

    function test_macroImage_data() {
        return [
            { tag: "press, 50 ms, release", steps: ["1,A", "0,50", "2,A"], repeat: 1, bytes: "00 01 05 04 81 04 00 00" },
            { tag: "repeat 300", steps: ["3,MS-L", "4,MS-L"], repeat: 300, bytes: "01 2C 01 F0 81 F0 00 00" },
            { tag: "1260 ms stays short", steps: ["1,A", "0,1260", "2,A"], repeat: 1, bytes: "00 01 7E 04 81 04 00 00" },
            { tag: "1270 ms goes long", steps: ["1,A", "0,1270", "2,A"], repeat: 1,
              bytes: "00 01 00 04 00 01 00 3F 81 04 00 00" },
            { tag: "pauses add up", steps: ["1,A", "0,500", "0,770", "2,A"], repeat: 1,
              bytes: "00 01 00 04 00 01 00 3F 81 04 00 00" },
            { tag: "under one unit is one tick", steps: ["1,A", "0,5", "2,A"], repeat: 1, bytes: "00 01 01 04 81 04 00 00" },
            { tag: "release flag", steps: ["2,A", "0,30", "1,B"], repeat: 1, bytes: "00 01 83 04 01 05 00 00" },
            { tag: "release flag, long pause", steps: ["4,MS-R", "0,3000", "1,B"], repeat: 1,
              bytes: "00 01 80 F1 00 01 00 96 01 05 00 00" },
            { tag: "outer pauses dropped", steps: ["0,100", "1,A", "0,20", "2,A", "0,900"], repeat: 1,
              bytes: "00 01 02 04 81 04 00 00" },
            { tag: "999990 ms in 20 ms units", steps: ["1,A", "0,999990", "1,B"], repeat: 1,
              bytes: "00 01 00 04 00 01 C3 4F 01 05 00 00" },
            { tag: "1000000 ms in 50 ms units", steps: ["1,A", "0,1000000", "1,B"], repeat: 1,
              bytes: "00 01 00 04 00 02 4E 20 01 05 00 00" },
            { tag: "100 ms units", steps: ["1,A", "0,6000000", "1,B"], repeat: 1, bytes: "00 01 00 04 00 03 EA 60 01 05 00 00" },
            { tag: "beyond the count clamps", steps: ["1,A", "0,7000000", "1,B"], repeat: 1,
              bytes: "00 01 00 04 00 03 FF FF 01 05 00 00" },
            { tag: "unknown label, type and pause", steps: ["1,Nope", "7,B", "x", "0,abc", "0,-40", "2,Nope"], repeat: 1,
              bytes: "00 01 01 00 81 00 00 00" },
            { tag: "rows as steps", steps: [{ type: 1, info: "A" }, { type: 0, info: "2000" }, { type: 2, info: "A" }],
              repeat: 1, bytes: "00 01 00 04 00 01 00 64 81 04 00 00" },
            { tag: "no steps", steps: [], repeat: 2, bytes: "00 02" },
        ];
    }
    function test_macroImage(d) {
        compare(hex(Enc.encode(d.steps, d.repeat, toCode)), d.bytes);
        compare(Enc.imageLength(d.steps), d.bytes.split(" ").length, "length the editor checks");
    }

    function test_macroFromFile_data() {
        return [
            { tag: "steps then repeat", list: ["1,A", "0,50", "2,A", "1"], bytes: "00 01 05 04 81 04 00 00" },
            { tag: "no file", list: [], bytes: "00 01" },
            { tag: "repeat beyond two bytes", list: ["1,A", "70000"], bytes: "FF FF 01 04 00 00" },
            { tag: "unreadable repeat plays once", list: ["1,A", "x"], bytes: "00 01 01 04 00 00" },
        ];
    }
    function test_macroFromFile(d) {
        compare(hex(Enc.encodeList(d.list, toCode)), d.bytes);
    }

    // Whatever the file holds, the image fits the mouse's 128-byte slot and
    // ends with a one-tick action and the terminator.
    function test_macroSlotBound_data() {
        return [
            { tag: "many actions", steps: taps(70), length: 128, unbounded: 144, add: false },
            { tag: "exactly full", steps: taps(62), length: 128, unbounded: 128, add: false },
            { tag: "long pause would pass it", steps: taps(60).concat(["0,5000", "1,B"]), length: 124, unbounded: 130,
              add: false },
            { tag: "short pause still fits", steps: taps(60).concat(["0,500", "1,B"]), length: 126, unbounded: 126,
              add: true },
        ];
    }
    function test_macroSlotBound(d) {
        var img = Enc.encode(d.steps, 1, toCode);
        compare(img.length, d.length);
        compare(img.slice(-4)[0] & 0x7F, 1);
        compare(img.slice(-2), [0, 0]);
        compare(Enc.imageLength(d.steps), d.unbounded);
        // the editor refuses a step once the image reached its limit
        compare(MS.canAdd(d.steps.slice(0, -1), d.steps), d.add);
    }

    function test_macroSteps() {
        compare(MS.fromStored(["1,A", "9,B", "0,20", "5"], Number), { steps: [{ type: 1, info: "A" },
                                                                               { type: 0, info: "20" }], repeat: 5 });
        // an edit may leave an oversized image smaller, never make one
        var big = taps(60).concat(["0,5000", "1,A", "2,A"]);
        verify(MS.canChange(big, big.slice(0, -1)));
        verify(!MS.canChange(taps(60), big.slice(0, -1)));
    }

    // Every value on the DPI grid comes back from its own knob position.
    function test_dpiKnob_data() {
        return [{ tag: "200-6000/50", lo: 200, hi: 6000, base: 50 }, { tag: "100-12000/100", lo: 100, hi: 12000, base: 100 }];
    }
    function test_dpiKnob(d) {
        compare([DM.dpiOfKnob(DM.KNOB_MIN, d.lo, d.hi, d.base), DM.dpiOfKnob(DM.KNOB_MAX, d.lo, d.hi, d.base)], [d.lo, d.hi]);
        for (var v = d.lo; v <= d.hi; v += d.base)
            compare(DM.dpiOfKnob(DM.knobOfDpi(v, d.lo, d.hi), d.lo, d.hi, d.base), v, "value " + v);
        compare([DM.knobOfDpi(d.hi * 2, d.lo, d.hi), DM.knobOfDpi(0, d.lo, d.hi)], [DM.KNOB_MAX, DM.KNOB_MIN]);
        // a stored value on the grid is shown as it is, one off the grid from its knob
        compare(DM.loadedDpi(d.lo + d.base, 90, d.lo, d.hi, d.base), d.lo + d.base);
        compare(DM.loadedDpi(d.lo + 1, DM.KNOB_MIN, d.lo, d.hi, d.base), d.lo);
    }

    function test_rateAndPointer() {
        compare([0, 1, 2, 3, 7, -1, "fast", undefined].map(DM.rateCode), [8, 4, 2, 1, 1, 1, 1, 1]);
        // pointer knob positions to the system's speed step; thresholds exclusive
        compare([3, 4, 36, 37, 337].map(DM.speedIndex), [0, 1, 1, 2, 10]);
    }

    function test_light() {
        compare([0, 15, 30, 45, 105, 165, 179, 182, 183].map(LM.hueColor),
                [[255, 0, 0], [255, 127, 0], [255, 255, 0], [128, 255, 0], [0, 128, 255], [255, 0, 128], [255, 0, 9],
                 [255, 0, 0], [255, 255, 255]]);
        var u = 30.5 / 256;
        fuzzyCompare(LM.markerPos(0, 100, 255), 3 * 30.5 + u * 155, 1e-9);
        fuzzyCompare(LM.markerPos(255, 0, 100), 5 * 30.5 + u * 155, 1e-9);
        compare([LM.markerPos(255, 255, 255), LM.markerPos(100, 150, 200)], [183, 0]);
        compare(LM.parseColor("#6496C8"), [100, 150, 200]);
        compare([LM.parseColor("6496c8"), LM.colorText(300, -1, 15)], [null, "#ff000f"]);
    }

    // Colour blocks shown: 0 always, 2..4 by the mouse's stage count, its
    // full colour lighting, or effect 4 on a 55328.
    function test_blockShown_data() {
        return [
            { tag: "colourful", colorful: true, dpi: 2, e: 0, shown: [0, 2, 3, 4] },
            { tag: "plain, 3 stages", dpi: 3, e: 0, shown: [0, 2] },
            { tag: "plain, 5 stages", dpi: 5, e: 0, shown: [0, 2, 3, 4] },
            { tag: "plain, 1 stage", dpi: 1, e: 1, shown: [0] },
            { tag: "55328, effect 0", is55328: true, dpi: 8, e: 0, shown: [0] },
            { tag: "55328, effect 4", is55328: true, dpi: 1, e: 4, shown: [0, 2, 3, 4] },
        ];
    }
    function test_blockShown(d) {
        var shown = [];
        for (var i = 0; i < 8; ++i)
            if (LM.blockShown(i, d.e, d.dpi, d.colorful === true, d.is55328 === true))
                shown.push(i);
        compare(shown, d.shown);
    }

    // Grid of the horizontal slider: the knob's left edge runs from 3 to
    // width - 15.
    function test_slider() {
        compare([0, 1, 4].map(function (i) { return SL.gridPos(96, 4, i); }), [3, 22.5, 81]);
        compare(SL.gridPos(200, 10, 5), 94);
        compare([SL.snap(96, 4, 23, 1), SL.snap(96, 4, 24, 1), SL.snap(96, 4, 500, 1)],
                [{ index: 1, pos: 22.5 }, { index: 2, pos: 42 }, { index: 4, pos: 81 }]);
        compare([SL.ratioPos(96, 0.5), SL.ratioPos(96, 1), SL.clampPos(96, -4)], [43, 81, 3]);
    }

    // A dragged dialog stays wholly inside the window.
    function test_dialogDrag_data() {
        return [
            { tag: "inside", x: 299, y: 269, dx: 30, dy: -20, to: { x: 329, y: 249 } },
            { tag: "past the top left", x: 299, y: 269, dx: -1000, dy: -1000, to: { x: 0, y: 0 } },
            { tag: "past the bottom right", x: 299, y: 269, dx: 2000, dy: 2000, to: { x: 597, y: 538 } },
            { tag: "larger than the window", x: 0, y: 0, dx: 50, dy: 50, w: 1100, to: { x: 0, y: 50 } },
        ];
    }
    function test_dialogDrag(d) {
        compare(Drag.clampedMove(d.x, d.y, d.dx, d.dy, d.w || 427, 102, 1024, 640), d.to);
    }

    // The text a button's entry shows (the dialog's own choices are checked
    // through the dialog).
    function test_describe_data() {
        return [
            { tag: "fire key", e: [1, 4, 10, 0], text: "k4" },
            { tag: "combination", e: [2, 0x83, 4, 5], text: "k224+k225+k231+k4+k5" },
            { tag: "combination, second key only", e: [2, 0, 0, 6], text: "k6" },
            { tag: "media unknown", e: [3, 0, 0xCD, 1], text: "" },
            { tag: "macro", e: [4, 1, 8, 0], text: "m8" },
            { tag: "DPI out of range", e: [5, 0, 5, 0], text: "" },
            { tag: "windows, code1 not compared", e: [6, 4, 0xE3, 7], text: "t40" },
            { tag: "shortcut without ctrl", e: [7, 0, 0, 0x19], text: "" },
            { tag: "other class", e: [9, 0, 1, 0], text: "" },
        ];
    }
    function test_describe(d) {
        compare(KF.describe(d.e[0], d.e[1], d.e[2], d.e[3], function (i) { return "t" + i; },
                            function (c) { return "k" + c; }, function (s) { return "m" + s; }), d.text);
    }

    // The key label table: both directions, and a language group over it.
    function test_keyLabels() {
        var c = Qt.createComponent("qrc:/modules/qml/J2/KeyCodeString.qml");
        verify(c.status === Component.Ready, c.errorString());
        var t = createTemporaryObject(c, tc);
        compare([0x31, 0x32, 0x73, 0xE7, 0xF4, 0x74, 0xF5, "x"].map(t.keycodeTostr),
                ["\\", "\\", "F24", "RWin", "MS-B5", "", "", ""]);
        compare(["A", "MS-M", "\\", "enter", ""].map(t.strTokeycode), [0x04, 0xF2, 0x31, 0, 0]);
        for (var i = 0; i < t.keyCodes.length; ++i) {
            var code = t.keyCodes[i];
            compare(t.strTokeycode(t.keycodeTostr(code)), code === 0x32 ? 0x31 : code, "code " + code);
        }
        t.keyCodeLang = ["a", "b", "c"];
        compare([t.keycodeTostr(0x06), t.keycodeTostr(0x07), t.strTokeycode("c"), t.strTokeycode("D")], ["c", "", 0x06, 0]);
    }
}
