import QtQuick
import QtTest
import "qrc:/modules/qml/J2/dpiMath.js" as DM

// The pointer dialog inside the real window: knob positions are stored,
// speed steps are sent, and each change goes out at once.
Item {
    id: top
    width: 1024
    height: 640

    WindowTestCase {
        name: "SystemSetting"

        function loadWindow(data) {
            var d = { "mouse/mouseRate": 155, "mouse/doubleRate": 155, "mouse/scrollRate": 3 };
            for (var k in data)
                d[k] = data[k];
            loadPage(top, "systemSettingMain", {}, d);
            page.init(false, false);
            root.openDialog(page, false);
            callLog.clear();
        }

        function test_speedIndex_data() {
            return [
                { tag: "3", p: 3, index: 0 },
                { tag: "4", p: 4, index: 1 },
                { tag: "36", p: 36, index: 1 },
                { tag: "37", p: 37, index: 2 },
                { tag: "337", p: 337, index: 10 }
            ];
        }
        function test_speedIndex(row) {
            compare(DM.speedIndex(row.p), row.index);
        }

        function test_knobSentAsSpeedStep_data() {
            return [
                { tag: "on a threshold", p: 37, index: 2 },
            ];
        }
        // The stored knob is placed as it is and sent as its step.
        function test_knobSentAsSpeedStep(row) {
            loadWindow({ "mouse/mouseRate": row.p, "mouse/doubleRate": row.p });
            compare(page.mouseSpeedSlider.position, row.p);
            page.init(true, false);
            compare(calls("ui_View.mouseSetCursorSpeed"), ["ui_View.mouseSetCursorSpeed(" + row.index + ")"]);
            compare(calls("ui_View.mouseSetDoubleClickSpeed"),
                    ["ui_View.mouseSetDoubleClickSpeed(" + row.index + ")"]);
            verify(calls("ui_View.setData(mouse/mouseRate," + row.p + ")").length === 1);
        }

        function test_saveSteps_data() {
            return [
                { tag: "0", step: 0, sent: ["ui_View.mouseSetCursorSpeed(5)", "ui_View.mouseSetDoubleClickSpeed(1)",
                                            "ui_View.mouseSetVerticalScrollLines(7)"] },
                { tag: "1", step: 1, sent: ["ui_View.mouseSetCursorSpeed(5)"] },
                { tag: "2", step: 2, sent: ["ui_View.mouseSetDoubleClickSpeed(1)"] },
                { tag: "3", step: 3, sent: ["ui_View.mouseSetVerticalScrollLines(7)"] }
            ];
        }
        function test_saveSteps(row) {
            loadWindow({ "mouse/mouseRate": 155, "mouse/doubleRate": 20, "mouse/scrollRate": 7 });
            page.saveData(true, row.step);
            compare(callLog.entries().filter(function (e) { return e.indexOf("ui_View.mouseSet") === 0; }),
                    row.sent);
            compare(calls("ui_View.setData("), ["ui_View.setData(mouse/mouseRate,155)",
                                                "ui_View.setData(mouse/doubleRate,20)",
                                                "ui_View.setData(mouse/scrollRate,7)"]);
            callLog.clear();
            page.saveData(false, row.step);
            compare(calls("ui_View.mouseSet").length, 0);
            compare(calls("ui_View.setData(").length, 3);
        }

        function test_releasingKnobSendsItsSetting() {
            loadWindow({});
            var slider = page.doubleSpeedSlider;
            mouseClick(slider, 340, 6);
            tryVerify(function () { return calls("ui_View.mouseSetDoubleClickSpeed").length === 1; });
            compare(calls("ui_View.mouseSetDoubleClickSpeed")[0], "ui_View.mouseSetDoubleClickSpeed(10)");
            compare(calls("ui_View.mouseSetCursorSpeed").length, 0);
            compare(calls("ui_View.setData(mouse/doubleRate"), ["ui_View.setData(mouse/doubleRate,334)"]);
        }

        function test_oneScreen() {
            loadWindow({ "mouse/scrollRate": 101 });
            verify(page.screenOption.isSelect);
            verify(!page.rowsOption.isSelect);
            compare(page.scrollLinesBox.textValue, "3");
            page.init(true, false);
            compare(calls("ui_View.mouseSetVerticalScrollLines"), ["ui_View.mouseSetVerticalScrollLines(1000)"]);
            verify(calls("ui_View.setData(mouse/scrollRate,1000)").length === 1);
        }

        function test_switchingScrollOptions() {
            loadWindow({ "mouse/scrollRate": 12 });
            verify(page.rowsOption.isSelect);
            compare(page.scrollLinesBox.textValue, "12");
            mouseClick(page.screenOption, 5, 5);
            verify(page.screenOption.isSelect && !page.rowsOption.isSelect);
            mouseClick(page.rowsOption, 5, 5);
            verify(!page.screenOption.isSelect && page.rowsOption.isSelect);
            compare(calls("ui_View.mouseSetVerticalScrollLines"), ["ui_View.mouseSetVerticalScrollLines(1000)",
                                                                   "ui_View.mouseSetVerticalScrollLines(12)"]);
            compare(calls("ui_View.mouseSetCursorSpeed").length, 0);
        }

        function test_linesBoxFallsBackToThree_data() {
            return [
                { tag: "emptied", typed: "", sent: 3 },
                { tag: "zero", typed: "0", sent: 3 },
                { tag: "forty", typed: "40", sent: 40 },
                { tag: "digits cut at three", typed: "1000", sent: 100 },
                // a press on the dialog's background commits the box like leaving it
                { tag: "background press", typed: "5", sent: 5, press: true }
            ];
        }
        function test_linesBoxFallsBackToThree(row) {
            loadWindow({ "mouse/scrollRate": 12 });
            var box = page.scrollLinesBox;
            mouseDoubleClickSequence(box, box.width / 2, box.height / 2);
            compare(box.editing, true);
            keyClick(Qt.Key_A, Qt.ControlModifier);
            keyClick(Qt.Key_Backspace);
            for (var i = 0; i < row.typed.length; ++i)
                keyClick(row.typed[i]);
            if (row.press) {
                mousePress(page, 300, 230);
                mouseRelease(page, 300, 230);
            } else {
                page.systemSettingFocus();
            }
            compare(box.editing, false);
            compare(box.textValue, String(row.sent));
            compare(calls("ui_View.mouseSetVerticalScrollLines"),
                    ["ui_View.mouseSetVerticalScrollLines(" + row.sent + ")"]);
        }

        function test_boxFocusClosesWindowDropDowns() {
            loadWindow({});
            var list = root.dpiSettingMain.dpiSegment;
            list.openMenu();
            tryCompare(list, "animating", false);
            verify(list.isDrop);
            mouseDoubleClickSequence(page.scrollLinesBox, 16, 8);
            tryCompare(list, "isDrop", false);
        }

        function test_restoreLoadsStoresAndSendsFactoryValues() {
            loadWindow({ "mouse/mouseRate": 3, "mouse/scrollRate": 20 });
            ui_View.setRecoveryValue("mouse/mouseRate", 337);
            ui_View.setRecoveryValue("mouse/doubleRate", 37);
            ui_View.setRecoveryValue("mouse/scrollRate", 1000);
            mouseClick(findChild(page, "systemRestore"));
            compare(page.mouseSpeedSlider.position, 337);
            verify(page.screenOption.isSelect);
            compare(calls("ui_View.mouseSet"), ["ui_View.mouseSetCursorSpeed(10)",
                                                "ui_View.mouseSetDoubleClickSpeed(2)",
                                                "ui_View.mouseSetVerticalScrollLines(1000)"]);
            verify(calls("ui_View.getData(mouse/scrollRate,true)").length === 1);
        }

        function test_unreadableStoredValuesKeepDialog() {
            loadWindow({ "mouse/mouseRate": 200, "mouse/scrollRate": 9 });
            ui_View.setDataValue("mouse/mouseRate", "fast");
            ui_View.setDataValue("mouse/scrollRate", "many");
            page.init(false, false);
            compare(page.mouseSpeedSlider.position, 200);
            compare(page.scrollLinesBox.textValue, "9");
            verify(page.rowsOption.isSelect);
        }
    }
}
