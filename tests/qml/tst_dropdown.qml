import QtQuick
import QtTest

Item {
    id: top
    width: 600
    height: 600

    property var events: []
    function note(e) { events = events.concat([e]); }

    // Whatever lies under an open drop-down must never see its clicks.
    MouseArea {
        anchors.fill: parent
        onClicked: top.note("underneath")
    }

    function rows(n) {
        var out = [];
        for (var i = 0; i < n; ++i)
            out.push({ textValue: "row " + i });
        return out;
    }

    TestCase {
        name: "DropDownList"
        when: windowShown

        function create(n) {
            var c = Qt.createComponent("qrc:/modules/qml/J2/DropDownList.qml");
            verify(c.status === Component.Ready, c.errorString());
            var d = createTemporaryObject(c, top, { x: 20, y: 20, width: 120, mdItems: top.rows(n) });
            d.btnClick.connect(function () { top.note("btnClick"); });
            d.valueChange.connect(function (i) { top.note("valueChange " + i + " open " + d.isDrop); });
            d.dragSignal.connect(function (b) { top.note("dragSignal " + b); });
            top.events = [];
            return d;
        }
        function open(d) {
            mouseClick(d, 30, 12);
            tryCompare(d, "animating", false);
            verify(d.isDrop);
            top.events = [];
        }

        // Both slides take 180 - 10 x rows ms, never below 0; the list
        // starts on its third row until a page chooses.
        function test_durationAndFirstRow_data() {
            return [
                { tag: "4 rows", n: 4, ms: 140 },
                { tag: "18 rows", n: 18, ms: 0 },
                { tag: "30 rows never negative", n: 30, ms: 0 },
            ];
        }
        function test_durationAndFirstRow(data) {
            var d = create(data.n);
            compare(d.animationDuration, data.ms);
            compare(d.currentSelect, 2);
            compare(d.textValue, "row 2");
        }

        function test_chooseReportsAfterClosing_data() {
            return [
                { tag: "another row", row: 0 },
                { tag: "the current row", row: 2 },
            ];
        }
        function test_chooseReportsAfterClosing(data) {
            var d = create(4);
            mouseClick(d, 30, 12);
            compare(top.events, ["btnClick"]);
            verify(d.isDrop);
            tryCompare(d, "animating", false);
            top.events = [];
            mouseClick(d, 30, 24 + 24 * data.row + 12);
            compare(d.currentSelect, data.row);
            compare(top.events, [], "nothing reported while the list closes");
            tryCompare(d, "isDrop", false);
            compare(top.events, ["valueChange " + data.row + " open false"]);
            compare(d.textValue, "row " + data.row);
        }

        function test_rightEdgeOfRowIsNotARow() {
            var d = create(4);
            open(d);
            mouseClick(d, d.width - 8, 24 + 12);
            tryVerify(function () { return !d.animating; });
            verify(d.isDrop);
            compare(d.currentSelect, 2);
            compare(top.events, []);
        }

        function test_longNameIsElided() {
            var d = create(3);
            d.mdItems = [{ textValue: "m".repeat(80) }];
            d.currentSelect = 0;
            var t = findChild(d, "shownText");
            verify(t.truncated);
            verify(t.contentWidth < d.width - 16, "ends before the drop arrow");
        }

        function test_boxClickWhileSliding() {
            var d = create(4);
            mouseClick(d, 30, 12);
            verify(d.animating);
            mouseClick(d, 30, 12);
            compare(top.events, ["btnClick", "btnClick"]);
            tryCompare(d, "animating", false);
            verify(d.isDrop, "the second click did not reverse the opening");
        }

        function test_closeMenuOnlyWhenOpen() {
            var d = create(4);
            mouseClick(d, 30, 12);
            d.closeMenu();
            tryCompare(d, "animating", false);
            verify(d.isDrop, "closeMenu during the opening is ignored");
            d.closeMenu();
            tryCompare(d, "isDrop", false);
            compare(top.events, ["btnClick"], "closing without a choice reports nothing");
        }

        function test_scrollHandle() {
            var d = create(14);
            open(d);
            // the handle is the 12 px wide item at the list's right edge
            mousePress(d, d.width - 6, 24 + 6);
            mouseMove(d, d.width - 6, 24 + 200, -1, Qt.LeftButton);
            mouseRelease(d, d.width - 6, 24 + 200);
            compare(top.events, ["dragSignal true", "dragSignal false"]);
            verify(d.isDrop);
        }

    }

    TestCase {
        name: "DropDownGrid"
        when: windowShown

        function create(cells) {
            var c = Qt.createComponent("qrc:/modules/qml/J2/DropDownGrid.qml");
            verify(c.status === Component.Ready, c.errorString());
            var g = createTemporaryObject(c, top, { x: 20, y: 20, width: 100, mdItems: cells });
            g.btnClick.connect(function () { top.note("btnClick " + g.currentSelect + " open " + g.isDrop); });
            top.events = [];
            return g;
        }

        function test_cells_data() {
            return [
                { tag: "filled cell", cell: 4, select: 4 },
                { tag: "empty cell keeps the choice", cell: 8, select: 1 },
            ];
        }
        function test_cells(data) {
            var g = create(["a", "b", "c", "d", "e", "f", "g", "h", ""]);
            g.currentSelect = 1;
            mouseClick(g, 30, 12);
            compare(top.events, [], "opening reports nothing");
            tryCompare(g, "animating", false);
            var col = data.cell % 3, row = Math.floor(data.cell / 3);
            mouseClick(g, col * 100 + 50, 24 + row * 24 + 12);
            compare(g.currentSelect, data.select);
            compare(top.events.length, 1);
            compare(top.events[0].indexOf("btnClick " + data.select), 0);
            tryCompare(g, "isDrop", false);
        }

        function test_spotWithoutCellKeepsTheClick() {
            var g = create(["a", "b", "c", "d"]);
            mouseClick(g, 30, 12);
            tryCompare(g, "animating", false);
            mouseClick(g, 250, 24 + 24 + 12);
            compare(top.events, []);
            verify(g.isDrop);
        }
    }

    TestCase {
        name: "DropDownSlider"
        when: windowShown

        function test_passesSliderSignals() {
            var c = Qt.createComponent("qrc:/modules/qml/J2/DropDownSlider.qml");
            verify(c.status === Component.Ready, c.errorString());
            var d = createTemporaryObject(c, top, { x: 20, y: 20, width: 110, textValue: "10ms" });
            d.btnClick.connect(function () { top.note("btnClick"); });
            d.valueChange.connect(function (p) { top.note("valueChange " + p); });
            d.dragSignal.connect(function (b) { top.note("dragSignal " + b); });
            top.events = [];
            d.setValue(0.5);
            compare(top.events, ["valueChange 42"]);
            top.events = [];
            mouseClick(d, 20, 12);
            compare(top.events, ["btnClick"]);
            tryCompare(d, "animating", false);
            verify(d.isDrop);
            top.events = [];
            // knob centre: strip at 24, slider at 8/6 inside it, knob at 42
            mousePress(d, 8 + 42 + 6, 24 + 6 + 6);
            mouseMove(d, 8 + 42 + 6 + 10, 24 + 12, -1, Qt.LeftButton);
            mouseRelease(d, 8 + 42 + 6 + 10, 24 + 12);
            compare(top.events, ["dragSignal true", "valueChange 52", "dragSignal false"]);
            mouseClick(d, 3, 24 + 12);
            compare(top.events, ["dragSignal true", "valueChange 52", "dragSignal false"],
                    "the strip beside the slider keeps its clicks");
            d.closeMenu();
            tryCompare(d, "isDrop", false);
        }
    }
}
