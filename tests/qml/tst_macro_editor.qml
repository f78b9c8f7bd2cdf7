import QtQuick
import QtTest
import "qrc:/modules/qml/J2/MacroEncoder.js" as Enc

// The macro editor inside the real window, with the key pages beside it and
// a controller that keeps macro files in memory and records every call.
Item {
    id: top
    width: 1024
    height: 640

    // Macro files, name list and bindings of the current profile.
    QtObject {
        id: store
        property var files: ({})
        property var nameList: []
        property var data: ({})
        property var calls: []
        property bool importPicks: false
        property bool renameWorks: true

        function note(s) { calls.push(s); }
        function reset(names) {
            files = {};
            data = {};
            calls = [];
            nameList = names.slice();
            for (var i = 0; i < names.length; ++i)
                if (names[i] !== "loadervortex")
                    files[names[i]] = { steps: [], repeat: "1" };
        }
        function getNameList(type) { return nameList; }
        function updataNameList(type, list) { nameList = list.slice(); note("updataNameList"); }
        function createMacroIni(name, index) {
            files[name] = { steps: [], repeat: "1" };
            note("createMacroIni(" + name + ")");
            return true;
        }
        function deleteMacroIni(name) { note("deleteMacroIni(" + name + ")"); delete files[name]; return true; }
        function loadMacroIni(name) {
            var f = files[name];
            return f === undefined ? [] : f.steps.concat([String(f.repeat)]);
        }
        function saveMacroIni(name, list, repeat) {
            files[name] = { steps: list.slice(), repeat: String(repeat) };
            note("saveMacroIni(" + name + ")");
            return true;
        }
        function loadMacroFile(name) {
            note("loadMacroFile(" + name + ")");
            if (importPicks)
                files[name] = { steps: ["1,B", "2,B"], repeat: "3" };
            return importPicks;
        }
        function saveMacroFile(name) { note("saveMacroFile(" + name + ")"); }
        function modifyMacroNameUpdateProfile(o, n) {
            note("modifyMacroNameUpdateProfile(" + o + "," + n + ")");
            if (!renameWorks)
                return false;
            files[n] = files[o];
            delete files[o];
            return true;
        }
        function deleteMacroUpdateProfile(name) { note("deleteMacroUpdateProfile(" + name + ")"); }
        function mouseSendMacroData(bytes, index) {
            note("send(" + index + ":" + Array.prototype.slice.call(bytes).join(" ") + ")");
            return true;
        }
        function getData(key, isRecovery) { return data[key] === undefined ? "" : data[key]; }
        function setData(key, value) { data[key] = value; note("setData(" + key + "," + value + ")"); return true; }
        function sends() { return calls.filter(function (c) { return c.indexOf("send(") === 0; }); }
    }

    TestCase {
        id: tc
        name: "MacroEditor"
        when: windowShown

        property var m: null
        property var ed: null

        function createMain(names) {
            ui_View.resetValues();
            store.reset(names);
            store.importPicks = false;
            store.renameWorks = true;
            var c = Qt.createComponent("qrc:/modules/qml/main.qml");
            verify(c.status === Component.Ready, c.errorString());
            m = createTemporaryObject(c, top);
            ed = m.macroEditorMain;
            ed.view = store;
            m.keyAssigmentMain.init();
            ed.init();
            m.keyMatrixMain.init(false, false);
            m.setProtectUI(0);
            tryCompare(m, "busy", false);
            m.visible = true;
            m.openDialog(ed, true);
            store.calls = [];
            callLog.clear();
            return ed;
        }

        function withMacro(steps, repeat) {
            createMain(["M"]);
            store.files["M"] = { steps: steps, repeat: repeat === undefined ? "1" : repeat };
            ed.selectMacro(0);
            store.calls = [];
        }

        function stepsNow() { return ed.stepStrings(); }
        function savedSteps(name) { return store.files[name].steps; }
        function bind(button, slot, name) {
            m.keyMatrixMain.modKeys.set(button, { keyCode0: 4, keyCode1: 0, keyCode2: slot, keyCode3: 0,
                                                  keyText: name });
            store.data["mouseMacroKey/" + slot] = name;
        }
        function key(isDown, code) { m.detectKeyboard(isDown, code); }

        // ---- names ----

        function test_init_data() {
            return [
                { tag: "one name with sentinel", stored: ["Only", "loadervortex"], shown: ["Only"] },
                { tag: "in stored order", stored: ["b", "a", "c"], shown: ["b", "a", "c"] },
                { tag: "damaged list", stored: ["x", "", "x", "y"], shown: ["x", "y"] },
                { tag: "none", stored: [], shown: [] },
            ];
        }

        function test_init(d) {
            createMain(d.stored);
            compare(ed.names(), d.shown);
            compare(ed.currentRow, -1);
            var list = m.keyAssigmentMain.macroList;
            compare(list.count, d.shown.length, "key assignment drop-down filled");
            for (var i = 0; i < d.shown.length; ++i)
                compare(list.rowText(i), d.shown[i]);
        }

        function test_new_name_data() {
            var full = [];
            for (var i = 0; i < 100; ++i)
                full.push("Other" + i);
            return [
                { tag: "empty", names: [], made: "Macro_0" },
                { tag: "gap", names: ["Macro_0", "Macro_2"], made: "Macro_1" },
                { tag: "after a run", names: ["Macro_1", "Macro_0", "x"], made: "Macro_2" },
                { tag: "100 macros", names: full, made: "" },
            ];
        }

        function test_new_name(d) {
            createMain(d.names);
            var made = ed.newMacro();
            compare(made, d.made !== "");
            if (d.made === "") {
                compare(ed.names().length, 100);
                compare(store.calls, []);
                return;
            }
            compare(ed.currentName(), d.made);
            compare(ed.currentRow, d.names.length, "appended and selected");
            compare(store.calls, ["createMacroIni(" + d.made + ")", "updataNameList"]);
            compare(store.nameList, d.names.concat([d.made]));
            compare(m.keyAssigmentMain.macroList.count, d.names.length + 1);
        }

        function test_import_data() {
            return [
                { tag: "file chosen", picks: true, steps: ["1,B", "2,B"], create: false },
                { tag: "none chosen", picks: false, steps: [], create: true },
            ];
        }

        function test_import(d) {
            createMain(["a", "b"]);
            ed.selectMacro(1);
            store.importPicks = d.picks;
            store.calls = [];
            verify(ed.importMacro());
            compare(ed.names(), ["a", "Macro_0", "b"], "inserted before the current row");
            compare(ed.currentName(), "Macro_0");
            compare(stepsNow(), d.steps);
            compare(store.calls.indexOf("createMacroIni(Macro_0)") >= 0, d.create);
            compare(store.nameList, ["a", "Macro_0", "b"]);
        }

        function test_rename_data() {
            return [
                { tag: "new name", to: "Burst", taken: true },
                { tag: "own name", to: "M", taken: false },
                { tag: "another macro's name", to: "Other", taken: false },
                { tag: "empty", to: "", taken: false },
                { tag: "list sentinel", to: "loadervortex", taken: false },
                { tag: "not a file name", to: "a/b:c", taken: false },
            ];
        }

        function test_rename(d) {
            createMain(["M", "Other"]);
            bind(9, 9, "M");
            ed.startRename(0);
            compare(ed.renameRow, 0);
            compare(ed.renameText, "M", "editor starts with the name");
            ed.renameText = d.to;
            store.calls = [];
            ed.macroEditorFocus(); // a press on the background ends editing
            compare(ed.renameRow, -1);
            compare(ed.names()[0], d.taken ? d.to : "M");
            if (!d.taken) {
                compare(store.calls, []);
                return;
            }
            compare(store.calls, ["setData(mouseMacroKey/9,Burst)",
                                  "modifyMacroNameUpdateProfile(M,Burst)", "updataNameList"]);
            compare(m.keyMatrixMain.modKeys.get(9).keyText, "Burst");
        }

        function test_rename_refused_by_the_file_keeps_bindings() {
            createMain(["M"]);
            bind(9, 9, "M");
            store.renameWorks = false;
            verify(!ed.renameMacro(0, "Burst"));
            compare(ed.names(), ["M"]);
            compare(store.data["mouseMacroKey/9"], "M");
            compare(m.keyMatrixMain.modKeys.get(9).keyText, "M");
        }

        function test_delete_data() {
            return [
                { tag: "bound to two buttons", bound: [[8, 8], [10, 10]], sent: 1 },
                { tag: "not bound", bound: [], sent: 0 },
            ];
        }

        function test_delete(d) {
            createMain(["a", "M", "c"]);
            store.files["c"].steps = ["1,C", "2,C"];
            for (var i = 0; i < d.bound.length; ++i)
                bind(d.bound[i][0], d.bound[i][1], "M");
            bind(11, 11, "a"); // another macro's button stays
            ed.selectMacro(1);
            store.calls = [];
            callLog.clear();
            verify(ed.deleteCurrent());
            compare(store.calls, ["deleteMacroIni(M)", "deleteMacroUpdateProfile(M)", "updataNameList"]);
            compare(callLog.entries().filter(function (e) {
                return e.indexOf("ui_View.mouseSetKeyMatrix") === 0; }).length, d.sent);
            for (i = 0; i < d.bound.length; ++i) {
                var r = m.keyMatrixMain.modKeys.get(d.bound[i][0]);
                var f = m.keyMatrixMain.modKeys_tmp.get(d.bound[i][0]);
                compare([r.keyCode0, r.keyCode1, r.keyCode2, r.keyCode3, r.keyText],
                         [f.keyCode0, f.keyCode1, f.keyCode2, f.keyCode3, f.keyText]);
            }
            compare(m.keyMatrixMain.modKeys.get(11).keyCode0, 4);
            compare(ed.names(), ["a", "c"]);
            compare(ed.currentName(), "c", "the row now current is loaded");
            compare(stepsNow(), ["1,C", "2,C"]);
            compare(m.keyAssigmentMain.macroList.count, 2);
        }

        // ---- recording ----

        function test_record_data() {
            return [
                { tag: "without delay", delay: false, steps: ["1,A", "2,A", "1,B", "2,B"] },
                { tag: "with delay", delay: true,
                  steps: ["1,A", "0,120", "2,A", "0,0", "1,B", "0,1270", "2,B"] },
            ];
        }

        function test_record(d) {
            withMacro(["1,C", "2,C"]);
            ed.delayCheck.isSelect = d.delay;
            mouseClick(findChild(ed, "macroRecordButton"));
            verify(ed.isInputting);
            compare(stepsNow(), [], "recording starts from an empty list");
            ed.tickCount = 500; // waiting before the first key counts for nothing
            key(true, 0x04);
            ed.tickCount = 12;
            key(false, 0x04);
            key(true, 0x05);
            ed.tickCount = 127;
            key(false, 0x05);
            compare(stepsNow(), d.steps);
            compare(store.calls, [], "saved when recording stops");
            mouseClick(findChild(ed, "macroRecordButton"));
            verify(!ed.isInputting);
            verify(!ed.recordTimer.running);
            compare(savedSteps("M"), d.steps);
        }

        function test_record_takes_labels_by_code() {
            withMacro([]);
            // A language whose mouse labels are not the English ones.
            var labels = m._KeyCodeString.defaultLabels.slice();
            labels[labels.length - 5] = "左键";
            labels[0] = "甲";
            m._KeyCodeString.keyCodeLang = labels;
            ed.startRecording();
            key(true, 0xF0);
            key(false, 0xF0);
            key(true, 0x04);
            key(true, 0x01); // no label: could not be played back
            compare(stepsNow(), ["3,左键", "4,左键", "1,甲"]);
            ed.stopRecording();
            compare(Enc.encode(savedSteps("M"), 1, ed.codeOf).slice(2, 8), [0x01, 0xF0, 0x81, 0xF0, 0x01, 0x04]);
        }

        function test_step_limit_data() {
            return [
                { tag: "61 actions reach 126", delay: false, pauseTicks: 0, taken: 61 },
                // From 124 bytes, an action after a long pause would need six.
                { tag: "long pause from 124 bytes", delay: true, pauseTicks: 200, taken: 60 },
                { tag: "short pause from 124 bytes", delay: true, pauseTicks: 5, taken: 61 },
            ];
        }

        function test_step_limit(d) {
            withMacro([]);
            ed.delayCheck.isSelect = d.delay;
            ed.startRecording();
            for (var i = 0; i < 60; ++i) {
                ed.tickCount = 0;
                key(i % 2 === 0, 0x04);
            }
            compare(ed.recordCount(), 124);
            ed.tickCount = d.pauseTicks;
            key(true, 0x05);
            key(false, 0x05); // at or past the limit either way
            var actions = stepsNow().filter(function (s) { return s.charAt(0) !== "0"; });
            compare(actions.length, d.taken);
            verify(ed.recordCount() <= 126);
            ed.stopRecording();
            verify(Enc.encode(savedSteps("M"), 1, ed.codeOf).length <= 128);
        }

        // ---- step menu ----

        function test_step_command_data() {
            return [
                { tag: "key on the last step", cmd: "key", at: 2,
                  steps: ["1,A", "2,A", "1,B", "1,C", "2,C"] },
                { tag: "key before another step", cmd: "key", at: 0,
                  steps: ["1,C", "2,C", "1,A", "2,A", "1,B"] },
                { tag: "left after the current step", cmd: 0, at: 0,
                  steps: ["1,A", "3,MS-L", "4,MS-L", "2,A", "1,B"] },
                { tag: "middle on the last step", cmd: 1, at: 2,
                  steps: ["1,A", "2,A", "1,B", "3,MS-M", "4,MS-M"] },
                { tag: "delay before the current step", cmd: "delay", at: 1,
                  steps: ["1,A", "0,50", "2,A", "1,B"] },
                { tag: "delete", cmd: "delete", at: 1, steps: ["1,A", "1,B"] },
            ];
        }

        function test_step_command(d) {
            withMacro(["1,A", "2,A", "1,B"]);
            ed.stepRow = d.at;
            if (d.cmd === "key") {
                verify(ed.openInsertKey());
                verify(findChild(ed, "macroInsertKeyMask").visible);
                key(true, 0xF0); // mouse buttons are not keys to insert
                key(true, 0x07);
                key(false, 0x06);
                compare(findChild(ed, "macroInsertKeyLabel").text, "C");
                mouseClick(findChild(ed, "macroInsertKeyOk"));
                verify(!ed.isInsertting);
                verify(!findChild(ed, "macroInsertKeyMask").visible);
            } else if (d.cmd === "delete") {
                verify(ed.deleteStep());
            } else if (d.cmd === "delay") {
                verify(ed.insertDelay());
                compare(ed.stepRow, d.at, "the new pause is current");
            } else {
                verify(ed.insertMouseKey(d.cmd));
            }
            compare(stepsNow(), d.steps);
            compare(savedSteps("M"), d.steps, "autosaved");
        }

        function test_insert_refused_at_the_limit() {
            var full = [];
            for (var i = 0; i < 61; ++i)
                full.push(i % 2 === 0 ? "1,A" : "2,A");
            withMacro(full);
            compare(ed.recordCount(), 126);
            ed.stepRow = 3;
            verify(!ed.insertDelay());
            verify(!ed.insertMouseKey(0));
            verify(!ed.openInsertKey());
            compare(stepsNow(), full);
            compare(store.calls, []);
        }

        function test_step_menu_opens_on_right_click() {
            withMacro(["1,A", "2,A"]);
            tryVerify(function () { return findChild(ed, "macroStepRow1") !== null; });
            var row = findChild(ed, "macroStepRow1");
            mouseClick(row, 40, 10, Qt.RightButton);
            compare(ed.stepRow, 1);
            verify(ed.stepMenu.visible);
            ed.macroEditorFocus();
            verify(!ed.stepMenu.visible);
        }

        function test_pause_edit_data() {
            return [
                { tag: "number", text: "2000", info: "2000" },
                { tag: "not a number", text: "abc", info: "50" },
            ];
        }

        function test_pause_edit(d) {
            withMacro(["1,A", "0,50", "2,A"]);
            ed.startPauseEdit(0); // not a pause: nothing opens
            compare(ed.pauseRow, -1);
            ed.startPauseEdit(1);
            compare(ed.pauseText, "50");
            ed.pauseText = d.text;
            ed.macroEditorFocus();
            compare(ed.pauseRow, -1);
            compare(ed.macroStepModel.get(1).info, d.info);
            compare(savedSteps("M"), ["1,A", "0," + d.info, "2,A"], "autosave either way");
        }

        function test_pause_edit_that_would_overflow_the_slot() {
            var s = [];
            for (var i = 0; i < 60; ++i)
                s.push(i % 2 === 0 ? "1,A" : "2,A");
            s.splice(1, 0, "0,1260"); // still short: 61 actions, 126 bytes
            s.push("0,10", "1,B");
            withMacro(s);
            compare(ed.recordCount(), 126);
            ed.startPauseEdit(1);
            ed.pauseText = "5000";
            ed.macroEditorFocus();
            compare(ed.macroStepModel.get(1).info, "1260");
            verify(ed.recordCount() <= 128);
        }

        function test_repeat_box_data() {
            return [
                { tag: "number", text: "300", saved: "300" },
                { tag: "empty", text: "", saved: "0" },
                { tag: "zero", text: "0", saved: "0" },
            ];
        }

        function test_repeat_box(d) {
            withMacro(["1,A", "2,A"], "4");
            compare(ed.repeatBox.textValue, "4", "loaded with the steps");
            ed.repeatBox.input.forceActiveFocus();
            ed.repeatBox.textValue = d.text;
            ed.macroEditorFocus();
            compare(ed.repeatBox.textValue, d.saved);
            compare(store.files["M"].repeat, d.saved);
        }

        // ---- download ----

        function test_autosave_sends_to_bound_buttons() {
            withMacro(["1,A", "2,A"]);
            store.files["Other"] = { steps: [], repeat: "1" };
            bind(3, 3, "M");
            bind(5, 5, "Other");
            bind(9, 9, "M");
            store.calls = [];
            ed.stepRow = 1;
            ed.insertDelay();
            compare(store.sends(), ["send(3:0 1 5 4 129 4 0 0)", "send(9:0 1 5 4 129 4 0 0)"]);
        }

        function test_send_macro_data() {
            return [{ tag: "553", icType: "553" }, { tag: "560", icType: "560" }];
        }

        function test_send_macro(d) {
            withMacro(["1,A", "0,2000", "2,A"], "300");
            m.icType = d.icType;
            verify(ed.sendMacro(2, "M"));
            verify(!ed.sendMacro(4, "missing"), "no file, nothing sent");
            compare(store.sends(), ["send(2:1 44 0 4 0 1 0 100 129 4 0 0)"]);
        }

        function test_close_while_recording() {
            withMacro([]);
            ed.startRecording();
            key(true, 0x04);
            mouseClick(findChild(ed, "macroEditorClose"));
            verify(!ed.isInputting);
            verify(!ed.visible);
            verify(!findChild(m, "mainMask").visible);
            compare(savedSteps("M"), ["1,A"]);
        }
    }
}
