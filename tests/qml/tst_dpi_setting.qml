import QtQuick
import QtTest
import "qrc:/modules/qml/J2/dpiMath.js" as DM

// The DPI panel inside the real window, against the recording controller.
Item {
    id: top
    width: 1024
    height: 640

    WindowTestCase {
        id: testCase
        name: "DpiSetting"
        readonly property var shipped: [500, 1000, 1500, 2000, 3000, 4000, 5000, 6000]

        function loadWindow(globals, data) {
            var g = { "mouse/minDPI": 200, "mouse/maxDPI": 6000, "mouse/dpiBase": 50, "mouse/sensorType": "3360" };
            var d = { "mouse/dpiCount": 8, "mouse/currentDpiCount": 8, "mouse/dpiValueArray": shipped };
            for (var k in globals)
                g[k] = globals[k];
            for (k in data)
                d[k] = data[k];
            loadPage(top, "dpiSettingMain", g, d);
        }

        function texts() {
            var out = [];
            for (var i = 0; i < 8; ++i)
                out.push(Number(findChild(page, "dpiText" + i).text));
            return out;
        }

        function shownSliders() {
            var n = 0;
            for (var i = 0; i < 8; ++i)
                if (findChild(page, "dpiSlider" + i).visible)
                    ++n;
            return n;
        }

        function test_knobFormula_data() {
            return [
                { tag: "200-6000/50", lo: 200, hi: 6000, base: 50 },
                { tag: "100-12000/100", lo: 100, hi: 12000, base: 100 },
            ];
        }
        // Every value on the DPI grid comes back from its own knob position,
        // and the knob's two ends are the range's two ends.
        function test_knobFormula(row) {
            compare(DM.dpiOfKnob(DM.KNOB_MIN, row.lo, row.hi, row.base), row.lo);
            compare(DM.dpiOfKnob(DM.KNOB_MAX, row.lo, row.hi, row.base), row.hi);
            for (var v = row.lo; v <= row.hi; v += row.base)
                compare(DM.dpiOfKnob(DM.knobOfDpi(v, row.lo, row.hi), row.lo, row.hi, row.base), v,
                        "value " + v);
            compare(DM.knobOfDpi(row.hi * 2, row.lo, row.hi), DM.KNOB_MAX);
            compare(DM.knobOfDpi(0, row.lo, row.hi), DM.KNOB_MIN);
        }

        // Over the shipped 200..12000 range the knob alone would turn a stored
        // 500 into 550; loading and saving must not change what was stored.
        // A value the grid cannot hold still comes from its knob.
        function test_wideRangeKeepsStoredValues() {
            loadWindow({ "mouse/maxDPI": 12000 },
                       { "mouse/dpiValueArray": [500, 1000, 1500, 2000, 3000, 4000, 5000, 525] });
            page.init(false, false);
            var t = texts();
            compare(t.slice(0, 7), [500, 1000, 1500, 2000, 3000, 4000, 5000]);
            var p = DM.knobOfDpi(525, 200, 12000);
            compare(t[7], DM.dpiOfKnob(p, 200, 12000, 50));
            page.saveData(true);
            var sent = calls("ui_View.mouseSetDpi");
            compare(sent.length, 1);
            verify(sent[0].indexOf("3360,[500,1000,1500,2000,3000,4000,5000,") > 0, sent[0]);
        }

        function test_sliderEndsGiveRangeEnds() {
            loadWindow({}, {});
            page.init(false, false);
            var s = findChild(page, "dpiSlider0");
            var knob = findChild(s, "knob");
            mouseDrag(knob, 6, 6, 0, -400);
            compare(findChild(page, "dpiText0").text, "6000");
            verify(page.isSave);
            page.isSave = false;
            mouseDrag(knob, 6, 6, 0, 400);
            compare(findChild(page, "dpiText0").text, "200");
            verify(page.isSave);
        }

        // The text follows the knob during the drag; only the release marks
        // the panel unsaved.
        function test_dragFollowsThenMarksUnsaved() {
            loadWindow({}, {});
            page.init(false, false);
            var s = findChild(page, "dpiSlider4");
            var knob = findChild(s, "knob");
            var start = s.position;
            mousePress(knob, 6, 6);
            mouseMove(knob, 6, 6 - 40, -1, Qt.LeftButton);
            compare(s.position, start + 40);
            compare(findChild(page, "dpiText4").text, String(DM.dpiOfKnob(start + 40, 200, 6000, 50)));
            verify(!page.isSave);
            mouseRelease(knob, 6, 6);
            verify(page.isSave);
            compare(page.stageTexts()[4], findChild(page, "dpiText4").text);
        }

        function test_fewerStagesStillStoreAndSendEight() {
            loadWindow({}, { "mouse/currentDpiCount": 3 });
            page.init(false, false);
            compare(shownSliders(), 3);
            compare(page.dpiSegment.currentSelect, 2);
            page.saveData(true);
            compare(calls("ui_View.setDataList"), ["ui_View.setDataList(mouse/dpiValueArray,"
                                                   + "[500,1000,1500,2000,3000,4000,5000,6000])"]);
            compare(calls("ui_View.setData("), ["ui_View.setData(mouse/currentDpiCount,3)"]);
            compare(calls("ui_View.mouseSetDpi"), ["ui_View.mouseSetDpi(3,3360,"
                                                   + "[500,1000,1500,2000,3000,4000,5000,6000])"]);
        }

        function test_stageCountChoice() {
            loadWindow({}, {});
            page.init(false, false);
            page.dpiSegment.valueChange(1);
            compare(page.currentDpiCount, 2);
            compare(shownSliders(), 2);
            verify(page.isSave);
            page.saveData(false);
            compare(calls("ui_View.mouseSetDpi").length, 0);
            compare(calls("ui_View.setData("), ["ui_View.setData(mouse/currentDpiCount,2)"]);
        }

        function test_dropDownCutToDeviceStages() {
            loadWindow({}, { "mouse/dpiCount": 5, "mouse/currentDpiCount": 7 });
            page.init(false, false);
            compare(page.dpiSegment.count, 5);
            compare(page.currentDpiCount, 5);
            compare(page.dpiSegment.textValue, "5");
            // a later profile with more stages gets its entries back
            ui_View.setDataValue("mouse/dpiCount", 8);
            page.init(false, false);
            compare(page.dpiSegment.count, 8);
        }

        function test_tooManyStagesLeavesPanel() {
            loadWindow({}, { "mouse/currentDpiCount": 4 });
            page.init(false, false);
            var before = texts();
            var knobY = findChild(findChild(page, "dpiSlider2"), "knob").y;
            ui_View.setDataValue("mouse/dpiCount", 9);
            ui_View.setDataValue("mouse/currentDpiCount", 9);
            ui_View.setDataValue("mouse/dpiValueArray", [800, 800, 800, 800, 800, 800, 800, 800]);
            page.init(true, false);
            compare(texts(), before);
            compare(shownSliders(), 4);
            compare(page.dpiCount, 8);
            compare(findChild(findChild(page, "dpiSlider2"), "knob").y, knobY);
            compare(calls("ui_View.mouseSetDpi").length, 0);
        }

        function test_activeStageFromMouse() {
            loadWindow({}, {});
            page.init(false, false);
            root.setCurrentDPI(3);
            compare(page.currentDPI, 2);
            for (var i = 0; i < 8; ++i) {
                var fill = findChild(findChild(page, "dpiSlider" + i), "fill");
                compare(Qt.colorEqual(fill.color, i === 2 ? "#cf3e00" : "#09347f"), true,
                        "stage " + i);
            }
            root.setCurrentDPI(0);
            compare(page.currentDPI, 2);
        }

        function test_restoreLoadsFactoryValuesKeepsCount() {
            loadWindow({}, { "mouse/currentDpiCount": 3, "mouse/dpiValueArray": [800, 800, 800, 800,
                                                                               800, 800, 800, 800] });
            ui_View.setRecoveryValue("mouse/dpiValueArray", shipped);
            ui_View.setRecoveryValue("mouse/currentDpiCount", 6);
            page.init(false, false);
            callLog.clear();
            mouseClick(findChild(page, "dpiRestore"));
            compare(texts(), shipped);
            compare(page.currentDpiCount, 3);
            verify(page.isSave);
            verify(callLog.entries().indexOf("ui_View.getDataList(mouse/dpiValueArray,true)") >= 0);
            compare(calls("ui_View.getData("), []);
            compare(calls("ui_View.mouseSetDpi").length, 0);
        }

        function test_saveButtonSendsOnceAndClears() {
            loadWindow({}, { "mouse/currentDpiCount": 3 });
            page.init(false, false);
            page.dpiSegment.valueChange(4);
            mouseClick(findChild(root, "saveButton"));
            compare(page.isSave, false);
            compare(calls("ui_View.mouseSetDpi"), ["ui_View.mouseSetDpi(5,3360,"
                                                   + "[500,1000,1500,2000,3000,4000,5000,6000])"]);
            callLog.clear();
            mouseClick(findChild(root, "saveButton"));
            compare(calls("ui_View.mouseSetDpi").length, 0);
        }

        function test_badStoredEntriesKeepPanelValues() {
            loadWindow({}, { "mouse/dpiValueArray": ["800", "x", "1200"] });
            page.init(false, false);
            var t = texts();
            compare(t[0], 800);
            compare(t[2], 1200);
            compare(t[1], 1000);
            compare(t[7], 6000);
        }
    }
}
