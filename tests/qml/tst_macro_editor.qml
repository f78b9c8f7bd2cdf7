import QtQuick
import QtTest
import "qrc:/modules/qml/J2/MacroEncoder.js" as Enc

// The macro editor with the key pages beside it, against the recording
// controller, which keeps macro files in memory.
Item {
    id: top
    width: 1024
    height: 640

    WindowTestCase {
        name: "MacroEditor"
        pageName: "macroEditorMain"

        // The editor on the given macro files; with steps, the macro "M"
        // holding them is selected.
        function start(names, steps, repeat) {
            load({}, {});
            ui_View.setNameList(0, names);
            for (var i = 0; i < names.length; ++i)
                ui_View.macros[names[i]] = ["1"];
            root.keyMatrixMain.init(false, false);
            page.ui().delayCheck.isSelect = false;
            page.init();
            root.openDialog(page, true);
            if (steps !== undefined) {
                ui_View.macros["M"] = steps.concat([repeat || "1"]);
                page.selectMacro(names.indexOf("M"));
            }
            callLog.clear();
        }
        function macro(name) { return ui_View.macros[name || "M"]; }
        function stored() { return ui_View.getNameList(0); }
        function savedSteps() { return macro().slice(0, -1); }
        function bind(button, name) {
            root.keyMatrixMain.modKeys.set(button, { keyCode0: 4, keyCode1: 0, keyCode2: button, keyCode3: 0, keyText: name });
            ui_View.setDataValue("mouseMacroKey/" + button, name);
        }
        function key(isDown, code) { root.detectKeyboard(isDown, code); }
        function taps(n) {
            var s = [];
            for (var i = 0; i < n; ++i)
                s.push(i % 2 === 0 ? "1,A" : "2,A");
            return s;
        }

        function test_init_data() {
            return [
                { tag: "damaged list", stored: ["x", "", "x", "y"], shown: ["x", "y"] },
                { tag: "none", stored: [], shown: [] },
            ];
        }
        function test_init(d) {
            start(d.stored);
            compare(page.names(), d.shown);
            var list = root.keyAssigmentMain.macroList;
            compare(list.count, d.shown.length, "the key dialog lists them too");
        }

        function test_newName_data() {
            var full = [];
            for (var i = 0; i < 100; ++i)
                full.push("Other" + i);
            return [
                { tag: "gap", names: ["Macro_0", "Macro_2"], made: "Macro_1" },
                { tag: "after a run", names: ["Macro_1", "Macro_0", "x"], made: "Macro_2" },
                { tag: "100 macros", names: full, made: "" },
            ];
        }
        function test_newName(d) {
            start(d.names);
            compare(page.newMacro(), d.made !== "");
            compare(d.made in ui_View.macros, d.made !== "");
            compare(stored(), d.made === "" ? d.names : d.names.concat([d.made]));
        }

        function test_import_data() {
            return [{ tag: "file chosen", picks: true, steps: ["1,B", "2,B"] }, { tag: "none chosen", picks: false, steps: [] }];
        }
        function test_import(d) {
            start(["a", "b"]);
            page.selectMacro(1);
            ui_View.importPicks = d.picks;
            verify(page.importMacro());
            compare(stored(), ["a", "Macro_0", "b"], "inserted before the current row");
            compare(page.stepStrings(), d.steps);
        }

        // A new name goes to the files and to the buttons bound to it.
        function test_rename_data() {
            return [
                { tag: "new name", to: "Burst", taken: true },
                { tag: "another macro's name", to: "Other", taken: false },
                { tag: "empty", to: "", taken: false },
                { tag: "list marker", to: "loadervortex", taken: false },
                { tag: "not a file name", to: "a/b:c", taken: false },
                { tag: "refused by the file", to: "Burst", taken: false, fails: true },
            ];
        }
        function test_rename(d) {
            start(["M", "Other"]);
            bind(9, "M");
            ui_View.renameWorks = !d.fails;
            page.startRename(0);
            page.renameText = d.to;
            page.macroEditorFocus();
            compare(page.names()[0], d.taken ? d.to : "M");
            compare(ui_View.data["mouseMacroKey/9"], d.taken ? d.to : "M");
            compare(root.keyMatrixMain.modKeys.get(9).keyText, d.taken ? d.to : "M");
        }

        // Buttons bound to a deleted macro go back to their factory function
        // and reach the mouse; the next macro is shown.
        function test_delete_data() {
            return [{ tag: "bound to two buttons", bound: [8, 10], sent: 1 }, { tag: "not bound", bound: [], sent: 0 }];
        }
        function test_delete(d) {
            start(["a", "M", "c"], []);
            ui_View.macros["c"] = ["1,C", "2,C", "1"];
            for (var i = 0; i < d.bound.length; ++i)
                bind(d.bound[i], "M");
            bind(11, "a");
            verify(page.deleteCurrent());
            compare(callLog.entries().filter(function (e) { return /deleteMacro|updata/.test(e); }),
                    ["ui_View.deleteMacroIni(M)", "ui_View.deleteMacroUpdateProfile(M)", "ui_View.updataNameList(0,[a,c])"]);
            compare(calls("ui_View.mouseSetKeyMatrix").length, d.sent);
            for (i = 0; i < d.bound.length; ++i)
                compare(root.keyMatrixMain.modKeys.get(d.bound[i]).keyCode0, 0);
            compare(root.keyMatrixMain.modKeys.get(11).keyCode0, 4);
            compare(page.stepStrings(), ["1,C", "2,C"]);
        }

        // Waiting before the first key counts for nothing; a key without a
        // label cannot be played and is left out.
        function test_record_data() {
            return [
                { tag: "without delay", delay: false, steps: ["1,A", "2,A", "1,B", "2,B", "3,MS-L"] },
                { tag: "with delay", delay: true, steps: ["1,A", "0,120", "2,A", "0,0", "1,B", "0,1270", "2,B", "0,0", "3,MS-L"] },
            ];
        }
        function test_record(d) {
            start(["M"], ["1,C", "2,C"]);
            page.ui().delayCheck.isSelect = d.delay;
            mouseClick(findChild(page, "macroRecordButton"));
            verify(page.isInputting);
            page.tickCount = 500;
            key(true, 0x04);
            page.tickCount = 12;
            key(false, 0x04);
            key(true, 0x05);
            page.tickCount = 127;
            key(false, 0x05);
            key(true, 0x01);
            key(true, 0xF0);
            compare(savedSteps(), ["1,C", "2,C"], "saved when recording stops");
            mouseClick(findChild(page, "macroRecordButton"));
            verify(!page.isInputting);
            compare(savedSteps(), d.steps);
        }

        // Labels of another language are recorded; the image takes their codes.
        function test_recordTakesLabelsByCode() {
            start(["M"], []);
            var before = root._KeyCodeString.keyCodeLang;
            var labels = root._KeyCodeString.defaultLabels.slice();
            labels[labels.length - 5] = "左键";
            labels[0] = "甲";
            root._KeyCodeString.keyCodeLang = labels;
            page.startRecording();
            key(true, 0xF0);
            key(true, 0x04);
            page.stopRecording();
            compare(savedSteps(), ["3,左键", "1,甲"]);
            compare(Enc.encode(savedSteps(), 1, page.codeOf).slice(2, 6), [0x01, 0xF0, 0x01, 0x04]);
            root._KeyCodeString.keyCodeLang = before;
        }

        // Recording stops adding at the editor's limit, earlier when an
        // action after a long pause would pass the slot.
        function test_stepLimit_data() {
            return [
                { tag: "61 actions reach 126", delay: false, ticks: 0, taken: 61 },
                { tag: "long pause from 124 bytes", delay: true, ticks: 200, taken: 60 },
                { tag: "short pause from 124 bytes", delay: true, ticks: 5, taken: 61 },
            ];
        }
        function test_stepLimit(d) {
            start(["M"], []);
            page.ui().delayCheck.isSelect = d.delay;
            page.startRecording();
            for (var i = 0; i < 60; ++i) {
                page.tickCount = 0;
                key(i % 2 === 0, 0x04);
            }
            page.tickCount = d.ticks;
            key(true, 0x05);
            key(false, 0x05);
            page.stopRecording();
            compare(savedSteps().filter(function (s) { return s.charAt(0) !== "0"; }).length, d.taken);
        }

        function test_stepCommand_data() {
            return [
                { tag: "key on the last step", cmd: "key", at: 2, steps: ["1,A", "2,A", "1,B", "1,C", "2,C"] },
                { tag: "key before another step", cmd: "key", at: 0, steps: ["1,C", "2,C", "1,A", "2,A", "1,B"] },
                { tag: "left after the current step", cmd: 0, at: 0, steps: ["1,A", "3,MS-L", "4,MS-L", "2,A", "1,B"] },
                { tag: "middle on the last step", cmd: 1, at: 2, steps: ["1,A", "2,A", "1,B", "3,MS-M", "4,MS-M"] },
                { tag: "delay before the current step", cmd: "delay", at: 1, steps: ["1,A", "0,50", "2,A", "1,B"] },
                { tag: "delete", cmd: "delete", at: 1, steps: ["1,A", "1,B"] },
            ];
        }
        function test_stepCommand(d) {
            start(["M"], ["1,A", "2,A", "1,B"]);
            page.stepRow = d.at;
            if (d.cmd === "key") {
                verify(page.openInsertKey());
                key(true, 0xF0); // mouse buttons are not keys to insert
                key(true, 0x07);
                key(false, 0x06);
                page.confirmInsertKey();
            } else if (d.cmd === "delete") {
                verify(page.deleteStep());
            } else if (d.cmd === "delay") {
                verify(page.insertDelay());
            } else {
                verify(page.insertMouseKey(d.cmd));
            }
            compare(savedSteps(), d.steps, "autosaved");
        }

        // At the limit nothing is inserted; a pause edit that would pass
        // the slot keeps the old pause.
        function test_limitRefusesEdits() {
            var full = taps(61);
            start(["M"], full);
            page.stepRow = 3;
            verify(!page.insertDelay());
            verify(!page.insertMouseKey(0));
            verify(!page.openInsertKey());
            compare(callLog.entries(), []);
            var s = taps(60);
            s.splice(1, 0, "0,1260");
            s.push("0,10", "1,B");
            start(["M"], s);
            page.startPauseEdit(1);
            page.pauseText = "5000";
            page.macroEditorFocus();
            compare(savedSteps()[1], "0,1260");
        }

        function test_pauseAndRepeatBoxes_data() {
            return [
                { tag: "numbers", pause: "2000", repeat: "300", steps: ["1,A", "0,2000", "2,A"], saved: "300" },
                { tag: "not numbers", pause: "abc", repeat: "", steps: ["1,A", "0,50", "2,A"], saved: "0" },
            ];
        }
        function test_pauseAndRepeatBoxes(d) {
            start(["M"], ["1,A", "0,50", "2,A"], "4");
            compare(page.body.repeatBox.textValue, "4");
            page.startPauseEdit(1);
            page.pauseText = d.pause;
            page.macroEditorFocus();
            typeInto(page.body.repeatBox, d.repeat);
            page.macroEditorFocus();
            compare(savedSteps(), d.steps);
            compare(macro().slice(-1), [d.saved]);
        }

        // Every change goes to the buttons bound to the macro at once.
        function test_autosaveSendsToBoundButtons() {
            start(["M", "Other"], ["1,A", "2,A"]);
            bind(3, "M");
            bind(5, "Other");
            bind(9, "M");
            page.stepRow = 1;
            page.insertDelay();
            compare(calls("ui_View.mouseSendMacroData"), ["ui_View.mouseSendMacroData([0,1,5,4,129,4,0,0],3)",
                              "ui_View.mouseSendMacroData([0,1,5,4,129,4,0,0],9)"]);
            callLog.clear();
            verify(!page.sendMacro(4, "missing"), "no file, nothing sent");
            compare(calls("ui_View.mouseSendMacroData"), []);
        }

        function test_closeWhileRecording() {
            start(["M"], []);
            page.startRecording();
            key(true, 0x04);
            mouseClick(findChild(page, "macroEditorClose"));
            verify(!page.isInputting && !page.visible && !findChild(root, "mainMask").visible);
            compare(savedSteps(), ["1,A"]);
        }
    }
}
