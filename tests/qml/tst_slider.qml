import QtQuick
import QtTest

Item {
    id: top
    width: 400
    height: 200

    property var events: []
    function note(e) { events = events.concat([e]); }


    TestCase {
        name: "SliderButton"
        when: windowShown

        function create(width, segment, isScale) {
            var c = Qt.createComponent("qrc:/modules/qml/J2/SliderButton.qml");
            verify(c.status === Component.Ready, c.errorString());
            var s = createTemporaryObject(c, top, { x: 20, y: 20, width: width, segment: segment,
                                                   isScale: isScale });
            verify(s !== null);
            s.btnClick.connect(function () { top.note("btnClick"); });
            s.valueChange.connect(function (p) { top.note("valueChange " + p); });
            s.valueChangeDelay.connect(function (p) { top.note("valueChangeDelay " + p); });
            s.dragSignal.connect(function (d) { top.note("dragSignal " + d); });
            top.events = [];
            return s;
        }

        function test_grid_data() {
            return [
                { tag: "96/4 start", width: 96, segment: 4, i: 0, pos: 3 },
                { tag: "96/4 one", width: 96, segment: 4, i: 1, pos: 22.5 },
                { tag: "96/4 end", width: 96, segment: 4, i: 4, pos: 81 },
                { tag: "200/10 mid", width: 200, segment: 10, i: 5, pos: 94 },
            ];
        }
        function test_grid(data) {
            var s = create(data.width, data.segment, true);
            compare(s.gridPosition(data.i), data.pos);
            s.setIndexValue(data.i, false);
            compare(s.position, data.pos);
            compare(s.segmentValue, data.i);
            compare(top.events, [], "setIndexValue without send is silent");
        }

        // The pointer's x minus half the knob is the target; a stepped
        // slider takes the first position at or right of it.
        function test_clickSnaps_data() {
            return [
                { tag: "just right of 22.5", x: 29, pos: 42, index: 2 },
                { tag: "just left of 22.5", x: 28, pos: 22.5, index: 1 },
                { tag: "far left", x: 1, pos: 3, index: 0 },
                { tag: "right end", x: 95, pos: 81, index: 4 },
            ];
        }
        function test_clickSnaps(data) {
            var s = create(96, 4, true);
            // keep the knob away from the click, which must land on the track
            s.setIndexValue(data.x < 48 ? 4 : 0, false);
            mouseClick(s, data.x, 6);
            compare(top.events[0], "btnClick");
            tryCompare(s, "moving", false);
            compare(s.position, data.pos);
            compare(s.segmentValue, data.index);
            compare(top.events, ["btnClick", "valueChange " + data.pos, "valueChangeDelay " + data.pos]);
        }

        function test_clickWithoutScale() {
            var s = create(96, 4, false);
            mouseClick(s, 40, 6);
            // Nothing is reported while the knob is still moving there.
            compare(top.events, ["btnClick"]);
            tryCompare(s, "moving", false);
            compare(s.position, 34);
            compare(top.events, ["btnClick", "valueChange 34", "valueChangeDelay 34"]);
        }

        function test_dragFree() {
            var s = create(96, 4, false);
            s.setValue(3);
            mousePress(s, 9, 6);
            mouseMove(s, 20, 6, -1, Qt.LeftButton);
            mouseMove(s, 30, 6, -1, Qt.LeftButton);
            mouseMove(s, 200, 6, -1, Qt.LeftButton);
            mouseRelease(s, 200, 6);
            compare(s.position, 81, "kept within the track");
            compare(top.events[0], "btnClick");
            compare(top.events[1], "dragSignal true");
            verify(top.events.indexOf("valueChange 81") > 1);
            compare(top.events.slice(-2), ["valueChangeDelay 81", "dragSignal false"]);
        }

        // After a drag the knob snaps to the first grid position at or right
        // of it, with one pixel of tolerance.
        function test_dragSnaps_data() {
            return [
                { tag: "within tolerance", to: 23, pos: 22.5, index: 1 },
                { tag: "past tolerance", to: 24, pos: 42, index: 2 },
                { tag: "on the end", to: 81, pos: 81, index: 4 },
            ];
        }
        function test_dragSnaps(data) {
            var s = create(96, 4, true);
            s.setValue(3);
            mousePress(s, 9, 6);
            mouseMove(s, 9 + (data.to - 3), 6, -1, Qt.LeftButton);
            compare(s.position, data.to);
            mouseRelease(s, 9 + (data.to - 3), 6);
            compare(s.position, data.pos);
            compare(s.segmentValue, data.index);
            // A stepped slider reports only at the end of the drag.
            compare(top.events, ["btnClick", "dragSignal true", "valueChangeDelay " + data.pos,
                                 "dragSignal false"]);
        }

        function test_setters_data() {
            return [
                { tag: "ratio half", call: "ratio", arg: 0.5, pos: 43, signal: true },
                { tag: "ratio one stays on the track", call: "ratio", arg: 1, pos: 81, signal: true },
                { tag: "index sent", call: "index", arg: 3, pos: 61.5, signal: true },
                { tag: "value beyond the track", call: "value", arg: 500, pos: 81, signal: false },
            ];
        }
        function test_setters(data) {
            var s = create(96, 4, false);
            if (data.call === "ratio")
                s.setRatioValue(data.arg);
            else if (data.call === "index")
                s.setIndexValue(data.arg, true);
            else
                s.setValue(data.arg);
            compare(s.position, data.pos);
            compare(top.events, data.signal ? ["valueChange " + data.pos] : []);
        }
    }
}
