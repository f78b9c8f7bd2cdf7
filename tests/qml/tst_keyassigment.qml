import QtQuick
import QtTest

// The key assignment page inside the real window: picture, panel, dialog
// and label table together, against the recording controller.
Item {
    id: keyHarness
    width: 1024
    height: 640

    // Stands in for the macro editor: records what it is asked to download.
    Component {
        id: fakeMacroEditor
        Item {
            visible: false
            function sendMacro(slot, name) {
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
            main.keyAssigmentMain.macroEditorPage = createTemporaryObject(fakeMacroEditor, keyHarness);
            main.keyMatrixMain.gunControlMain = opts.noGunPage ? null
                                                               : createTemporaryObject(fakeGunEditor, keyHarness);
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
        // The dialog's own controls first: the gun editor has some of the
        // same names.
        function child(name) {
            var c = findChild(dialog(), name) || findChild(m, name);
            verify(c !== null, name);
            return c;
        }
        function logged(prefix) {
            return callLog.entries().filter(function (e) { return e.indexOf(prefix) === 0; });
        }
        function openFromPanel(j) {
            var row = child("keyMatrixRow" + j);
            verify(row.visible);
            mouseClick(row);
        }

        // Brings an item of the scrolling content into view, then clicks it.
        function clickInContent(name, x, y) {
            var c = child(name);
            dialog().scrollArea.contentY = Math.max(0, Math.min(470, c.y - 60));
            wait(0);
            mouseClick(c, x === undefined ? 5 : x, y === undefined ? c.height / 2 : y);
            return c;
        }
        function chooseCell(name, i) {
            var g = clickInContent(name, 20, 12);
            tryCompare(g, "animating", false);
            mouseClick(g, (i % 3) * 107 + 50, 24 + Math.floor(i / 3) * 24 + 12);
            tryCompare(g, "isDrop", false);
            return g;
        }
        function closeDialog() {
            mousePress(child("keyAssigmentClose"), 8, 8);
            mouseRelease(child("keyAssigmentClose"), 8, 8);
        }
        function setTimes(text) {
            var times = child("timesInput");
            times.input.forceActiveFocus();
            times.textValue = text;
            times.closeFocus();
        }

        function test_load_data() {
            return [
                { tag: "left", e: ["0", "0", "240", "0"], text: "Left Key" },
                { tag: "double click", e: ["0", "240", "30", "3"], text: "Double Fire" },
                { tag: "fire key", e: ["1", "4", "10", "0"], text: "A" },
                { tag: "combination", e: ["2", "131", "4", "5"], text: "LCtrl+LShift+RWin+A+B" },
                { tag: "combination, second key only", e: ["2", "0", "0", "6"], text: "C" },
                { tag: "media", e: ["3", "0", "131", "1"], text: "Player" },
                { tag: "media unknown", e: ["3", "0", "205", "1"], text: "" },
                { tag: "macro", e: ["4", "1", "8", "0"], text: "burst" },
                { tag: "macro without a name", e: ["4", "0", "9", "0"], text: "" },
                { tag: "DPI", e: ["5", "0", "4", "0"], text: "Sniper Key" },
                { tag: "DPI out of range", e: ["5", "0", "5", "0"], text: "" },
                { tag: "windows, code1 not compared", e: ["6", "4", "227", "7"], text: "Desktop" },
                { tag: "shortcut", e: ["7", "0", "224", "25"], text: "Paste" },
                { tag: "shortcut without ctrl", e: ["7", "0", "0", "25"], text: "" },
                { tag: "gun", e: ["8", "0", "3", "0"], text: "Three Gun" },
                { tag: "other class", e: ["9", "0", "1", "0"], text: "" },
            ];
        }
        function test_load(data) {
            var w = [];
            w[8] = data.e;
            w[14] = ["255", "7", "9", "1"];
            createMain({ working: w, macroNames: { 8: "burst" } });
            compare(entry(8), data.e.map(Number));
            compare(child("keyMatrixRowText8").text, data.text);
            compare(panel().modKeys_tmp.get(8).keyText, "Double Fire");
            var texts = ["Left Key", "Right Key", "Middle Key", "Forward Key", "Back Key", "DPI+", "DPI-",
                         "Double Fire"];
            for (var j = 0; j < 8; ++j)
                compare(panel().modKeys.get(j).keyText, texts[j], "entry " + j);
            compare(entry(14), [255, 7, 9, 1]);
            compare(entry(15), [255, 0, 2, 0]);
        }

        // A missing or broken stored entry must not become zeros that the
        // next Save would write to the mouse.
        function test_badStoredEntries_data() {
            return [
                { tag: "missing", w: [], f: factory[1], want: [0, 0, 241, 0] },
                { tag: "text and out of range", w: ["1", "x", "300", "0"], f: factory[1],
                  want: [0, 0, 241, 0] },
                { tag: "factory missing too", w: [], f: [], want: [0, 0, 241, 0] },
                { tag: "factory broken, working fine", w: ["5", "0", "3", "0"], f: ["a"],
                  want: [5, 0, 3, 0] },
            ];
        }
        function test_badStoredEntries(data) {
            createMain();
            ui_View.setKeydefine(1, false, data.w);
            ui_View.setKeydefine(1, true, data.f);
            panel().init(false, false);
            compare(entry(1), data.want);
        }

        function test_languageTexts() {
            createMain({ fetchTexts: true, lang: { keyAssigment: ["Taste ", "", "Links"],
                                                     keyMatrix: ["Taste", "Belegung"], keyCode: ["a", "b"] } });
            compare(panel().modKeys.get(0).keyText, "Links");
            compare(panel().modKeys.get(1).keyText, "");
            compare(panel().rowNames[0], "Taste 1");
            compare(panel().rowNames[8], "");
            // A short "keyCode" group leaves the later codes without labels.
            compare(dialog().keyCodeToString(1, 0x05, 10, 0), "b");
            compare(dialog().keyCodeToString(1, 0x06, 10, 0), "");
        }

        function test_choose_data() {
            var rows = [];
            function add(tag, how, want, text) {
                rows.push({ tag: tag, how: how, want: want, text: text });
            }
            var mouse = [[0xF0, "Left Key"], [0xF2, "Middle Key"], [0xF1, "Right Key"], [0xF4, "Forward Key"],
                         [0xF3, "Back Key"]];
            for (var i = 0; i < mouse.length; ++i)
                add(mouse[i][1], "mouseOption" + i, [0, 0, mouse[i][0], 0], mouse[i][1]);
            add("Double Fire", "mouseOption5", [0, 0xF0, 0x1E, 3], "Double Fire");
            var dpi = ["DPI+", "DPI-", "DPI LOOP", "Sniper Key"];
            for (i = 0; i < dpi.length; ++i)
                add(dpi[i], "dpiOption" + i, [5, 0, i + 1, 0], dpi[i]);
            var gun = ["One Gun", "Two Gun", "Three Gun"];
            for (i = 0; i < gun.length; ++i)
                add(gun[i], "gunOption" + i, [8, 0, i + 1, 0], gun[i]);
            var media = [[0x83, 1, "Player"], [0xB5, 0, "Next"], [0xB6, 0, "Privous"], [0xB7, 0, "Stop"],
                         [0xE2, 0, "Mute"], [0xCD, 0, "Play/Pause"], [0xE9, 0, "Volumn+"],
                         [0xEA, 0, "Volumn-"]];
            for (i = 0; i < media.length; ++i)
                add(media[i][2], ["mediaGrid", i], [3, 0, media[i][0], media[i][1]], media[i][2]);
            var win = [[0, 0x94, 1, "My PC"], [0, 0x23, 2, "Index"], [0, 0x21, 2, "Search"],
                       [4, 0x2C, 0x1B, "Max"], [4, 0x2C, 0x11, "Min"], [0, 0xE3, 7, "Desktop"],
                       [0, 0xE3, 0x15, "Run"]];
            for (i = 0; i < win.length; ++i)
                add(win[i][3], ["windowsGrid", i], [6, win[i][0], win[i][1], win[i][2]], win[i][3]);
            var cut = [[0x11, "New"], [0x1B, "Cut"], [0x06, "Copy"], [0x19, "Paste"], [0x16, "Save"],
                       [0x13, "Print"], [0x09, "Find"], [0x1C, "Redo"], [0x1D, "Undo"],
                       [0x04, "Select All"]];
            for (i = 0; i < cut.length; ++i)
                add(cut[i][1], ["shortcutGrid", i], [7, 0, 0xE0, cut[i][0]], cut[i][1]);
            return rows;
        }
        function test_choose(data) {
            createMain();
            openFromPanel(9);
            verify(dialog().visible);
            if (typeof data.how === "string")
                clickInContent(data.how);
            else
                chooseCell(data.how[0], data.how[1]);
            compare(dialogCodes(), data.want);
            compare(dialog().keyString, data.text);
            // The panel takes the function only when the dialog closes.
            compare(entry(9), [0, 0, 0, 0]);
            closeDialog();
            verify(!dialog().visible);
            verify(!child("mainMask").visible);
            compare(entry(9), data.want);
            compare(panel().modKeys.get(9).keyText, data.text);
            compare(panel().isSave, true);
            compare(m.mouseMain.selectKey, -1);
        }

        function test_ownFunctionChangesNothing() {
            createMain();
            openFromPanel(1);
            clickInContent("mouseOption4");
            clickInContent("mouseOption2");
            closeDialog();
            compare(entry(1), [0, 0, 0xF1, 0]);
            compare(panel().isSave, false);
            compare(logged("ui_View.setData").length, 0);
        }

        function test_fireCapture_data() {
            return [
                { tag: "press", down: true, code: 0x04, ratio: 0.25, times: "5", want: [1, 0x04, 24, 5],
                  text: "A" },
                { tag: "release", down: false, code: 0x2C, ratio: 1, times: "0", want: [1, 0x2C, 80, 0],
                  text: "Space" },
            ];
        }
        function test_fireCapture(data) {
            createMain();
            openFromPanel(9);
            compare(dialog().rateText, "10ms");
            child("rateSlider").setValue(data.ratio);
            setTimes(data.times);
            compare(child("endlessBox").isSelect, data.times === "0");
            m.detectKeyboard(true, 0x10); // not capturing yet
            compare(dialogCodes(), [0, 0, 0, 0]);
            clickInContent("fireBox");
            verify(dialog().isFireInput);
            m.detectKeyboard(true, 0x74); // no label: not taken
            verify(dialog().isFireInput);
            m.detectKeyboard(data.down, data.code);
            verify(!dialog().isFireInput);
            compare(dialogCodes(), data.want);
            compare(dialog().keyString, data.text);
            m.detectKeyboard(true, 0x05);
            compare(dialogCodes(), data.want);
            // Rate and times keep following while the class is fire.
            child("rateSlider").setValue(0.5);
            compare(dialog().keyCode2, 43);
            setTimes("12");
            compare(dialog().keyCode3, 12);
            clickInContent("endlessBox");
            compare(child("timesInput").textValue, "0");
            compare(dialog().keyCode3, 0);
            setTimes("7");
            closeDialog();
            // Another button shows its own fire settings (here the defaults),
            // and a key captured there takes those.
            openFromPanel(8);
            compare(dialog().rateText, "10ms");
            compare(child("timesInput").textValue, "0");
            verify(child("endlessBox").isSelect);
            clickInContent("fireBox");
            m.detectKeyboard(true, 0x04);
            compare(dialogCodes(), [1, 0x04, 10, 0]);
            closeDialog();
            openFromPanel(9);
            compare(dialog().rateText, "43MS");
            compare(child("timesInput").textValue, "7");
        }

        function test_combination_data() {
            return [
                { tag: "modifiers and three keys", button: "comboConfirm",
                  keys: [[true, 0xE0], [true, 0xE0], [true, 0x04], [false, 0x04], [true, 0x05], [true, 0x06],
                         [true, 0xE6]],
                  want: [2, 0x41, 0x04, 0x05], text: "LCtrl + LCtrl + A + B + RAlt" },
                { tag: "cancel", button: "comboCancel", keys: [[true, 0xE1], [true, 0x04]],
                  want: [0, 0, 0, 0], text: "" },
                { tag: "confirm empty", button: "comboConfirm", keys: [], want: [0, 0, 0, 0], text: "" },
            ];
        }
        function test_combination(data) {
            createMain();
            openFromPanel(9);
            clickInContent("comboBox");
            verify(dialog().isComboInput);
            for (var i = 0; i < data.keys.length; ++i)
                m.detectKeyboard(data.keys[i][0], data.keys[i][1]);
            compare(dialogCodes(), [0, 0, 0, 0]);
            mouseClick(child(data.button));
            verify(!dialog().isComboInput);
            compare(dialogCodes(), data.want);
            compare(dialog().comboLabel, data.text === "" ? "Click Input" : data.text);
            closeDialog();
            compare(entry(9), data.want);
        }

        function test_macroBindingOnClose() {
            createMain();
            dialog().macroList.addData(["walk", "burst", "spray"]);
            openFromPanel(3);
            var list = clickInContent("macroList", 20, 12);
            tryCompare(list, "animating", false);
            mouseClick(list, 40, 24 + 24 + 12);
            tryCompare(list, "isDrop", false);
            compare(dialogCodes(), [4, 0, 3, 0]);
            clickInContent("macroMode2");
            compare(dialogCodes(), [4, 2, 3, 0]);
            closeDialog();
            compare(entry(3), [4, 2, 3, 0]);
            compare(panel().modKeys.get(3).keyText, "burst");
            compare(callLog.entries().filter(function (e) { return e.indexOf("Macro") > 0; }),
                    ["macroEditorMain.sendMacro(3,burst)", "ui_View.setData(mouseMacroKey/3,burst)"]);
        }

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
            clickInContent("mouseOption0");
            closeDialog();
            mouseClick(child("mouseKeyBox0"));
            verify(dialog().visible);
            compare(child("keyAssigmentTitle").text, "Key 1 : Left Key");
            closeDialog();
            mouseClick(child("mouseKeyBox1"));
            compare(dialog().keyIndex, 1);
        }

        function test_restore() {
            var w = [];
            w[2] = ["3", "0", "226", "0"];
            w[9] = ["5", "0", "3", "0"];
            createMain({ working: w, macroNames: { 9: "rapid" } });
            ui_View.setKeydefine(9, true, ["4", "1", "9", "0"]);
            panel().init(false, false);
            // The dialog's icon restores its own button only.
            openFromPanel(2);
            mouseClick(child("keyAssigmentRestore"));
            compare(dialog().keyString, "Middle Key");
            compare(entry(2), [0, 0, 0xF2, 0]);
            compare(entry(9), [5, 0, 3, 0]);
            verify(panel().isSave);
            closeDialog();
            panel().isSave = false;
            callLog.clear();
            // The panel's icon restores all and downloads factory macros.
            mouseClick(child("keyMatrixRestore"));
            for (var j = 0; j < 16; ++j) {
                var t = panel().modKeys_tmp.get(j);
                compare(entry(j), [t.keyCode0, t.keyCode1, t.keyCode2, t.keyCode3], "entry " + j);
            }
            compare(panel().modKeys.get(9).keyText, "rapid");
            verify(panel().isSave);
            compare(callLog.entries(), ["macroEditorMain.sendMacro(9,rapid)",
                                        "ui_View.setData(mouseMacroKey/9,rapid)"]);
        }

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
            openFromPanel(6);
            clickInContent("dpiOption2");
            closeDialog();
            mouseClick(child("saveButton"));
            compare(panel().isSave, false);
            var want = "ui_View.mouseSetKeyMatrix([0,0,240,0,0,0,241,0,0,0,242,0,0,0,244,0,0,0,243,0,"
                    + "5,0,1,0,5,0,3,0,0,240,30,3,0,0,0,0,0,0,0,0,2,3,4,5,0,0,0,0,0,0,0,0,0,0,0,0,"
                    + "255,7,9,1,17,34,51,68],true," + data.other + ")";
            compare(logged("ui_View.mouseSetKeyMatrix"), [want]);
        }

        function test_pictureAndPanel_data() {
            return [
                { tag: "6 buttons", n: 6, rows: 6, isGun: "true" },
                { tag: "16 buttons keep 14 rows", n: 16, rows: 14, isGun: "false" },
            ];
        }
        function test_pictureAndPanel(data) {
            createMain({ keyCount: data.n, isGun: data.isGun });
            for (var i = 0; i < 8; ++i)
                compare(child("mouseKeyBox" + i).visible, i < data.n, "box " + i);
            compare(child("keyMatrixRow" + (data.rows - 1)).visible, true);
            compare(child("keyMatrixRow" + data.rows).visible, false);
            // Hovering a row selects its button on the picture.
            mouseMove(child("keyMatrixRow3"), 50, 10);
            tryCompare(child("mouseKeyBox3"), "color", "#cf3e00");
            verify(String(child("mouseHighlight3").source).indexOf("/mouse/Mouse3S.png") > 0);
            mouseMove(m, 1000, 630);
            tryCompare(m.mouseMain, "selectKey", -1);
            openFromPanel(3);
            compare(child("gunOption0").visible, data.isGun === "true");
            mouseMove(m, 1000, 630);
            wait(20);
            compare(m.mouseMain.selectKey, 3);
        }

        function test_scrolling() {
            createMain();
            openFromPanel(9);
            var area = dialog().scrollArea;
            var handle = child("keyAssigmentHandle");
            area.contentY = 470;
            mouseDrag(handle, 6, 100, 0, -120);
            verify(area.contentY < 470);
            // While a drop-down's knob or handle is dragged the content stays put.
            child("macroList").dragSignal(true);
            verify(!area.interactive);
            child("macroList").dragSignal(false);
            verify(area.interactive);
            // The macro list stands out from the dialog it opens over.
            verify(!Qt.colorEqual(child("macroList").listColor, dialog().color));
            // An opened grid near the bottom edge scrolls into view.
            var grid = child("shortcutGrid");
            area.contentY = grid.y + 24 - 360;
            mouseClick(grid, 20, 12);
            tryCompare(grid, "animating", false);
            compare(area.contentY, grid.y + 24 + 4 * 24 - 360);
        }
    }
}
