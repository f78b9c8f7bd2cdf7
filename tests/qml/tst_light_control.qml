import QtQuick
import QtTest
import "qrc:/modules/qml/J2/lightMath.js" as LM

// The lighting panel inside the real window, against the recording
// controller.
Item {
    id: top
    width: 1024
    height: 640

    WindowTestCase {
        name: "LightControl"
        readonly property var shippedColors: [255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 0, 255, 0, 255, 255,
            255, 127, 0, 96, 0, 255, 255, 255, 255]
        readonly property var baseNames: ["Static", "Breath", "Neon", "OFF"]
        readonly property var colourNames: ["Twinkling", "Wave", "Gliding", "Finger Moving",
            "Vertical Flipping", "YO-YO", "Spotlight"]

        function loadWindow(flags, data) {
            var d = { "mouse/lightValue": [0, 0, 4], "mouse/colorValue": shippedColors, "mouse/dpiCount": 8 };
            for (var k in data)
                d[k] = data[k];
            loadPage(top, "lightControlMain", {}, d, function (r) {
                r.isColorful = flags.colorful === true;
                r.is55328 = flags.is55328 === true;
            });
            page.init(false, false);
            waitForItemPolished(findChild(page, "rowsColumn"));
            callLog.clear();
        }

        function effectNames() {
            var out = [];
            for (var i = 0; i < page.lightModel.count; ++i)
                out.push(page.lightModel.rowText(i));
            return out;
        }
        function rowsShown() {
            return [findChild(page, "speedRow").visible, findChild(page, "brightRow").visible];
        }
        function list(a) {
            return "[" + a.join(",") + "]";
        }

        function test_effectList_data() {
            return [
                { tag: "plain", colorful: false, is55328: false, names: baseNames },
                { tag: "55328", colorful: false, is55328: true, names: baseNames.concat(["Breath Loop"]) },
                { tag: "colourful", colorful: true, is55328: false, names: baseNames.concat(colourNames) },
                { tag: "both", colorful: true, is55328: true,
                  names: baseNames.concat(colourNames).concat(["Breath Loop"]) }
            ];
        }
        function test_effectList(row) {
            loadWindow({ colorful: row.colorful, is55328: row.is55328 }, {});
            compare(effectNames(), row.names);
            // a later load (profile switch, restore) adds nothing
            page.init(true, false);
            page.init(false, true);
            compare(effectNames(), row.names);
        }

        function test_effectTextsFromLanguage() {
            loadWindow({ colorful: true }, {});
            var texts = [];
            for (var i = 0; i < 20; ++i)
                texts.push("t" + i);
            page.lightControlLang = texts;
            page.init(true, false);
            compare(effectNames().slice(0, 4), ["t1", "t2", "t3", "t4"]);
        }

        function test_rowsPerEffect_data() {
            return [
                { tag: "0", e: 0, colorful: true, rows: [false, true], s: -1, b: 4 },
                { tag: "1", e: 1, colorful: true, rows: [true, false], s: 0, b: -1 },
                { tag: "3", e: 3, colorful: true, rows: [false, false], s: -1, b: 0 },
                { tag: "4 on 55328", e: 4, is55328: true, rows: [true, false], s: 0, b: -1 },
                { tag: "5", e: 5, colorful: true, rows: [true, true], s: 0, b: 4 },
                { tag: "6", e: 6, colorful: true, rows: [false, false], s: 0, b: 4 },
            ];
        }
        // Loading and choosing an effect show the same rows; choosing also
        // puts in the effect's defaults.
        function test_rowsPerEffect(row) {
            loadWindow({ colorful: row.colorful, is55328: row.is55328 }, { "mouse/lightValue": [row.e, 2, 2] });
            compare(rowsShown(), row.rows, "loaded");
            compare(page.speedSlider.segmentValue, 2);
            compare(page.brightSlider.segmentValue, 2);
            verify(!page.isSave);

            loadWindow({ colorful: row.colorful, is55328: row.is55328 }, { "mouse/lightValue": [3, 2, 2] });
            page.lightModel.currentSelect = row.e;
            page.lightModel.valueChange(row.e);
            compare(rowsShown(), row.rows, "chosen");
            compare(page.speedSlider.segmentValue, row.s < 0 ? 2 : row.s);
            compare(page.brightSlider.segmentValue, row.b < 0 ? 2 : row.b);
            verify(page.isSave);
            compare(calls("ui_View.mouseSetRGB").length, 0);
        }

        function test_choosingEffectSelectsFirstBlockKeepsBoxes() {
            loadWindow({ colorful: true }, { "mouse/lightValue": [0, 0, 4] });
            mouseClick(findChild(page, "colorBlock2"));
            compare(page.selectedBlock, 2);
            compare(page.rBox.textValue, "0");
            page.lightModel.valueChange(1);
            compare(page.selectedBlock, 0);
            verify(findChild(page, "marker0").visible);
            verify(!findChild(page, "marker2").visible);
            compare([page.rBox.textValue, page.gBox.textValue, page.bBox.textValue], ["0", "0", "255"]);
        }

        function test_steppedSliderClick() {
            loadWindow({ colorful: true }, { "mouse/lightValue": [5, 0, 0] });
            var s = page.speedSlider;
            var p = s.mapToItem(root, 29.5, 6);
            // the rows are laid out on the next frame
            tryVerify(function () { return findChild(page, "brightRow").y > 0; });
            mouseClick(s, 22.5 + 6 + 1, 6);
            tryCompare(s, "segmentValue", 2);
            tryCompare(page, "isSave", true);
            compare(findChild(findChild(page, "speedRow"), "percent").text, "50%");
            page.saveData(false, 1);
            compare(calls("ui_View.setDataList"), ["ui_View.setDataList(mouse/lightValue,[5,2,0])"]);
        }

        function test_hueBar_data() {
            return [
                { tag: "0", q: 0, rgb: [255, 0, 0] },
                { tag: "15", q: 15, rgb: [255, 127, 0] },
                { tag: "30", q: 30, rgb: [255, 255, 0] },
                { tag: "45", q: 45, rgb: [128, 255, 0] },
                { tag: "75", q: 75, rgb: [0, 255, 127] },
                { tag: "105", q: 105, rgb: [0, 128, 255] },
                { tag: "135", q: 135, rgb: [127, 0, 255] },
                { tag: "165", q: 165, rgb: [255, 0, 128] },
                { tag: "179", q: 179, rgb: [255, 0, 9] },
                { tag: "180", q: 180, rgb: [255, 0, 0] },
                { tag: "182", q: 182, rgb: [255, 0, 0] },
                { tag: "183", q: 183, rgb: [255, 255, 255] }
            ];
        }
        function test_hueBar(row) {
            compare(LM.hueColor(row.q), row.rgb);
        }

        function test_markerPosition_data() {
            var d = 30.5, u = 30.5 / 256;
            return [
                { tag: "R ff, B 00", c: [255, 100, 0], q: u * 100 },
                { tag: "R 00, B ff", c: [0, 100, 255], q: 3 * d + u * 155 },
                { tag: "G ff, B 00", c: [100, 255, 0], q: d + u * 155 },
                { tag: "G 00, B ff", c: [100, 0, 255], q: 4 * d + u * 100 },
                { tag: "R 00, G ff", c: [0, 255, 100], q: 2 * d + u * 100 },
                { tag: "R ff, G 00", c: [255, 0, 100], q: 5 * d + u * 155 },
                { tag: "yellow takes the first rule", c: [255, 255, 0], q: u * 255 },
                { tag: "white at the end", c: [255, 255, 255], q: 183 },
                { tag: "black", c: [0, 0, 0], q: 0 },
                { tag: "off the bar", c: [100, 150, 200], q: 0 }
            ];
        }
        function test_markerPosition(row) {
            fuzzyCompare(LM.markerPos(row.c[0], row.c[1], row.c[2]), row.q, 1e-9);
        }

        function test_selectingBlockPlacesItsMarker() {
            loadWindow({ colorful: true }, {});
            mouseClick(findChild(page, "colorBlock3"));
            var m = findChild(page, "marker3");
            verify(m.visible);
            fuzzyCompare(m.x + 8, LM.markerPos(255, 0, 255), 1e-9);
            verify(Qt.colorEqual(m.markerColor, "#ff00ff"));
            compare([page.rBox.textValue, page.gBox.textValue, page.bBox.textValue], ["255", "0", "255"]);
        }

        function typeInto(box, text) {
            mouseDoubleClickSequence(box, box.width / 2, box.height / 2);
            keyClick(Qt.Key_A, Qt.ControlModifier);
            keyClick(Qt.Key_Backspace);
            for (var i = 0; i < text.length; ++i)
                keyClick(text[i]);
            keyClick(Qt.Key_Return);
        }

        function test_offBarColourTypedIsKeptExactly() {
            loadWindow({ colorful: true }, {});
            typeInto(page.rBox, "100");
            typeInto(page.gBox, "150");
            typeInto(page.bBox, "200");
            compare(page.blockColors[0], "#6496c8");
            verify(page.isSave);
            var m = findChild(page, "marker0");
            compare(m.x, -8);
            verify(Qt.colorEqual(m.markerColor, "#6496c8"));
            page.saveData(true, 2);
            var sent = [100, 150, 200].concat(shippedColors.slice(3));
            compare(calls("ui_View.mouseSetRGBColor"), ["ui_View.mouseSetRGBColor(0," + list(sent) + ")"]);
            compare(calls("ui_View.mouseSetRGBEffect").length, 0);
        }

        function test_draggingMarker() {
            loadWindow({ colorful: true }, {});
            var m = findChild(page, "marker0");
            mousePress(m, 8, 20);
            verify(!page.isSave);
            mouseMove(m, 8 + 400, 20, -1, Qt.LeftButton);
            compare(m.x, 175);
            compare(page.blockColors[0], "#ffffff");
            compare([page.rBox.textValue, page.gBox.textValue, page.bBox.textValue], ["255", "255", "255"]);
            // the press point moves with the marker: back to bar position 30
            mouseMove(m, 8 + (30 - 8) - 175, 20, -1, Qt.LeftButton);
            compare(m.x + 8, 30);
            var rgb = LM.hueColor(30);
            compare(rgb, [255, 255, 0]);
            compare(page.blockColors[0], LM.colorText(rgb[0], rgb[1], rgb[2]));
            compare([page.rBox.textValue, page.gBox.textValue, page.bBox.textValue], rgb.map(String));
            verify(Qt.colorEqual(m.markerColor, page.blockColors[0]));
            verify(!page.isSave);
            mouseRelease(m, 8, 20);
            verify(page.isSave);
        }

        function test_hiddenBlocksSentUnchanged() {
            var odd = [1, 2, 3, 9, 8, 7, 10, 20, 30, 40, 50, 60, 70, 80, 90, 11, 12, 13, 14, 15, 16, 17, 18, 19];
            loadWindow({ colorful: true }, { "mouse/colorValue": odd, "mouse/lightValue": [1, 3, 1] });
            for (var i = 0; i < 8; ++i)
                compare(findChild(page, "colorBlock" + i).visible, i === 0 || (i >= 2 && i <= 4), "block " + i);
            page.saveData(true, 0);
            compare(callLog.entries(), ["ui_View.setDataList(mouse/lightValue,[1,3,1])",
                                        "ui_View.setDataList(mouse/colorValue," + list(odd) + ")",
                                        "ui_View.mouseSetRGBEffect(1,3,1)",
                                        "ui_View.mouseSetRGBColor(0," + list(odd) + ")"]);
        }

        function test_blocksShown_data() {
            return [
                { tag: "colourful", colorful: true, dpi: 2, e: 0, shown: [0, 2, 3, 4] },
                { tag: "plain, 3 stages", dpi: 3, e: 0, shown: [0, 2] },
                { tag: "plain, 1 stage", dpi: 1, e: 1, shown: [0] },
                { tag: "55328, effect 0", is55328: true, dpi: 8, e: 0, shown: [0] },
                { tag: "55328, effect 4", is55328: true, dpi: 1, e: 4, shown: [0, 2, 3, 4] }
            ];
        }
        function test_blocksShown(row) {
            loadWindow({ colorful: row.colorful, is55328: row.is55328 }, { "mouse/lightValue": [row.e, 0, 0] });
            // the stage count comes from the DPI panel next to it
            root.dpiSettingMain.dpiCount = row.dpi;
            for (var i = 0; i < 8; ++i) {
                var shown = row.shown.indexOf(i) >= 0;
                compare(LM.blockShown(i, row.e, row.dpi, row.colorful === true, row.is55328 === true), shown,
                        "block " + i);
                compare(findChild(page, "colorBlock" + i).visible, shown, "shown " + i);
            }
        }

        function test_block7BlackOn55328_data() {
            return [
                { tag: "effect 0", e: 0, last: [0, 0, 0], type: 1 },
                { tag: "effect 4", e: 4, last: [255, 255, 255], type: 1 }
            ];
        }
        function test_block7BlackOn55328(row) {
            loadWindow({ is55328: true }, { "mouse/lightValue": [row.e, 0, 0] });
            page.saveData(true, 2);
            var expected = shippedColors.slice(0, 21).concat(row.last);
            compare(calls("ui_View.setDataList"), ["ui_View.setDataList(mouse/colorValue," + list(expected) + ")"]);
            compare(calls("ui_View.mouseSetRGBColor"),
                    ["ui_View.mouseSetRGBColor(" + row.type + "," + list(expected) + ")"]);
            // the block itself keeps its colour for a later effect 4
            compare(page.blockColors[7], "#ffffff");
        }

        function test_colourMask_data() {
            var rows = [];
            for (var e = 0; e <= 10; ++e)
                rows.push({ tag: String(e), e: e, masked: [0, 1, 4, 9, 10].indexOf(e) < 0 });
            return rows;
        }
        function test_colourMask(row) {
            loadWindow({ colorful: true }, { "mouse/lightValue": [row.e, 0, 0] });
            var mask = findChild(page, "colorMask");
            compare(mask.visible, row.masked);
            mouseClick(findChild(page, "colorBlock2"));
            compare(page.selectedBlock, row.masked ? 0 : 2);
        }

        function test_restoreLoadsFactoryWithoutAddingEffects() {
            loadWindow({ is55328: true }, { "mouse/lightValue": [2, 4, 1],
                                            "mouse/colorValue": shippedColors.map(function () { return 9; }) });
            ui_View.setRecoveryValue("mouse/lightValue", [0, 0, 4]);
            ui_View.setRecoveryValue("mouse/colorValue", shippedColors);
            mouseClick(findChild(page, "lightRestore"));
            compare(page.effect, 0);
            compare(page.brightSlider.segmentValue, 4);
            compare(page.blockColors[2], "#0000ff");
            compare(effectNames().length, 5);
            verify(page.isSave);
            compare(calls("ui_View.mouseSetRGB").length, 0);
            compare(calls("ui_View.getDataList"), ["ui_View.getDataList(mouse/lightValue,true)",
                                                   "ui_View.getDataList(mouse/colorValue,true)"]);
        }

        function test_initWithSendSendsEverything() {
            loadWindow({}, { "mouse/lightValue": [2, 3, 0] });
            page.init(true, false);
            compare(calls("ui_View.mouseSetRGBEffect"), ["ui_View.mouseSetRGBEffect(2,3,0)"]);
            compare(calls("ui_View.mouseSetRGBColor"), ["ui_View.mouseSetRGBColor(1," + list(shippedColors) + ")"]);
        }

        function test_saveButtonSendsStepZero() {
            loadWindow({ colorful: true }, {});
            page.lightModel.currentSelect = 5;
            page.lightModel.valueChange(5);
            mouseClick(findChild(root, "saveButton"));
            compare(page.isSave, false);
            compare(calls("ui_View.mouseSetRGBEffect"), ["ui_View.mouseSetRGBEffect(5,0,4)"]);
            compare(calls("ui_View.mouseSetRGBColor").length, 1);
        }

        function test_badStoredValuesKeepPanel() {
            loadWindow({}, { "mouse/lightValue": ["x", 9, -2], "mouse/colorValue": [300, "a", -5] });
            compare(page.effect, 0);
            compare(page.speedSlider.segmentValue, 4);
            compare(page.brightSlider.segmentValue, 0);
            compare(page.blockColors[0], "#ff0000");
            compare(page.blockColors[1], "#00ff00");
        }

        function test_focusClosesListAndEndsEditing() {
            loadWindow({ colorful: true }, {});
            mouseClick(page.lightModel, 20, 12);
            tryCompare(page.lightModel, "animating", false);
            verify(page.lightModel.isDrop);
            page.lightControlFocus();
            tryCompare(page.lightModel, "isDrop", false);
            mouseDoubleClickSequence(page.gBox, 16, 8);
            verify(page.gBox.editing);
            page.lightControlFocus();
            verify(!page.gBox.editing);
        }
    }
}
