import QtQuick
import QtTest

// The scene's own controls under the mouse and keyboard: what they report,
// and when.
Item {
    id: top
    width: 600
    height: 600

    property var events: []
    function note(e) { events = events.concat([e]); }

    TestCase {
        name: "Controls"
        when: windowShown

        function make(file, props, signalNames) {
            var c = Qt.createComponent("qrc:/modules/qml/J2/" + file);
            verify(c.status === Component.Ready, c.errorString());
            var o = createTemporaryObject(c, top, props);
            signalNames.forEach(function (s) {
                o[s].connect(function (a) { top.note(s + (a === undefined ? "" : " " + a)); });
            });
            top.events = [];
            return o;
        }
        function list(n) {
            var rows = [];
            for (var i = 0; i < n; ++i)
                rows.push({ textValue: "row " + i });
            return make("DropDownList.qml", { x: 20, y: 20, width: 120, mdItems: rows }, ["btnClick", "valueChange"]);
        }

        // A choice is reported once the list has closed, also for the row
        // already chosen; the strip at the right edge is no row.
        function test_listChoice_data() {
            return [{ tag: "another row", row: 0, x: 30, sent: true }, { tag: "the current row", row: 2, x: 30, sent: true },
                    { tag: "right edge", row: 1, x: 112, sent: false }];
        }
        function test_listChoice(d) {
            var l = list(4);
            mouseClick(l, 30, 12);
            mouseClick(l, 30, 12);
            tryCompare(l, "animating", false);
            verify(l.isDrop, "a click while sliding does not reverse the opening");
            top.events = [];
            mouseClick(l, d.x, 24 + 24 * d.row + 12);
            compare(top.events, []);
            tryVerify(function () { return !l.animating; });
            compare(l.isDrop, !d.sent);
            compare(top.events, d.sent ? ["valueChange " + d.row] : []);
        }

        // A stepped slider snaps with one pixel of tolerance and reports at
        // the end of the drag only; a free one follows and stays on its track.
        function test_sliderDrag_data() {
            return [
                { tag: "within tolerance", to: 23, isScale: true, events: ["dragSignal true", "valueChangeDelay 22.5", "dragSignal false"] },
                { tag: "past tolerance", to: 24, isScale: true, events: ["dragSignal true", "valueChangeDelay 42", "dragSignal false"] },
                { tag: "free past the end", to: 300, isScale: false,
                  events: ["dragSignal true", "valueChange 81", "valueChangeDelay 81", "dragSignal false"] },
            ];
        }
        function test_sliderDrag(d) {
            var s = make("SliderButton.qml", { x: 20, y: 20, width: 96, segment: 4, isScale: d.isScale },
                         ["valueChange", "valueChangeDelay", "dragSignal"]);
            s.setValue(3);
            mousePress(s, 9, 6);
            mouseMove(s, 9 + d.to - 3, 6, -1, Qt.LeftButton);
            mouseRelease(s, 9 + d.to - 3, 6);
            compare(top.events, d.events);
        }
    }
}
