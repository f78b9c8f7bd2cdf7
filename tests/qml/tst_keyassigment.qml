import QtQuick
import QtTest

// The key assignment page inside the real window: picture, panel, dialog
// and label table together, against the recording controller.
Item {
    id: keyHarness
    width: 1024
    height: 640

    property var macroCalls: []

    // Stands in for the macro editor: records what it is asked to download.
    Component {
        id: fakeMacroEditor
        Item {
            visible: false
            function sendMacro(slot, name) {
                keyHarness.macroCalls = keyHarness.macroCalls.concat(["sendMacro(" + slot + "," + name + ")"]);
                callLog.note("macroEditorMain.sendMacro(" + slot + "," + name + ")");
            }
        }
    }
    // Stands in for the gun editor: presets with their intervals and the
    // preset chosen for each slot.
    Component {
        id: fakeGunEditor
        Item {
            visible: false
            property int selectGun1: 2
            property int selectGun2: 0
            property int selectGun3: 5
            property ListModel gunNumberModel: ListModel {
                ListElement { gunName: "M416"; gunPeriod: "10" }
                ListElement { gunName: "AKM"; gunPeriod: "25" }
                ListElement { gunName: "M16A4"; gunPeriod: "33" }
                ListElement { gunName: "SCAR-L"; gunPeriod: "12" }
                ListElement { gunName: "UNP9"; gunPeriod: "9" }
                ListElement { gunName: "Thomson"; gunPeriod: "90" }
            }
        }
    }

    TestCase {
        id: tc
        name: "KeyAssigment"
        when: windowShown

        // Factory entries of the shipped default profile, as the controller
        // hands them over (texts).
        readonly property var factory: [["0", "0", "240", "0"], ["0", "0", "241", "0"],
            ["0", "0", "242", "0"], ["0", "0", "244", "0"], ["0", "0", "243", "0"],
            ["5", "0", "1", "0"], ["5", "0", "2", "0"], ["0", "240", "30", "3"],
            ["0", "0", "0", "0"], ["0", "0", "0", "0"], ["0", "0", "0", "0"], ["0", "0", "0", "0"],
            ["0", "0", "0", "0"], ["0", "0", "0", "0"], ["255", "0", "1", "0"], ["255", "0", "2", "0"]]

        property var m: null

        function entries(list) {
            for (var j = 0; j < 16; ++j)
                ui_View.setKeydefine(j, false, list[j] === undefined ? factory[j] : list[j]);
        }

        // The window with the real key pages, a recording macro editor and,
        // unless told otherwise, a gun editor; the pages are initialised as
        // at start-up.
        function createMain(opts) {
            opts = opts || {};
            ui_View.resetValues();
            ui_View.setGlobalValue("mouse/isGun", opts.isGun === undefined ? "true" : opts.isGun);
            ui_View.setGlobalValue("mouse/keyCount", opts.keyCount === undefined ? 10 : opts.keyCount);
            ui_View.setGlobalValue("common/language", "English");
            for (var j = 0; j < 16; ++j)
                ui_View.setKeydefine(j, true, factory[j]);
            entries(opts.working || []);
            if (opts.macroNames)
                for (var k in opts.macroNames)
                    ui_View.setDataValue("mouseMacroKey/" + k, opts.macroNames[k]);
            var c = Qt.createComponent("qrc:/modules/qml/main.qml");
            verify(c.status === Component.Ready, c.errorString());
            var main = createTemporaryObject(c, keyHarness);
            verify(main !== null);
            findChild(main, "macroEditorSlot").sourceComponent = fakeMacroEditor;
            findChild(main, "gunControlSlot").sourceComponent = opts.noGunPage ? null : fakeGunEditor;
            // Only the key pages are under test; the others stay unloaded.
            var others = ["reportRateSlot", "dpiSettingSlot", "lightControlSlot", "systemSettingSlot",
                          "profileSlot"];
            for (var o = 0; o < others.length; ++o)
                findChild(main, others[o]).source = "";
            verify(main.keyMatrixMain !== null, "key matrix page");
            verify(main.keyAssigmentMain !== null, "key assignment page");
            verify(main.mouseMain !== null, "mouse picture");
            verify(main._KeyCodeString !== null, "key label table");
            main.readGlobalState();
            if (opts.lang)
                for (var g in opts.lang)
                    ui_View.setLangGroup(g, opts.lang[g]);
            if (opts.fetchTexts)
                main.fetchTexts();
            main.keyAssigmentMain.init();
            main.keyMatrixMain.init(false, false);
            main.visible = true;
            main.setProtectUI(0);
            tryCompare(main, "uiShown", true);
            tryCompare(main, "busy", false);
            keyHarness.macroCalls = [];
            callLog.clear();
            m = main;
            return main;
        }

        function dialog() { return m.keyAssigmentMain; }
        function panel() { return m.keyMatrixMain; }
        function entry(j) {
            var r = panel().modKeys.get(j);
            return [r.keyCode0, r.keyCode1, r.keyCode2, r.keyCode3];
        }
        function dialogCodes() {
            var d = dialog();
            return [d.keyCode0, d.keyCode1, d.keyCode2, d.keyCode3];
        }
        function child(name) {
            var c = findChild(m, name);
            verify(c !== null, name);
            return c;
        }
        function logged(prefix) {
            return callLog.entries().filter(function (e) { return e.indexOf(prefix) === 0; });
        }
        function clickChild(name) {
            var c = child(name);
            verify(c.visible, name + " visible");
            mouseClick(c);
        }
        function openFromPanel(j) {
            clickChild("keyMatrixRow" + j);
        }


        // Brings an item of the scrolling content into view before a click.
        function reveal(item) {
            var area = dialog().scrollArea;
            area.contentY = Math.max(0, Math.min(470, item.y - 60));
            wait(0);
        }
        function clickInContent(name) {
            var c = child(name);
            reveal(c);
            mouseClick(c, 5, c.height / 2);
        }
        function openGrid(name) {
            var g = child(name);
            reveal(g);
            mouseClick(g, 20, 12);
            tryCompare(g, "animating", false);
            verify(g.isDrop);
            return g;
        }
        function chooseCell(name, i) {
            var g = openGrid(name);
            mouseClick(g, (i % 3) * 107 + 50, 24 + Math.floor(i / 3) * 24 + 12);
            tryCompare(g, "isDrop", false);
            return g;
        }
        function closeDialog() {
            mousePress(child("keyAssigmentClose"), 8, 8);
            mouseRelease(child("keyAssigmentClose"), 8, 8);
        }

        // ---- loading ----

        function test_load_data() {
            return [
                { tag: "left", e: ["0", "0", "240", "0"], text: "Left Key" },
                { tag: "right", e: ["0", "0", "241", "0"], text: "Right Key" },
                { tag: "middle", e: ["0", "0", "242", "0"], text: "Middle Key" },
                { tag: "back", e: ["0", "0", "243", "0"], text: "Back Key" },
                { tag: "forward", e: ["0", "0", "244", "0"], text: "Forward Key" },
                { tag: "double click", e: ["0", "240", "30", "3"], text: "Double Fire" },
                { tag: "any other mouse code", e: ["0", "0", "0", "0"], text: "Double Fire" },
                { tag: "fire key", e: ["1", "4", "10", "0"], text: "A" },
                { tag: "fire key with a shared label", e: ["1", "50", "10", "0"], text: "\\" },
                { tag: "combination", e: ["2", "3", "4", "5"], text: "LCtrl+LShift+A+B" },
                { tag: "combination, modifiers in bit order", e: ["2", "129", "0", "0"],
                  text: "LCtrl+RWin" },
                { tag: "combination, second key only", e: ["2", "0", "0", "6"], text: "C" },
                { tag: "media", e: ["3", "0", "205", "0"], text: "Play/Pause" },
                { tag: "media player", e: ["3", "0", "131", "1"], text: "Player" },
                { tag: "media unknown", e: ["3", "0", "205", "1"], text: "" },
                { tag: "macro", e: ["4", "1", "8", "0"], text: "burst" },
                { tag: "macro without a stored name", e: ["4", "0", "9", "0"], text: "" },
                { tag: "DPI+", e: ["5", "0", "1", "0"], text: "DPI+" },
                { tag: "sniper", e: ["5", "0", "4", "0"], text: "Sniper Key" },
                { tag: "DPI out of range", e: ["5", "0", "5", "0"], text: "" },
                { tag: "windows", e: ["6", "0", "148", "1"], text: "My PC" },
                { tag: "windows, code1 not compared", e: ["6", "4", "227", "7"], text: "Desktop" },
                { tag: "windows max", e: ["6", "4", "44", "27"], text: "Max" },
                { tag: "shortcut", e: ["7", "0", "224", "25"], text: "Paste" },
                { tag: "shortcut without ctrl", e: ["7", "0", "0", "25"], text: "" },
                { tag: "gun", e: ["8", "0", "3", "0"], text: "Three Gun" },
                { tag: "gun out of range", e: ["8", "0", "4", "0"], text: "" },
                { tag: "class 9", e: ["9", "0", "1", "0"], text: "" },
                { tag: "reserved class", e: ["255", "0", "1", "0"], text: "" },
            ];
        }
        function test_load(data) {
            var w = [];
            w[8] = data.e;
            createMain({ working: w, macroNames: { 8: "burst" } });
            compare(entry(8), data.e.map(Number));
            compare(panel().modKeys.get(8).keyText, data.text);
            compare(child("keyMatrixRowText8").text, data.text);
            // The factory list is loaded beside it.
            compare(panel().modKeys_tmp.get(8).keyText, "Double Fire");
        }

        function test_loadAllSixteen() {
            var w = [];
            w[14] = ["255", "7", "9", "1"];
            createMain({ working: w });
            panel().init(false, false);
            var texts = ["Left Key", "Right Key", "Middle Key", "Forward Key", "Back Key", "DPI+",
                         "DPI-", "Double Fire"];
            for (var j = 0; j < 8; ++j)
                compare(panel().modKeys.get(j).keyText, texts[j], "entry " + j);
            compare(entry(14), [255, 7, 9, 1]);
            compare(entry(15), [255, 0, 2, 0]);
            var asked = logged("ui_View.mouseGetKeydefine");
            for (j = 0; j < 16; ++j) {
                verify(asked.indexOf("ui_View.mouseGetKeydefine(" + j + ",false)") >= 0, "working " + j);
                verify(asked.indexOf("ui_View.mouseGetKeydefine(" + j + ",true)") >= 0, "factory " + j);
            }
        }

        function test_initRecoveryAndSend() {
            var w = [];
            w[2] = ["3", "0", "226", "0"];
            createMain({ working: w });
            compare(entry(2), [3, 0, 226, 0]);
            callLog.clear();
            panel().init(true, true);
            compare(entry(2), [0, 0, 242, 0]);
            compare(logged("ui_View.mouseGetKeydefine(2,false)").length, 0);
            var sent = logged("ui_View.mouseSetKeyMatrix");
            compare(sent.length, 1);
            verify(sent[0].indexOf("[0,0,240,0,0,0,241,0,0,0,242,0,") > 0, sent[0]);
        }

        // A missing or broken stored entry must not turn into zeros that
        // the next Save would write to the mouse.
        function test_badStoredEntries_data() {
            return [
                { tag: "missing working entry", w: [], f: null, want: [0, 0, 241, 0] },
                { tag: "short working entry", w: ["1", "4"], f: null, want: [0, 0, 241, 0] },
                { tag: "text in working entry", w: ["1", "x", "10", "0"], f: null, want: [0, 0, 241, 0] },
                { tag: "out of range", w: ["1", "300", "10", "0"], f: null, want: [0, 0, 241, 0] },
                { tag: "fraction", w: ["1", "4.5", "10", "0"], f: null, want: [0, 0, 241, 0] },
                { tag: "working and factory missing", w: [], f: [], want: [0, 0, 241, 0] },
                { tag: "factory broken, working fine", w: ["5", "0", "3", "0"], f: ["a"],
                  want: [5, 0, 3, 0] },
            ];
        }
        function test_badStoredEntries(data) {
            var w = [];
            w[1] = data.w;
            createMain({ working: w });
            if (data.f !== null) {
                ui_View.setKeydefine(1, true, data.f);
                panel().init(false, false);
            }
            compare(entry(1), data.want);
            verify(panel().modKeys.get(1).keyText !== "" || data.want[0] === 5);
        }

        function test_languageTexts() {
            var ka = ["Taste ", "", "Links"];
            createMain({ fetchTexts: true, lang: { keyAssigment: ka, keyMatrix: ["Taste", "Belegung"],
                                                     keyCode: ["a", "b"] } });
            compare(panel().modKeys.get(0).keyText, "Links");
            // A short group leaves the later options without text.
            compare(panel().modKeys.get(1).keyText, "");
            compare(panel().keyMatrixLang[1], "Belegung");
            compare(panel().rowNames[0], "Taste 1");
            compare(panel().rowNames[8], "");
            compare(dialog().keyCodeToString(1, 0x05, 10, 0), "b");
            compare(dialog().keyCodeToString(1, 0x06, 10, 0), "");
            compare(dialog().mediaCells[0].textValue, "");
        }

        // ---- choosing in the dialog ----

        function test_choose_data() {
            return [
                { tag: "left", radio: "mouseOption0", want: [0, 0, 0xF0, 0], text: "Left Key" },
                { tag: "middle", radio: "mouseOption1", want: [0, 0, 0xF2, 0], text: "Middle Key" },
                { tag: "right", radio: "mouseOption2", want: [0, 0, 0xF1, 0], text: "Right Key" },
                { tag: "forward", radio: "mouseOption3", want: [0, 0, 0xF4, 0], text: "Forward Key" },
                { tag: "back", radio: "mouseOption4", want: [0, 0, 0xF3, 0], text: "Back Key" },
                { tag: "double", radio: "mouseOption5", want: [0, 0xF0, 0x1E, 3], text: "Double Fire" },
                { tag: "DPI+", radio: "dpiOption0", want: [5, 0, 1, 0], text: "DPI+" },
                { tag: "DPI-", radio: "dpiOption1", want: [5, 0, 2, 0], text: "DPI-" },
                { tag: "DPI loop", radio: "dpiOption2", want: [5, 0, 3, 0], text: "DPI LOOP" },
                { tag: "sniper", radio: "dpiOption3", want: [5, 0, 4, 0], text: "Sniper Key" },
                { tag: "one gun", radio: "gunOption0", want: [8, 0, 1, 0], text: "One Gun" },
                { tag: "two gun", radio: "gunOption1", want: [8, 0, 2, 0], text: "Two Gun" },
                { tag: "three gun", radio: "gunOption2", want: [8, 0, 3, 0], text: "Three Gun" },
                { tag: "player", grid: "mediaGrid", cell: 0, want: [3, 0, 0x83, 1], text: "Player" },
                { tag: "next", grid: "mediaGrid", cell: 1, want: [3, 0, 0xB5, 0], text: "Next" },
                { tag: "previous", grid: "mediaGrid", cell: 2, want: [3, 0, 0xB6, 0], text: "Privous" },
                { tag: "stop", grid: "mediaGrid", cell: 3, want: [3, 0, 0xB7, 0], text: "Stop" },
                { tag: "mute", grid: "mediaGrid", cell: 4, want: [3, 0, 0xE2, 0], text: "Mute" },
                { tag: "play", grid: "mediaGrid", cell: 5, want: [3, 0, 0xCD, 0], text: "Play/Pause" },
                { tag: "vol+", grid: "mediaGrid", cell: 6, want: [3, 0, 0xE9, 0], text: "Volumn+" },
                { tag: "vol-", grid: "mediaGrid", cell: 7, want: [3, 0, 0xEA, 0], text: "Volumn-" },
                { tag: "my pc", grid: "windowsGrid", cell: 0, want: [6, 0, 0x94, 1], text: "My PC" },
                { tag: "index", grid: "windowsGrid", cell: 1, want: [6, 0, 0x23, 2], text: "Index" },
                { tag: "search", grid: "windowsGrid", cell: 2, want: [6, 0, 0x21, 2], text: "Search" },
                { tag: "max", grid: "windowsGrid", cell: 3, want: [6, 4, 0x2C, 0x1B], text: "Max" },
                { tag: "min", grid: "windowsGrid", cell: 4, want: [6, 4, 0x2C, 0x11], text: "Min" },
                { tag: "desktop", grid: "windowsGrid", cell: 5, want: [6, 0, 0xE3, 7], text: "Desktop" },
                { tag: "run", grid: "windowsGrid", cell: 6, want: [6, 0, 0xE3, 0x15], text: "Run" },
                { tag: "new", grid: "shortcutGrid", cell: 0, want: [7, 0, 0xE0, 0x11], text: "New" },
                { tag: "cut", grid: "shortcutGrid", cell: 1, want: [7, 0, 0xE0, 0x1B], text: "Cut" },
                { tag: "copy", grid: "shortcutGrid", cell: 2, want: [7, 0, 0xE0, 0x06], text: "Copy" },
                { tag: "paste", grid: "shortcutGrid", cell: 3, want: [7, 0, 0xE0, 0x19], text: "Paste" },
                { tag: "save", grid: "shortcutGrid", cell: 4, want: [7, 0, 0xE0, 0x16], text: "Save" },
                { tag: "print", grid: "shortcutGrid", cell: 5, want: [7, 0, 0xE0, 0x13], text: "Print" },
                { tag: "find", grid: "shortcutGrid", cell: 6, want: [7, 0, 0xE0, 0x09], text: "Find" },
                { tag: "redo", grid: "shortcutGrid", cell: 7, want: [7, 0, 0xE0, 0x1C], text: "Redo" },
                { tag: "undo", grid: "shortcutGrid", cell: 8, want: [7, 0, 0xE0, 0x1D], text: "Undo" },
                { tag: "select all", grid: "shortcutGrid", cell: 9, want: [7, 0, 0xE0, 0x04],
                  text: "Select All" },
            ];
        }
        function test_choose(data) {
            createMain();
            openFromPanel(9);
            verify(dialog().visible);
            compare(dialogCodes(), [0, 0, 0, 0]);
            if (data.radio)
                clickInContent(data.radio);
            else
                chooseCell(data.grid, data.cell);
            compare(dialogCodes(), data.want);
            compare(dialog().keyString, data.text);
            // Nothing reaches the panel before the dialog closes.
            compare(entry(9), [0, 0, 0, 0]);
            compare(panel().isSave, false);
            closeDialog();
            verify(!dialog().visible);
            verify(!child("mainMask").visible);
            compare(entry(9), data.want);
            compare(panel().modKeys.get(9).keyText, data.text);
            compare(panel().isSave, true);
            compare(m.mouseMain.selectKey, -1);
        }

        function test_radioClearsOnlyItsOwnSection() {
            createMain();
            openFromPanel(9);
            clickInContent("mouseOption1");
            clickInContent("mouseOption3");
            verify(!child("mouseOption1").isSelect);
            verify(child("mouseOption3").isSelect);
            clickInContent("dpiOption0");
            verify(child("dpiOption0").isSelect);
            verify(child("mouseOption3").isSelect);
            compare(dialogCodes(), [5, 0, 1, 0]);
        }

        function test_emptyGridCellChoosesNothing_data() {
            return [
                { tag: "media", grid: "mediaGrid", cell: 8 },
                { tag: "windows", grid: "windowsGrid", cell: 7 },
                { tag: "shortcut", grid: "shortcutGrid", cell: 11 },
            ];
        }
        function test_emptyGridCellChoosesNothing(data) {
            createMain();
            openFromPanel(9);
            chooseCell(data.grid, 1);
            clickInContent("dpiOption2");
            var g = chooseCell(data.grid, data.cell);
            compare(dialogCodes(), [5, 0, 3, 0]);
            compare(dialog().keyString, "DPI LOOP");
            compare(g.currentSelect, 1);
        }

        function test_ownFunctionChangesNothing() {
            createMain();
            openFromPanel(1);
            clickInContent("mouseOption4");
            compare(dialogCodes(), [0, 0, 0xF3, 0]);
            clickInContent("mouseOption2");
            closeDialog();
            compare(entry(1), [0, 0, 0xF1, 0]);
            compare(panel().isSave, false);
            compare(logged("ui_View.setData").length, 0);
        }

        function test_showCopiesTheEntry() {
            var w = [];
            w[3] = ["1", "7", "25", "4"];
            createMain({ working: w });
            openFromPanel(3);
            compare(dialogCodes(), [1, 7, 25, 4]);
            compare(dialog().keyString, "D");
            compare(child("keyAssigmentTitle").text, "Key 4 : D");
            compare(dialog().rateText, "25MS");
            compare(child("timesInput").textValue, "4");
            verify(!child("endlessBox").isSelect);
            compare(dialog().x, Math.round((1024 - 416) / 2));
        }

        // ---- capture ----

        function test_fireCapture_data() {
            return [
                { tag: "press", down: true, code: 0x04, ratio: 0.25, times: "5",
                  want: [1, 0x04, 24, 5], text: "A" },
                { tag: "release ends it too", down: false, code: 0x2C, ratio: 0, times: "0",
                  want: [1, 0x2C, 5, 0], text: "Space" },
                { tag: "fastest rate, endless", down: true, code: 0xE2, ratio: 1, times: "0",
                  want: [1, 0xE2, 80, 0], text: "LAlt" },
            ];
        }
        function test_fireCapture(data) {
            createMain();
            openFromPanel(9);
            compare(dialog().rateText, "10ms");
            child("rateSlider").setValue(data.ratio);
            var times = child("timesInput");
            times.input.forceActiveFocus();
            times.textValue = data.times;
            times.closeFocus();
            compare(child("endlessBox").isSelect, data.times === "0");
            // No key is taken before the box is clicked.
            m.detectKeyboard(true, 0x10);
            compare(dialogCodes(), [0, 0, 0, 0]);
            clickInContent("fireBox");
            verify(dialog().isFireInput);
            m.detectKeyboard(data.down, data.code);
            verify(!dialog().isFireInput);
            compare(dialogCodes(), data.want);
            compare(dialog().keyString, data.text);
            compare(dialog().fireLabel, data.text);
            // A later key does not change the captured one.
            m.detectKeyboard(true, 0x05);
            compare(dialogCodes(), data.want);
        }

        function test_fireRateAndTimesFollow() {
            createMain();
            openFromPanel(9);
            clickInContent("fireBox");
            m.detectKeyboard(true, 0x04);
            child("rateSlider").setValue(0.5);
            compare(dialog().rateText, "43MS");
            compare(dialog().keyCode2, 43);
            var times = child("timesInput");
            times.input.forceActiveFocus();
            times.textValue = "12";
            times.closeFocus();
            compare(dialog().keyCode3, 12);
            verify(!child("endlessBox").isSelect);
            clickInContent("endlessBox");
            verify(child("endlessBox").isSelect);
            compare(times.textValue, "0");
            compare(dialog().keyCode3, 0);
            // For another class the numbers stay.
            clickInContent("dpiOption1");
            child("rateSlider").setValue(0);
            times.input.forceActiveFocus();
            times.textValue = "9";
            times.closeFocus();
            compare(dialogCodes(), [5, 0, 2, 0]);
        }

        function test_keyWithoutLabelIsNotCaptured() {
            createMain();
            openFromPanel(9);
            clickInContent("fireBox");
            m.detectKeyboard(true, 0x74);
            verify(dialog().isFireInput);
            m.detectKeyboard(true, 0x06);
            compare(dialogCodes(), [1, 6, 10, 0]);
        }

        function test_combination_data() {
            return [
                { tag: "modifiers and three keys",
                  keys: [[true, 0xE0], [true, 0xE0], [true, 0x04], [false, 0x04], [true, 0x05],
                         [true, 0x06], [true, 0xE6]],
                  want: [2, 0x41, 0x04, 0x05], text: "LCtrl + LCtrl + A + B + RAlt" },
                { tag: "one key", keys: [[true, 0x3A]], want: [2, 0, 0x3A, 0], text: "F1" },
                { tag: "modifiers only", keys: [[true, 0xE1], [true, 0xE7]],
                  want: [2, 0x82, 0, 0], text: "LShift + RWin" },
            ];
        }
        function test_combination(data) {
            createMain();
            openFromPanel(9);
            clickInContent("comboBox");
            verify(dialog().isComboInput);
            verify(child("comboConfirm").visible);
            for (var i = 0; i < data.keys.length; ++i)
                m.detectKeyboard(data.keys[i][0], data.keys[i][1]);
            compare(dialog().comboText, data.text);
            compare(dialogCodes(), [0, 0, 0, 0]);
            mouseClick(child("comboConfirm"));
            verify(!dialog().isComboInput);
            compare(dialogCodes(), data.want);
            compare(dialog().keyString, data.text);
            closeDialog();
            compare(entry(9), data.want);
        }

        function test_combinationCancelAndEmpty_data() {
            return [
                { tag: "cancel", keys: [0xE0, 0x04], button: "comboCancel" },
                { tag: "confirm empty", keys: [], button: "comboConfirm" },
            ];
        }
        function test_combinationCancelAndEmpty(data) {
            createMain();
            openFromPanel(9);
            clickInContent("mouseOption3");
            clickInContent("comboBox");
            for (var i = 0; i < data.keys.length; ++i)
                m.detectKeyboard(true, data.keys[i]);
            mouseClick(child(data.button));
            verify(!dialog().isComboInput);
            compare(dialogCodes(), [0, 0, 0xF4, 0]);
            compare(dialog().comboLabel, "Click Input");
        }

        function test_comboRestartClearsTheLastCapture() {
            createMain();
            openFromPanel(9);
            clickInContent("comboBox");
            m.detectKeyboard(true, 0xE0);
            m.detectKeyboard(true, 0x04);
            mouseClick(child("comboConfirm"));
            clickInContent("comboBox");
            m.detectKeyboard(true, 0x05);
            mouseClick(child("comboConfirm"));
            compare(dialogCodes(), [2, 0, 0x05, 0]);
            compare(dialog().keyString, "B");
        }

        // ---- macros ----

        function test_macroBindingOnClose() {
            createMain();
            dialog().macroList.addData(["walk", "burst", "spray"]);
            openFromPanel(3);
            var list = child("macroList");
            reveal(list);
            mouseClick(list, 20, 12);
            tryCompare(list, "animating", false);
            mouseClick(list, 40, 24 + 24 + 12);
            tryCompare(list, "isDrop", false);
            compare(dialogCodes(), [4, 0, 3, 0]);
            compare(dialog().keyString, "burst");
            clickInContent("macroMode2");
            compare(dialogCodes(), [4, 2, 3, 0]);
            verify(!child("macroMode0").isSelect);
            closeDialog();
            compare(entry(3), [4, 2, 3, 0]);
            compare(panel().modKeys.get(3).keyText, "burst");
            compare(keyHarness.macroCalls, ["sendMacro(3,burst)"]);
            var calls = callLog.entries().filter(function (e) {
                return e.indexOf("sendMacro") >= 0 || e.indexOf("setData") >= 0;
            });
            compare(calls, ["macroEditorMain.sendMacro(3,burst)", "ui_View.setData(mouseMacroKey/3,burst)"]);
        }

        function test_macroModeBeforeChoosing() {
            createMain();
            dialog().macroList.addData(["walk"]);
            openFromPanel(5);
            clickInContent("macroMode1");
            compare(dialogCodes(), [5, 0, 1, 0]);
            dialog().chooseMacro(0);
            compare(dialogCodes(), [4, 1, 5, 0]);
        }

        function test_unchangedMacroIsNotSentAgain() {
            var w = [];
            w[4] = ["4", "0", "4", "0"];
            createMain({ working: w, macroNames: { 4: "walk" } });
            dialog().macroList.addData(["walk"]);
            openFromPanel(4);
            compare(child("macroList").currentSelect, 0);
            dialog().chooseMacro(0);
            closeDialog();
            compare(keyHarness.macroCalls, []);
            compare(panel().isSave, false);
        }

        // ---- the last left click ----

        function test_oneLeftKey() {
            createMain();
            mouseClick(child("mouseKeyBox0"));
            verify(!dialog().visible);
            verify(!child("mainMask").visible);
            compare(m.mouseMain.selectKey, -1);
            openFromPanel(0);
            verify(!dialog().visible);
            // Another button takes the left click; now both open.
            openFromPanel(1);
            verify(dialog().visible);
            clickInContent("mouseOption0");
            closeDialog();
            compare(entry(1), [0, 0, 0xF0, 0]);
            mouseClick(child("mouseKeyBox0"));
            verify(dialog().visible);
            compare(dialog().keyIndex, 0);
            closeDialog();
            mouseClick(child("mouseKeyBox1"));
            verify(dialog().visible);
            compare(dialog().keyIndex, 1);
        }

        function test_checkOneLeftKey_data() {
            return [
                { tag: "only left, selected", lefts: [0], sel: 0, want: true },
                { tag: "only left, other selected", lefts: [0], sel: 2, want: false },
                { tag: "two lefts", lefts: [0, 6], sel: 6, want: false },
                { tag: "no left at all", lefts: [], sel: 0, want: false },
                { tag: "left on a hidden entry", lefts: [13], sel: 13, want: true },
            ];
        }
        function test_checkOneLeftKey(data) {
            var w = [];
            for (var j = 0; j < 14; ++j)
                w[j] = data.lefts.indexOf(j) >= 0 ? ["0", "0", "240", "0"] : ["0", "0", "241", "0"];
            createMain({ working: w });
            m.mouseMain.selectKey = data.sel;
            compare(panel().modKeys.checkOneLeftKey(), data.want);
        }

        // ---- restore ----

        function test_panelRestore() {
            var f = factory.slice();
            var w = [];
            w[2] = ["3", "0", "226", "0"];
            w[9] = ["5", "0", "3", "0"];
            createMain({ working: w, macroNames: { 9: "rapid" } });
            ui_View.setKeydefine(9, true, ["4", "1", "9", "0"]);
            panel().init(false, false);
            compare(panel().modKeys_tmp.get(9).keyText, "rapid");
            callLog.clear();
            mouseClick(child("keyMatrixRestore"));
            for (var j = 0; j < 16; ++j) {
                var t = panel().modKeys_tmp.get(j);
                compare(entry(j), [t.keyCode0, t.keyCode1, t.keyCode2, t.keyCode3], "entry " + j);
                compare(panel().modKeys.get(j).keyText, t.keyText);
            }
            compare(panel().isSave, true);
            compare(keyHarness.macroCalls, ["sendMacro(9,rapid)"]);
            compare(logged("ui_View.setData"), ["ui_View.setData(mouseMacroKey/9,rapid)"]);
            // Sending waits for Save.
            compare(logged("ui_View.mouseSetKeyMatrix").length, 0);
        }

        function test_dialogRestore() {
            var w = [];
            w[2] = ["3", "0", "226", "0"];
            createMain({ working: w });
            openFromPanel(2);
            compare(dialog().keyString, "Mute");
            mouseClick(child("keyAssigmentRestore"));
            compare(dialogCodes(), [0, 0, 0xF2, 0]);
            compare(dialog().keyString, "Middle Key");
            compare(entry(2), [0, 0, 0xF2, 0]);
            compare(panel().isSave, true);
            verify(child("mouseOption1").isSelect);
            // Restoring an entry that already is the factory one marks nothing.
            panel().isSave = false;
            mouseClick(child("keyAssigmentRestore"));
            compare(panel().isSave, false);
        }

        // ---- sending ----

        function test_saveData_data() {
            return [
                { tag: "gun editor slots", gunPage: true, other: "[33,10,90]" },
                { tag: "no gun editor", gunPage: false, other: "[10,10,10]" },
            ];
        }
        function test_saveData(data) {
            var w = [];
            w[14] = ["255", "7", "9", "1"];
            w[15] = ["17", "34", "51", "68"];
            w[10] = ["2", "3", "4", "5"];
            createMain({ working: w, noGunPage: !data.gunPage });
            panel().modKeys.saveData();
            var want = "ui_View.mouseSetKeyMatrix([0,0,240,0,0,0,241,0,0,0,242,0,0,0,244,0,0,0,243,0,"
                    + "5,0,1,0,5,0,2,0,0,240,30,3,0,0,0,0,0,0,0,0,2,3,4,5,0,0,0,0,0,0,0,0,0,0,0,0,"
                    + "255,7,9,1,17,34,51,68],true," + data.other + ")";
            compare(logged("ui_View.mouseSetKeyMatrix"), [want]);
        }

        function test_saveButtonSendsOnce() {
            createMain();
            openFromPanel(6);
            clickInContent("dpiOption2");
            closeDialog();
            verify(panel().isSave);
            mouseClick(child("saveButton"));
            compare(panel().isSave, false);
            var sent = logged("ui_View.mouseSetKeyMatrix");
            compare(sent.length, 1);
            verify(sent[0].indexOf(",5,0,3,0,0,240,30,3,") > 0, sent[0]);
        }

        // ---- picture, panel and dialog layout ----

        function test_pictureSpots_data() {
            return [
                { tag: "1", i: 0, hx: 370, hy: 132, bx: 322, by: 120 },
                { tag: "2", i: 1, hx: 562, hy: 132, bx: 608, by: 120 },
                { tag: "3", i: 2, hx: 512, hy: 104, bx: 490, by: 80 },
                { tag: "4", i: 3, hx: 360, hy: 316, bx: 312, by: 304 },
                { tag: "5", i: 4, hx: 360, hy: 374, bx: 312, by: 362 },
                { tag: "6", i: 5, hx: 515, hy: 295, bx: 608, by: 283 },
                { tag: "7", i: 6, hx: 515, hy: 335, bx: 608, by: 323 },
                { tag: "8", i: 7, hx: 368, hy: 229, bx: 320, by: 217 },
            ];
        }
        function test_pictureSpots(data) {
            createMain();
            var h = child("mouseHighlight" + data.i);
            var b = child("mouseKeyBox" + data.i);
            var hp = h.mapToItem(m, 0, 0);
            var bp = b.mapToItem(m, 0, 0);
            compare([hp.x, hp.y], [data.hx, data.hy]);
            compare([bp.x, bp.y, b.width, b.height], [data.bx, data.by, 48, 24]);
            verify(String(h.source).indexOf("/mouse/Mouse" + data.i + ".png") > 0, String(h.source));
            // Hovering lights the box and switches the highlight picture.
            mouseMove(b, 10, 10);
            tryCompare(b, "color", m.colorOrange);
            verify(String(h.source).indexOf("/mouse/Mouse" + data.i + "S.png") > 0, String(h.source));
            mouseMove(m, 1000, 630);
            tryCompare(b, "color", m.colorGray0);
        }

        function test_keyCountHidesButtons_data() {
            return [
                { tag: "6 buttons", n: 6, height: 40 + 24 * 6 + 2 * 5 + 8 },
                { tag: "8 buttons", n: 8, height: 40 + 24 * 8 + 2 * 7 + 8 },
                { tag: "14 buttons", n: 14, height: 40 + 24 * 14 + 2 * 13 + 8 },
                { tag: "16 buttons keep 14 rows", n: 16, height: 40 + 24 * 14 + 2 * 13 + 8 },
            ];
        }
        function test_keyCountHidesButtons(data) {
            createMain({ keyCount: data.n });
            compare(panel().height, data.height);
            for (var i = 0; i < 8; ++i)
                compare(child("mouseKeyBox" + i).visible, i < data.n, "box " + i);
            for (i = 0; i < 14; ++i)
                compare(child("keyMatrixRow" + i).visible, i < data.n, "row " + i);
            compare(child("keyMatrixRow14").visible, false);
        }

        function test_rowHoverSelects() {
            createMain();
            var row = child("keyMatrixRow3");
            mouseMove(row, 50, 10);
            tryCompare(m.mouseMain, "selectKey", 3);
            mouseMove(m, 1000, 630);
            tryCompare(m.mouseMain, "selectKey", -1);
            // With the dialog open the selection stays.
            openFromPanel(3);
            mouseMove(m, 1000, 630);
            wait(20);
            compare(m.mouseMain.selectKey, 3);
        }

        function test_gunSection_data() {
            return [
                { tag: "gun mouse", isGun: "true", shown: true },
                { tag: "no gun", isGun: "false", shown: false },
            ];
        }
        function test_gunSection(data) {
            createMain({ isGun: data.isGun });
            openFromPanel(9);
            for (var i = 0; i < 3; ++i)
                compare(child("gunOption" + i).visible, data.shown);
        }

        function test_scrolling() {
            createMain();
            openFromPanel(9);
            var area = dialog().scrollArea;
            var handle = child("keyAssigmentHandle");
            compare(area.height, 360);
            compare(area.contentHeight, 830);
            compare([handle.x, handle.y, handle.width, handle.height], [402, 42, 12, 240]);
            area.contentY = 470;
            compare(Math.round(handle.y), 162);
            // Dragging the handle scrolls the content back.
            mouseDrag(handle, 6, 100, 0, -120);
            verify(area.contentY < 470);
            // While a drop-down is dragged the content stays put.
            child("macroList").dragSignal(true);
            verify(!area.interactive);
            child("macroList").dragSignal(false);
            verify(area.interactive);
            child("rateSlider").dragSignal(true);
            verify(!area.interactive);
            child("rateSlider").dragSignal(false);
        }

        function test_dialogDrags() {
            createMain();
            openFromPanel(9);
            var d = dialog();
            var x0 = d.x;
            var y0 = d.y;
            compare([x0, y0], [304, 118]);
            // Pressed on the title strip, moved in window coordinates.
            mousePress(m, x0 + 100, y0 + 20);
            mouseMove(m, x0 + 110, y0 + 25);
            mouseMove(m, x0 + 130, y0 + 60);
            mouseRelease(m, x0 + 130, y0 + 60);
            compare([d.x, d.y], [x0 + 30, y0 + 40]);
            mousePress(m, d.x + 100, d.y + 20);
            mouseMove(m, d.x + 600, d.y + 400);
            mouseMove(m, 1020, 636);
            mouseRelease(m, 1020, 636);
            compare([d.x, d.y], [1024 - 416, 640 - 404]);
            // Reopening centres it again horizontally only.
            closeDialog();
            openFromPanel(9);
            compare([d.x, d.y], [Math.round((1024 - 416) / 2), 640 - 404]);
        }
    }
}
