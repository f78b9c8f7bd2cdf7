import QtQuick
import QtTest
import "qrc:/modules/qml/J2/MacroEncoder.js" as Enc

// The macro image built from file steps, byte for byte.
TestCase {
    name: "MacroEncoder"

    readonly property var codes: ({ "A": 0x04, "B": 0x05, "C": 0x06, "MS-L": 0xF0, "MS-R": 0xF1 })
    function toCode(label) {
        return codes[label] === undefined ? 0 : codes[label];
    }

    function hex(bytes) {
        return bytes.map(function (b) { return (b < 16 ? "0" : "") + b.toString(16).toUpperCase(); })
                .join(" ");
    }

    // n alternating presses and releases of A, no pauses.
    function taps(n) {
        var s = [];
        for (var i = 0; i < n; ++i)
            s.push(i % 2 === 0 ? "1,A" : "2,A");
        return s;
    }

    function test_image_data() {
        return [
            { tag: "press, 50 ms, release", steps: ["1,A", "0,50", "2,A"], repeat: 1,
              bytes: "00 01 05 04 81 04 00 00" },
            { tag: "2000 ms in 20 ms units", steps: ["1,A", "0,2000", "2,A"], repeat: 1,
              bytes: "00 01 00 04 00 01 00 64 81 04 00 00" },
            { tag: "repeat 300", steps: ["3,MS-L", "4,MS-L"], repeat: 300,
              bytes: "01 2C 01 F0 81 F0 00 00" },
            { tag: "repeat 0 kept", steps: ["1,A"], repeat: 0, bytes: "00 00 01 04 00 00" },
            { tag: "1260 ms stays short", steps: ["1,A", "0,1260", "2,A"], repeat: 1,
              bytes: "00 01 7E 04 81 04 00 00" },
            { tag: "1270 ms goes long", steps: ["1,A", "0,1270", "2,A"], repeat: 1,
              bytes: "00 01 00 04 00 01 00 3F 81 04 00 00" },
            { tag: "pauses add up", steps: ["1,A", "0,500", "0,770", "2,A"], repeat: 1,
              bytes: "00 01 00 04 00 01 00 3F 81 04 00 00" },
            { tag: "under one unit is no pause", steps: ["1,A", "0,5", "2,A"], repeat: 1,
              bytes: "00 01 01 04 81 04 00 00" },
            { tag: "release flag into the pause", steps: ["2,A", "0,30", "1,B"], repeat: 1,
              bytes: "00 01 83 04 01 05 00 00" },
            { tag: "release flag on a long pause", steps: ["4,MS-R", "0,3000", "1,B"], repeat: 1,
              bytes: "00 01 80 F1 00 01 00 96 01 05 00 00" },
            { tag: "outer pauses dropped", steps: ["0,100", "1,A", "0,20", "2,A", "0,900"],
              repeat: 1, bytes: "00 01 02 04 81 04 00 00" },
            { tag: "50 ms units", steps: ["1,A", "0,1000000", "1,B"], repeat: 1,
              bytes: "00 01 00 04 00 02 4E 20 01 05 00 00" },
            { tag: "6000 s fits in 100 ms units", steps: ["1,A", "0,6000000", "1,B"], repeat: 1,
              bytes: "00 01 00 04 00 03 EA 60 01 05 00 00" },
            { tag: "beyond the count clamps", steps: ["1,A", "0,7000000", "1,B"], repeat: 1,
              bytes: "00 01 00 04 00 03 FF FF 01 05 00 00" },
            { tag: "unknown label is code 0", steps: ["1,Nope", "2,Nope"], repeat: 1,
              bytes: "00 01 01 00 81 00 00 00" },
            { tag: "unknown step type ignored", steps: ["1,A", "7,B", "x", "2,A"], repeat: 1,
              bytes: "00 01 01 04 81 04 00 00" },
            { tag: "unreadable pause is none", steps: ["1,A", "0,abc", "0,-40", "2,A"], repeat: 1,
              bytes: "00 01 01 04 81 04 00 00" },
            { tag: "no steps", steps: [], repeat: 2, bytes: "00 02" },
        ];
    }

    function test_image(d) {
        compare(hex(Enc.encode(d.steps, d.repeat, toCode)), d.bytes);
        var length = d.bytes.split(" ").length;
        compare(Enc.imageLength(d.steps), length, "length matches the image");
    }

    function test_rows_and_strings_encode_alike() {
        var rows = [{ type: 1, info: "A" }, { type: 0, info: "2000" }, { type: 2, info: "A" }];
        compare(Enc.encode(rows, 1, toCode), Enc.encode(["1,A", "0,2000", "2,A"], 1, toCode));
    }

    function test_list_from_file_data() {
        return [
            { tag: "steps then repeat", list: ["1,A", "0,50", "2,A", "1"], bytes: "00 01 05 04 81 04 00 00" },
            { tag: "repeat only", list: ["7"], bytes: "00 07" },
            { tag: "no file", list: [], bytes: "00 01" },
            { tag: "repeat beyond two bytes", list: ["1,A", "70000"], bytes: "FF FF 01 04 00 00" },
            { tag: "unreadable repeat plays once", list: ["1,A", "x"], bytes: "00 01 01 04 00 00" },
        ];
    }

    function test_list_from_file(d) {
        compare(hex(Enc.encodeList(d.list, toCode)), d.bytes);
    }

    // The image must fit the mouse's 128-byte slot whatever the file holds.
    function test_slot_bound_data() {
        var nearFull = taps(60); // 124 bytes
        return [
            { tag: "many actions", steps: taps(70), length: 128, actions: 62, unbounded: 144 },
            { tag: "exactly full", steps: taps(62), length: 128, actions: 62, unbounded: 128 },
            { tag: "long pause would pass it", steps: nearFull.concat(["0,5000", "1,B"]),
              length: 124, actions: 60, unbounded: 130 },
            { tag: "short pause still fits", steps: nearFull.concat(["0,500", "1,B"]),
              length: 126, actions: 61, unbounded: 126 },
        ];
    }

    function test_slot_bound(d) {
        var img = Enc.encode(d.steps, 1, toCode);
        compare(img.length, d.length);
        compare((img.length - 4) / 2, d.actions);
        compare(img[img.length - 2], 0);
        compare(img[img.length - 1], 0);
        // The pair before the terminator ends the macro with one tick.
        compare(img[img.length - 4] & 0x7F, 1);
        // what the editor checks before it adds a step
        compare(Enc.imageLength(d.steps), d.unbounded);
    }

}
