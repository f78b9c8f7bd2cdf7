import QtQuick
import QtTest

// The window's panels (DPI, report rate, lighting) and the pointer dialog,
// against the recording controller: what the user does is what is stored
// and sent.
Item {
    id: top
    width: 1024
    height: 640

    WindowTestCase {
        name: "DpiSetting"
        pageName: "dpiSettingMain"
        readonly property string shipped: "[500,1000,1500,2000,3000,4000,5000,6000]"

        function start(globals, data) {
            var g = { "mouse/minDPI": 200, "mouse/maxDPI": 6000, "mouse/dpiBase": 50, "mouse/sensorType": "3360" };
            var d = { "mouse/dpiCount": 8, "mouse/currentDpiCount": 8,
                      "mouse/dpiValueArray": [500, 1000, 1500, 2000, 3000, 4000, 5000, 6000] };
            for (var k in globals)
                g[k] = globals[k];
            load(g, d);
            page.init(false, false);
            for (k in data)
                ui_View.setDataValue(k, data[k]);
            page.init(false, false);
            callLog.clear();
        }
        function knob(i) { return findChild(findChild(page, "dpiSlider" + i), "knob"); }

        // Stage count and knob ends chosen by the user reach the mouse on
        // Save, with all eight values, once.
        function test_userChoicesSentOnSave() {
            start({}, { "mouse/currentDpiCount": 3 });
            choose(page.dpiSegment, 4);
            mouseDrag(knob(0), 6, 6, 0, -400);
            mouseDrag(knob(1), 6, 6, 0, 400);
            verify(page.isSave);
            mouseClick(findChild(root, "saveButton"));
            compare(calls("ui_View.mouseSetDpi"), ["ui_View.mouseSetDpi(5,3360,[6000,200,1500,2000,3000,4000,5000,6000])"]);
            compare(calls("ui_View.setData("), ["ui_View.setData(mouse/currentDpiCount,5)"]);
            verify(!page.isSave);
            callLog.clear();
            mouseClick(findChild(root, "saveButton"));
            compare(calls("ui_View.mouseSetDpi"), []);
        }

        // Over 200..12000 the knob alone would turn a stored 500 into 550;
        // a load followed by Save must keep what was stored.
        function test_wideRangeKeepsStoredValues() {
            start({ "mouse/maxDPI": 12000 }, {});
            page.saveData(true);
            compare(calls("ui_View.mouseSetDpi"), ["ui_View.mouseSetDpi(8,3360," + shipped + ")"]);
        }

        function test_restoreLoadsFactoryValuesKeepsCount() {
            start({}, { "mouse/currentDpiCount": 3, "mouse/dpiValueArray": [800, 800, 800, 800, 800, 800, 800, 800] });
            ui_View.setRecoveryValue("mouse/dpiValueArray", [500, 1000, 1500, 2000, 3000, 4000, 5000, 6000]);
            ui_View.setRecoveryValue("mouse/currentDpiCount", 6);
            mouseClick(findChild(page, "dpiRestore"));
            verify(page.isSave);
            compare(calls("ui_View.mouseSetDpi"), []);
            page.saveData(true);
            compare(calls("ui_View.mouseSetDpi"), ["ui_View.mouseSetDpi(3,3360," + shipped + ")"]);
        }

        // Unreadable entries keep what the panel shows; a device table with
        // more stages than the panel has leaves the panel as it is.
        function test_badStoredValuesKeepPanel() {
            start({}, { "mouse/dpiValueArray": ["800", "x", "1200"] });
            ui_View.setDataValue("mouse/dpiCount", 9);
            ui_View.setDataValue("mouse/dpiValueArray", [400, 400, 400, 400, 400, 400, 400, 400]);
            page.init(true, false);
            compare(calls("ui_View.mouseSetDpi"), []);
            page.saveData(true);
            compare(calls("ui_View.mouseSetDpi"), ["ui_View.mouseSetDpi(8,3360,[800,1000,1200,2000,3000,4000,5000,6000])"]);
        }
    }

    WindowTestCase {
        name: "ReportRate"
        pageName: "reportRateRect"

        function test_choiceStoredAndSentAtOnce() {
            load({}, { "mouse/reportRate": 3 });
            page.init(false);
            callLog.clear();
            choose(page.reportRateList, 2);
            compare(callLog.entries(), ["ui_View.setData(mouse/reportRate,2)", "ui_View.mouseSetReportRate(2)"]);
            verify(!root.anyUnsaved);
        }
    }

    WindowTestCase {
        name: "SystemSetting"
        pageName: "systemSettingMain"

        function start(data) {
            load({}, { "mouse/mouseRate": 155, "mouse/doubleRate": 20, "mouse/scrollRate": 7 });
            page.init(false, false);
            for (var k in data)
                ui_View.setDataValue(k, data[k]);
            page.init(false, false);
            root.openDialog(page, false);
            callLog.clear();
        }

        function test_saveSteps_data() {
            return [
                { tag: "all", step: 0, sent: ["Cursor(5)", "DoubleClick(1)", "VerticalScrollLines(7)"] },
                { tag: "pointer", step: 1, sent: ["Cursor(5)"] },
                { tag: "double click", step: 2, sent: ["DoubleClick(1)"] },
                { tag: "wheel", step: 3, sent: ["VerticalScrollLines(7)"] },
            ];
        }
        function test_saveSteps(d) {
            start({});
            page.saveData(true, d.step);
            compare(calls("ui_View.mouseSet").map(function (e) { return e.replace(/ui_View.mouseSet|Speed/g, ""); }), d.sent);
            compare(calls("ui_View.setData("), ["ui_View.setData(mouse/mouseRate,155)",
                                                "ui_View.setData(mouse/doubleRate,20)", "ui_View.setData(mouse/scrollRate,7)"]);
        }

        function test_knobClickSendsItsSetting() {
            start({});
            mouseClick(page.doubleSpeedSlider, 340, 6);
            tryVerify(function () { return calls("ui_View.mouseSet").length > 0; });
            compare(calls("ui_View.mouseSet"), ["ui_View.mouseSetDoubleClickSpeed(10)"]);
            compare(calls("ui_View.setData(mouse/doubleRate"), ["ui_View.setData(mouse/doubleRate,334)"]);
        }

        function test_scrollOptions() {
            start({ "mouse/scrollRate": 101 });
            verify(page.screenOption.isSelect);
            mouseClick(page.rowsOption, 5, 5);
            mouseClick(page.screenOption, 5, 5);
            compare(calls("ui_View.mouseSetVerticalScrollLines"), ["ui_View.mouseSetVerticalScrollLines(7)",
                                                                   "ui_View.mouseSetVerticalScrollLines(1000)"]);
        }

        function test_linesBox_data() {
            return [
                { tag: "emptied", typed: "", sent: 3 },
                { tag: "zero", typed: "0", sent: 3 },
                { tag: "digits cut at three", typed: "1000", sent: 100 },
                { tag: "background press commits", typed: "5", sent: 5, press: true },
            ];
        }
        function test_linesBox(d) {
            start({ "mouse/scrollRate": 12 });
            var box = page.scrollLinesBox;
            box.input.forceActiveFocus();
            box.input.selectAll();
            keyClick(Qt.Key_Backspace);
            for (var i = 0; i < d.typed.length; ++i)
                keyClick(d.typed[i]);
            if (d.press)
                mouseClick(page, 300, 230);
            else
                page.systemSettingFocus();
            compare(calls("ui_View.mouseSetVerticalScrollLines"), ["ui_View.mouseSetVerticalScrollLines(" + d.sent + ")"]);
        }

        // Restore sends the factory values; unreadable stored values keep
        // what the dialog shows.
        function test_restoreAndUnreadable() {
            start({ "mouse/mouseRate": 3, "mouse/scrollRate": 20 });
            ui_View.recovery = { "mouse/mouseRate": 337, "mouse/doubleRate": 37, "mouse/scrollRate": 1000 };
            mouseClick(findChild(page, "systemRestore"));
            ui_View.setDataValue("mouse/mouseRate", "fast");
            ui_View.setDataValue("mouse/scrollRate", "many");
            page.init(true, false);
            compare(calls("ui_View.mouseSet").map(function (e) { return e.replace(/ui_View.mouseSet|Speed/g, ""); }),
                    ["Cursor(10)", "DoubleClick(2)", "VerticalScrollLines(1000)", "Cursor(10)", "DoubleClick(2)",
                     "VerticalScrollLines(20)"]);
        }
    }

    WindowTestCase {
        name: "LightControl"
        pageName: "lightControlMain"
        readonly property var shippedColors: [255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 0, 255, 0, 255, 255,
            255, 127, 0, 96, 0, 255, 255, 255, 255]

        function start(flags, data) {
            load({}, { "mouse/lightValue": [0, 0, 4], "mouse/colorValue": shippedColors, "mouse/dpiCount": 8 });
            root.isColorful = flags.colorful === true;
            root.is55328 = flags.is55328 === true;
            page.init(false, false);
            for (var k in data)
                ui_View.setDataValue(k, data[k]);
            page.init(false, false);
            callLog.clear();
        }
        function sentColours() { return calls("ui_View.mouseSetRGBColor"); }

        function test_effectList_data() {
            return [
                { tag: "55328", is55328: true, count: 5, last: "Breath Loop" },
                { tag: "colourful", colorful: true, count: 11, last: "Spotlight" },
            ];
        }
        function test_effectList(d) {
            start(d, {});
            page.init(true, false);
            compare([page.lightModel.count, page.lightModel.rowText(d.count - 1)], [d.count, d.last]);
        }

        // Choosing an effect puts in its speed and brightness; Save sends them.
        function test_effectChoiceSent_data() {
            return [
                { tag: "Breath", e: 1, sent: "1,0,2" },
                { tag: "OFF", e: 3, sent: "3,2,0" },
                { tag: "Wave", e: 5, sent: "5,0,4" },
            ];
        }
        function test_effectChoiceSent(d) {
            start({ colorful: true }, { "mouse/lightValue": [0, 2, 2] });
            choose(page.lightModel, d.e);
            mouseClick(findChild(root, "saveButton"));
            compare(calls("ui_View.mouseSetRGBEffect"), ["ui_View.mouseSetRGBEffect(" + d.sent + ")"]);
            compare(sentColours().length, 1);
        }

        // A typed colour off the hue bar reaches the mouse exactly.
        function test_typedColourSentExactly() {
            start({ colorful: true }, {});
            mouseClick(findChild(page, "colorBlock2"));
            typeInto(page.rBox, "100");
            typeInto(page.gBox, "150");
            typeInto(page.bBox, "300");
            verify(page.isSave);
            page.saveData(true, 2);
            var sent = shippedColors.slice(0, 6).concat([100, 150, 255], shippedColors.slice(9));
            compare(sentColours(), ["ui_View.mouseSetRGBColor(0,[" + sent + "])"]);
        }

        function test_draggingMarker() {
            start({ colorful: true }, {});
            var m = findChild(page, "marker0");
            mousePress(m, 8, 20);
            mouseMove(m, 8 + 400, 20, -1, Qt.LeftButton);
            compare([page.rBox.textValue, page.gBox.textValue, page.bBox.textValue], ["255", "255", "255"]);
            mouseMove(m, 30 - 175, 20, -1, Qt.LeftButton);
            verify(!page.isSave, "unsaved only once released");
            mouseRelease(m, 8, 20);
            verify(page.isSave);
            page.saveData(true, 2);
            compare(sentColours(), ["ui_View.mouseSetRGBColor(0,[" + [255, 255, 0].concat(shippedColors.slice(3)) + "])"]);
        }

        // Blocks the user cannot see are sent as stored; a 55328 sends the
        // last one black except for effect 4.
        function test_coloursSent_data() {
            var odd = [1, 2, 3, 9, 8, 7, 10, 20, 30, 40, 50, 60, 70, 80, 90, 11, 12, 13, 14, 15, 16, 17, 18, 19];
            return [
                { tag: "hidden blocks", flags: { colorful: true }, e: 1, colours: odd, type: 0, sent: odd },
                { tag: "55328, effect 0", flags: { is55328: true }, e: 0, colours: shippedColors, type: 1,
                  sent: shippedColors.slice(0, 21).concat([0, 0, 0]) },
                { tag: "55328, effect 4", flags: { is55328: true }, e: 4, colours: shippedColors, type: 1, sent: shippedColors },
            ];
        }
        function test_coloursSent(d) {
            start(d.flags, { "mouse/colorValue": d.colours, "mouse/lightValue": [d.e, 3, 1] });
            page.saveData(true, 0);
            compare(callLog.entries(), ["ui_View.setDataList(mouse/lightValue,[" + d.e + ",3,1])",
                                        "ui_View.setDataList(mouse/colorValue,[" + d.sent + "])",
                                        "ui_View.mouseSetRGBEffect(" + d.e + ",3,1)",
                                        "ui_View.mouseSetRGBColor(" + d.type + ",[" + d.sent + "])"]);
        }

        // Effects that colour themselves keep the user off the colours.
        function test_colourMask() {
            start({ colorful: true }, { "mouse/lightValue": [2, 0, 0] });
            mouseClick(findChild(page, "colorBlock2"));
            compare(page.selectedBlock, 0);
        }

        function test_restoreAndBadValues() {
            start({ is55328: true }, { "mouse/lightValue": ["x", 9, -2], "mouse/colorValue": [7, "a", 300] });
            page.saveData(true, 0);
            compare(calls("ui_View.mouseSetRGB"), ["ui_View.mouseSetRGBEffect(0,4,0)", "ui_View.mouseSetRGBColor(1,["
                                                   + [7, 0, 255].concat(shippedColors.slice(3, 21), [0, 0, 0]) + "])"]);
            ui_View.setRecoveryValue("mouse/lightValue", [2, 4, 1]);
            ui_View.setRecoveryValue("mouse/colorValue", shippedColors.map(function () { return 9; }));
            callLog.clear();
            mouseClick(findChild(page, "lightRestore"));
            verify(page.isSave);
            compare(page.lightModel.count, 5, "no effect listed twice");
            compare(calls("ui_View.mouseSetRGB"), []);
            page.saveData(true, 1);
            compare(calls("ui_View.mouseSetRGB"), ["ui_View.mouseSetRGBEffect(2,4,1)"]);
        }
    }
}
