import QtQuick
import QtTest

Item {
    id: top
    width: 400
    height: 300

    property var events: []
    function note(e) { events = events.concat([e]); }

    function make(tc, file, props) {
        var c = Qt.createComponent("qrc:/modules/qml/J2/" + file);
        tc.verify(c.status === Component.Ready, c.errorString());
        return tc.createTemporaryObject(c, top, props);
    }

    TestCase {
        name: "CheckBoxAndRadio"
        when: windowShown

        // The check box reports first and toggles afterwards; the radio
        // button selects first and reports afterwards.
        function test_order_data() {
            return [
                { tag: "check box off", file: "CheckBox.qml", before: false, seen: false, after: true },
                { tag: "check box on", file: "CheckBox.qml", before: true, seen: true, after: false },
                { tag: "radio off", file: "RadioButton.qml", before: false, seen: true, after: true },
                { tag: "radio stays on", file: "RadioButton.qml", before: true, seen: true, after: true },
            ];
        }
        function test_order(data) {
            var b = top.make(this, data.file, { x: 50, y: 50, textValue: "Endness", index: 7,
                                                isSelect: data.before });
            top.events = [];
            b.btnClick.connect(function (i) { top.note(i + " " + b.isSelect); });
            mouseClick(b, 2, b.height / 2);
            compare(top.events, ["7 " + data.seen]);
            compare(b.isSelect, data.after);
        }

        // The click area reaches six pixels beyond the control.
        function test_margin_data() {
            return [
                { tag: "check 5 px out", file: "CheckBox.qml", dx: -5, hit: true },
                { tag: "check 8 px out", file: "CheckBox.qml", dx: -8, hit: false },
                { tag: "radio 5 px out", file: "RadioButton.qml", dx: -5, hit: true },
                { tag: "radio 8 px out", file: "RadioButton.qml", dx: -8, hit: false },
            ];
        }
        function test_margin(data) {
            var b = top.make(this, data.file, { x: 50, y: 50, textValue: "x" });
            top.events = [];
            b.btnClick.connect(function (i) { top.note("click"); });
            mouseClick(b, data.dx, b.height / 2);
            compare(top.events.length, data.hit ? 1 : 0);
        }

    }

    TestCase {
        name: "RectInput"
        when: windowShown

        function create(minValue, maxValue) {
            var r = top.make(this, "RectInput.qml", { x: 40, y: 40, minValue: minValue, maxValue: maxValue });
            r.inputSignal.connect(function () { top.note("input"); });
            r.endInputSignal.connect(function () { top.note("end " + r.textValue); });
            top.events = [];
            return r;
        }
        function typeText(r, s) {
            mouseClick(r, r.width / 2, r.height / 2);
            r.input.selectAll();
            keyClick(Qt.Key_Backspace);
            for (var i = 0; i < s.length; ++i)
                keyClick(s.charAt(i));
        }

        function test_typing_data() {
            return [
                { tag: "five digits stop at four", min: 0, max: 99999, typed: "12345", shown: "1234", left: "1234" },
                { tag: "above range", min: 0, max: 255, typed: "300", shown: "300", left: "255" },
                { tag: "below a minimum above 1", min: 5, max: 100, typed: "3", shown: "3", left: "5" },
                { tag: "no sign", min: 0, max: 255, typed: "-7", shown: "7", left: "7" },
                { tag: "no letters", min: 0, max: 255, typed: "a1b", shown: "1", left: "1" },
                { tag: "emptied", min: 0, max: 255, typed: "", shown: "", left: "0" },
                { tag: "zero with min 1", min: 1, max: 100, typed: "0", shown: "0", left: "0" },
            ];
        }
        function test_typing(data) {
            var r = create(data.min, data.max);
            typeText(r, data.typed);
            compare(r.textValue, data.shown);
            compare(top.events, ["input"]);
            keyClick(Qt.Key_Return);
            verify(!r.editing, "Enter ends editing");
            compare(r.textValue, data.left);
            compare(top.events, ["input", "end " + data.left]);
        }

        function test_closeFocus() {
            var r = create(0, 255);
            typeText(r, "42");
            r.input.selectAll();
            verify(r.input.selectedText !== "");
            r.closeFocus();
            verify(!r.editing);
            compare(r.input.selectedText, "");
            compare(top.events, ["input", "end 42"]);
        }
    }
}
