import QtQuick
import QtTest

// The key label table on its own: codes, default labels, both directions of
// the lookup, and what a language group does to it.
Item {
    id: top

    TestCase {
        name: "KeyCodeString"

        function create() {
            var c = Qt.createComponent("qrc:/modules/qml/J2/KeyCodeString.qml");
            verify(c.status === Component.Ready, c.errorString());
            var t = createTemporaryObject(c, top);
            verify(t !== null);
            return t;
        }

        function test_tableShape() {
            var t = create();
            compare(t.defaultLabels.length, t.keyCodes.length);
            // Strictly rising codes: no code twice, none out of place.
            for (var i = 1; i < t.keyCodes.length; ++i)
                verify(t.keyCodes[i] > t.keyCodes[i - 1], "code " + i);
        }

        function test_label_data() {
            return [
                { tag: "backslash", code: 0x31, label: "\\" },
                { tag: "non-US hash", code: 0x32, label: "\\" },
                { tag: "comma", code: 0x36, label: "\uFF0C" },
                { tag: "up", code: 0x52, label: "\u25B2" },
                { tag: "F24", code: 0x73, label: "F24" },
                { tag: "Lang2", code: 0x91, label: "Lang2" },
                { tag: "RWin", code: 0xE7, label: "RWin" },
                { tag: "MS-B5", code: 0xF4, label: "MS-B5" },
                { tag: "gap after F24", code: 0x74, label: "" },
                { tag: "beyond the mouse buttons", code: 0xF5, label: "" },
                { tag: "not a number", code: "x", label: "" },
            ];
        }
        function test_label(data) {
            var t = create();
            compare(t.keycodeTostr(data.code), data.label);
        }

        function test_code_data() {
            return [
                { tag: "backslash gives the first of its two codes", label: "\\", code: 0x31 },
                { tag: "A", label: "A", code: 0x04 },
                { tag: "MS-M", label: "MS-M", code: 0xF2 },
                { tag: "unknown", label: "Hyper", code: 0 },
                { tag: "case matters", label: "enter", code: 0 },
                { tag: "empty", label: "", code: 0 },
            ];
        }
        function test_code(data) {
            var t = create();
            compare(t.strTokeycode(data.label), data.code);
        }

        // Every label but the shared backslash leads back to its own code.
        function test_roundTrip() {
            var t = create();
            for (var i = 0; i < t.keyCodes.length; ++i) {
                var code = t.keyCodes[i];
                var back = t.strTokeycode(t.keycodeTostr(code));
                compare(back, code === 0x32 ? 0x31 : code, "code " + code.toString(16));
            }
        }

        function test_language_data() {
            var full = [];
            for (var i = 0; i < 133; ++i)
                full.push("k" + i);
            return [
                { tag: "whole group", texts: full, code: 0xF4, label: "k132" },
                { tag: "short group, inside", texts: ["a", "b", "c"], code: 0x06, label: "c" },
                { tag: "short group, past its end", texts: ["a", "b", "c"], code: 0x07, label: "" },
                { tag: "empty group", texts: [], code: 0x04, label: "" },
            ];
        }
        function test_language(data) {
            var t = create();
            t.keyCodeLang = data.texts;
            compare(t.keycodeTostr(data.code), data.label);
            if (data.label !== "")
                compare(t.strTokeycode(data.label), data.code);
        }

        function test_shortGroupLeavesNoLabelToFind() {
            var t = create();
            t.keyCodeLang = ["a", "b", "c"];
            compare(t.strTokeycode("D"), 0);
            compare(t.strTokeycode("a"), 0x04);
        }
    }
}
