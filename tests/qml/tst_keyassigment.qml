import QtQuick
import QtTest

// Button functions from the panel through the key dialog to the bytes Save
// sends, against the recording controller.
Item {
    id: top
    width: 1024
    height: 640

    // Stands in for the macro editor: records what it is asked to download.
    Component {
        id: fakeMacroEditor
        Item {
            function sendMacro(slot, name) { callLog.note("sendMacro(" + slot + "," + name + ")"); }
        }
    }

    WindowTestCase {
        name: "KeyAssigment"
        pageName: "keyAssigmentMain"

        // Factory entries of the shipped default profile, as the controller
        // hands them over (texts).
        readonly property var factory: [["0", "0", "240", "0"], ["0", "0", "241", "0"], ["0", "0", "242", "0"],
            ["0", "0", "244", "0"], ["0", "0", "243", "0"], ["5", "0", "1", "0"], ["5", "0", "2", "0"],
            ["0", "240", "30", "3"], ["0", "0", "0", "0"], ["0", "0", "0", "0"], ["0", "0", "0", "0"],
            ["0", "0", "0", "0"], ["0", "0", "0", "0"], ["0", "0", "0", "0"], ["255", "0", "1", "0"], ["255", "0", "2", "0"]]

        property var fakeEditor: null

        function start(working, data) {
            load({ "mouse/isGun": "true", "common/language": "English" }, data || {});
            for (var j = 0; j < 16; ++j) {
                ui_View.setKeydefine(j, true, factory[j]);
                ui_View.setKeydefine(j, false, working && working[j] ? working[j] : factory[j]);
            }
            if (fakeEditor === null)
                fakeEditor = fakeMacroEditor.createObject(top);
            page.macroEditorPage = fakeEditor;
            root.keyCount = 10;
            page.init();
            root.keyMatrixMain.init(false, false);
            callLog.clear();
        }
        function panel() { return root.keyMatrixMain; }
        function entry(j) {
            var r = panel().modKeys.get(j);
            return [r.keyCode0, r.keyCode1, r.keyCode2, r.keyCode3];
        }
        function open(j) { mouseClick(findChild(root, "keyMatrixRow" + j)); }
        // The entries Save sends, four bytes a button.
        function saved() {
            mouseClick(findChild(root, "saveButton"));
            var km = calls("ui_View.mouseSetKeyMatrix");
            compare(km.length, 1);
            return km[0].replace(/^ui_View.mouseSetKeyMatrix\(\[([^\]]*)\].*$/, "$1").split(",").map(Number);
        }

        // The panel takes the function when the dialog closes; Save sends it.
        function test_choose_data() {
            return [
                { tag: "middle key", options: "mouseOptions", i: 1, want: [0, 0, 0xF2, 0], text: "Middle Key" },
                { tag: "DPI loop", options: "dpiOptions", i: 2, want: [5, 0, 3, 0], text: "DPI LOOP" },
                { tag: "player", options: "mediaOptions", i: 0, want: [3, 0, 0x83, 1], text: "Player" },
                { tag: "maximise", options: "windowsOptions", i: 3, want: [6, 4, 0x2C, 0x1B], text: "Max" },
            ];
        }
        function test_choose(d) {
            start();
            open(9);
            verify(page.visible);
            page.chooseOption(page[d.options], d.i);
            compare(entry(9), [0, 0, 0, 0]);
            page.closeKeyAssigment();
            compare(entry(9), d.want);
            compare(panel().modKeys.get(9).keyText, d.text);
            compare(saved().slice(36, 40), d.want);
        }

        // A captured key takes the rate and shot count; a key without a
        // label or a second key changes nothing. Another button starts from
        // its own settings.
        function test_fireKey() {
            start();
            open(9);
            page.setRateFromSlider(23);
            var times = findChild(page, "timesInput");
            times.textValue = "5";
            page.endTimesInput();
            root.detectKeyboard(true, 0x10); // not capturing yet
            page.startFireInput();
            root.detectKeyboard(true, 0x74);
            root.detectKeyboard(false, 0x2C);
            root.detectKeyboard(true, 0x05);
            compare([page.keyCode0, page.keyCode1, page.keyCode2, page.keyCode3], [1, 0x2C, 24, 5]);
            page.setRateFromSlider(42);
            times.textValue = "12";
            page.endTimesInput();
            page.closeKeyAssigment();
            open(8);
            compare([page.rateText, times.textValue], ["10ms", "0"]);
            page.startFireInput();
            root.detectKeyboard(true, 0x04);
            page.closeKeyAssigment();
            compare(saved().slice(32, 40), [1, 0x04, 10, 0, 1, 0x2C, 43, 12]);
        }

        function test_combination_data() {
            return [
                { tag: "modifiers and two keys", confirm: true, want: [2, 0x41, 0x04, 0x05],
                  keys: [[true, 0xE0], [true, 0x04], [false, 0x04], [true, 0x05], [true, 0x06], [true, 0xE6]] },
                { tag: "cancel", confirm: false, keys: [[true, 0xE1], [true, 0x04]], want: [0, 0, 0, 0] },
                { tag: "confirm empty", confirm: true, keys: [], want: [0, 0, 0, 0] },
            ];
        }
        function test_combination(d) {
            start();
            open(9);
            page.startComboInput();
            for (var i = 0; i < d.keys.length; ++i)
                root.detectKeyboard(d.keys[i][0], d.keys[i][1]);
            page[d.confirm ? "confirmCombo" : "cancelCombo"]();
            page.closeKeyAssigment();
            compare(entry(9), d.want);
        }

        // Binding a macro downloads it into the button's slot and records
        // the name for the button.
        function test_macroBindingOnClose() {
            start();
            page.macroList.addData(["walk", "burst", "spray"]);
            open(3);
            page.chooseMacro(1);
            page.chooseMacroMode(2);
            page.closeKeyAssigment();
            compare(entry(3), [4, 2, 3, 0]);
            compare(panel().modKeys.get(3).keyText, "burst");
            compare(callLog.entries().filter(function (e) { return e.indexOf("Macro") > 0; }),
                    ["sendMacro(3,burst)", "ui_View.setData(mouseMacroKey/3,burst)"]);
        }

        // The last button with the left click cannot be given another one.
        function test_oneLeftKey() {
            start();
            mouseClick(findChild(root, "mouseKeyBox0"));
            open(0);
            verify(!page.visible && !findChild(root, "mainMask").visible);
            open(1);
            page.chooseOption(page.mouseOptions, 0);
            page.closeKeyAssigment();
            open(0);
            verify(page.visible);
            page.closeKeyAssigment();
        }

        // The dialog's icon restores its button; the panel's all of them,
        // downloading factory macros again.
        function test_restore() {
            var w = [];
            w[2] = ["3", "0", "226", "0"];
            w[9] = ["5", "0", "3", "0"];
            start(w, { "mouseMacroKey/9": "rapid" });
            ui_View.setKeydefine(9, true, ["4", "1", "9", "0"]);
            panel().init(false, false);
            open(2);
            page.restore();
            page.closeKeyAssigment();
            compare([entry(2), entry(9)], [[0, 0, 0xF2, 0], [5, 0, 3, 0]]);
            verify(panel().isSave);
            callLog.clear();
            mouseClick(findChild(root, "keyMatrixRestore"));
            compare(entry(9), [4, 1, 9, 0]);
            compare(panel().modKeys.get(9).keyText, "rapid");
            compare(callLog.entries(), ["sendMacro(9,rapid)", "ui_View.setData(mouseMacroKey/9,rapid)"]);
        }

        // A missing or broken stored entry must not become zeros that the
        // next Save would write to the mouse.
        function test_badStoredEntries_data() {
            return [
                { tag: "missing", w: [], f: factory[1], want: [0, 0, 241, 0] },
                { tag: "text and out of range", w: ["1", "x", "300", "0"], f: factory[1], want: [0, 0, 241, 0] },
                { tag: "factory missing too", w: [], f: [], want: [0, 0, 241, 0] },
                { tag: "factory broken, working fine", w: ["5", "0", "3", "0"], f: ["a"], want: [5, 0, 3, 0] },
            ];
        }
        function test_badStoredEntries(d) {
            start();
            ui_View.setKeydefine(1, false, d.w);
            ui_View.setKeydefine(1, true, d.f);
            panel().init(true, false);
            compare(calls("ui_View.mouseSetKeyMatrix")[0].indexOf("[0,0,240,0," + d.want.join(",") + ",0,0,242"), 26);
        }
    }
}
