import QtQuick
import QtTest

Item {
    id: top
    width: 1024
    height: 640

    SignalSpy { id: kbSpy; signalName: "msg_KB" }
    SignalSpy { id: msSpy; signalName: "msg_MS" }

    TestCase {
        id: tc
        name: "MainWindow"
        when: windowShown

        readonly property var englishMain: ["Editor", "Macro Editor", "Gun Editor", "Report Rate",
            "Config", "Reset", "Reset factory setting", "Cancel", "OK", "System setting", "Save"]

        // Builds the window; with start set, runs the start-up and waits
        // until the window takes input again.
        function createMain(opts) {
            opts = opts || {};
            ui_View.resetValues();
            ui_View.setGlobalValue("mouse/isColorful", "false");
            ui_View.setGlobalValue("mouse/icType", opts.icType === undefined ? "553" : opts.icType);
            ui_View.setGlobalValue("mouse/is55328", "false");
            ui_View.setGlobalValue("mouse/isGun", opts.isGun === undefined ? "true" : opts.isGun);
            ui_View.setGlobalValue("mouse/keyCount", 6);
            ui_View.setGlobalValue("mouse/profileNo", opts.profileNo === undefined ? 3 : opts.profileNo);
            ui_View.setGlobalValue("common/language", "English");
            ui_View.setLangGroup("main", englishMain);
            ui_View.setOnBoardProfile(opts.onBoard === undefined ? 1 : opts.onBoard);
            ui_View.setDeviceDpiStage(opts.stage === undefined ? 3 : opts.stage);
            ui_View.setNameList(2, ["Standard0", "profile_01", "profile_12", "profile_23"]);
            var c = Qt.createComponent("qrc:/modules/qml/main.qml");
            verify(c.status === Component.Ready, c.errorString());
            var m = createTemporaryObject(c, top);
            verify(m !== null);
            kbSpy.target = m;
            msSpy.target = m;
            kbSpy.clear();
            msSpy.clear();
            if (opts.start) {
                m.initUI();
                m.setProtectUI(10);
                tryCompare(m, "busy", false);
            }
            callLog.clear();
            return m;
        }
        function child(m, name) {
            var c = findChild(m, name);
            verify(c !== null, name);
            return c;
        }
        // What reached the mouse and the window's lock, in order: the names
        // of those calls, a run of one name once.
        function sent() {
            var out = [];
            callLog.entries().forEach(function (e) {
                var n = e.substring(e.indexOf(".") + 1, e.indexOf("("));
                if (!/^(setEnabled|resetProfile|setCurrentProfile|mouse(Set|Switch|Reset|Send|Save))/.test(n)
                        || out[out.length - 1] === n)
                    return;
                out.push(n);
            });
            return out;
        }

        function test_startUpSequence_data() {
            var head = ["ui_View.setEnabled(false)",
                        "ui_View.getGlobalData(mouse/isColorful)", "ui_View.getGlobalData(mouse/icType)",
                        "ui_View.getGlobalData(mouse/is55328)", "ui_View.getGlobalData(mouse/isGun)",
                        "ui_View.getGlobalData(mouse/keyCount)", "ui_View.getGlobalData(common/language)"];
            var groups = ["main", "keyMatrix", "keyAssigment", "dpiSetting", "lightControl", "macroEditor",
                          "systemSetting", "gunControl", "profile", "keyCode", "other"];
            var texts = groups.map(function (g) { return "ui_View.getLangStrings(" + g + ",English)"; });
            return [
                { tag: "553", icType: "553", onBoard: 1, calls: head.concat(texts) },
                { tag: "560 on profile 1", icType: "560", onBoard: 1,
                  calls: head.concat(["ui_View.mouseReadCurrentProfile()"], texts) },
                { tag: "560 on profile 2", icType: "560", onBoard: 2,
                  calls: head.concat(["ui_View.mouseReadCurrentProfile()",
                                      "hid.hid560_02H_SetCurrentProfile(1)"], texts) },
                { tag: "560 unreadable", icType: "560", onBoard: undefined,
                  calls: head.concat(["ui_View.mouseReadCurrentProfile()",
                                      "hid.hid560_02H_SetCurrentProfile(1)"], texts) },
            ];
        }
        function test_startUpSequence(data) {
            var m = createMain({ icType: data.icType, onBoard: data.onBoard === undefined ? "" : data.onBoard });
            verify(!m.visible);
            m.initUI();
            verify(m.visible);
            var log = callLog.entries();
            compare(log.slice(0, data.calls.length), data.calls);
            // The profile is chosen before the key matrix reads its entries,
            // and the mouse's stage is read last.
            var chosen = log.indexOf("ui_View.setCurrentProfile(3)");
            verify(chosen > log.indexOf("ui_View.getGlobalData(mouse/profileNo)"));
            verify(chosen < log.indexOf("ui_View.mouseGetKeydefine(0,false)"));
            compare(log[log.length - 1], "ui_View.mouseGetCurrentDPI()");
            compare(m.icType, data.icType);
            verify(m.isPownOn);
            verify(m.isGun);
            verify(!m.isColorful, "the text \"false\" is false");
            compare(m.language, "English");
            compare(m.mouseMain.keyCount, 6);
            compare(m.dpiSettingMain.currentDPI, 2);
            compare(m.profileMain.profileNo, 3);
            compare(child(m, "menu_Up").profileList.currentSelect, 3);
            compare(m.mainLang, englishMain);
        }

        function test_secondInitReadsNothing() {
            var m = createMain({ start: true, stage: 3 });
            ui_View.setDeviceDpiStage(5);
            m.initUI();
            compare(callLog.entries(), ["ui_View.setEnabled(false)", "ui_View.mouseGetCurrentDPI()"]);
            compare(m.dpiSettingMain.currentDPI, 4);
        }

        function test_languageGroups() {
            var m = createMain();
            ui_View.setLangGroup("main", ["Edit", "Macros"]);
            ui_View.setLangGroup("keyMatrix", ["Key Function", "Key"]);
            m.initUI();
            compare(m.mainLang, ["Edit", "Macros"], "replaced as a whole");
            compare(child(m, "configButton").text, "");
            compare(m.keyMatrixMain.keyMatrixLang, ["Key Function", "Key"]);
            compare(m.dpiSettingMain.dpiSettingLang, [], "a missing group comes back empty");
            compare(m.langTexts["keyMatrix"], ["Key Function", "Key"]);
        }

        function test_protectInterval() {
            var m = createMain();
            m.initUI();
            var logo = child(m, "startLogo");
            verify(logo.visible);
            verify(!child(m, "environment").visible);
            verify(!child(m, "bottomBar").visible);
            verify(m.busy);
            m.setProtectUI(50);
            var factory = child(m, "factorysure");
            mouseClick(child(m, "resetButton"));
            verify(!factory.visible, "no click gets through while busy");
            tryCompare(m, "busy", false);
            compare(callLog.entries().slice(-1), ["ui_View.setEnabled(true)"]);
            verify(!logo.visible);
            verify(child(m, "environment").visible);
            mouseClick(child(m, "resetButton"));
            verify(factory.visible, "clicks get through again");
            m.closeDialog(factory);
            callLog.clear();
            m.setProtectUI(20);
            compare(callLog.entries(), ["ui_View.setEnabled(false)"]);
            verify(!logo.visible, "the logo shows only once");
            tryCompare(m, "busy", false);
            verify(!logo.visible);
            compare(callLog.entries(), ["ui_View.setEnabled(false)", "ui_View.setEnabled(true)"]);
        }

        function test_zeroIntervalUnlocksOnNextTurn() {
            var m = createMain({ start: true });
            m.setProtectUI(0);
            verify(m.busy);
            tryCompare(m, "busy", false);
        }

        // A protect interval ending during a long operation must not unlock.
        function test_overlappingLocks() {
            var m = createMain({ start: true });
            m.controlUIEnable(false);
            m.setProtectUI(10);
            wait(60);
            verify(m.busy);
            compare(callLog.entries(), ["ui_View.setEnabled(false)", "ui_View.setEnabled(false)"]);
            m.controlUIEnable(true);
            verify(!m.busy);
            compare(callLog.entries().slice(-1), ["ui_View.setEnabled(true)"]);
        }

        function test_setCurrentDPI_data() {
            return [
                { tag: "zero changes nothing", value: 0, stage: 5 },
                { tag: "first stage", value: 1, stage: 0 },
                { tag: "eighth stage", value: 8, stage: 7 },
                { tag: "beyond eight", value: 9, stage: 5 },
                { tag: "negative", value: -1, stage: 5 },
            ];
        }
        function test_setCurrentDPI(data) {
            var m = createMain({ start: true });
            m.dpiSettingMain.currentDPI = 5;
            m.setCurrentDPI(data.value);
            compare(m.dpiSettingMain.currentDPI, data.stage);
            compare(callLog.entries(), []);
        }

        function test_hookEvents() {
            var m = createMain({ start: true });
            m.detectKeyboard(true, 0x04);
            m.detectKeyboard(false, 0xF1);
            m.detectMouse(true, 0xF0, 120, 340);
            compare(kbSpy.signalArguments.map(function (a) { return [a[0], a[1]]; }), [[true, 4], [false, 0xF1]]);
            compare(msSpy.count, 1);
            compare(msSpy.signalArguments[0][1], 0xF0);
            compare(msSpy.signalArguments[0][3], 340);
            m.run();
            compare(callLog.entries(), []);
        }

        function test_save_data() {
            var light = ["mouseSetRGBEffect", "mouseSetRGBColor"];
            return [
                { tag: "nothing to save", km: false, dpi: false, light: false, sent: [] },
                { tag: "dpi and lighting", km: false, dpi: true, light: true,
                  sent: ["setEnabled", "mouseSetDpi"].concat(light, ["setEnabled"]) },
                { tag: "all three", km: true, dpi: true, light: true,
                  sent: ["setEnabled", "mouseSetKeyMatrix", "mouseSetDpi"].concat(light, ["setEnabled"]) },
            ];
        }
        function test_save(data) {
            var m = createMain({ start: true });
            var button = child(m, "saveButton");
            compare(button.color, Qt.color("#09347f"));
            m.keyMatrixMain.isSave = data.km;
            m.dpiSettingMain.isSave = data.dpi;
            m.lightControlMain.isSave = data.light;
            if (data.sent.length > 0)
                compare(button.color, Qt.color("#ff3030"), "unsaved changes show on the button");
            mouseClick(button, 4, 4);
            compare(sent(), data.sent);
            verify(!m.keyMatrixMain.isSave && !m.dpiSettingMain.isSave && !m.lightControlMain.isSave);
            verify(!m.busy);
        }

        function test_factoryReset_data() {
            var reload = ["mouseSetKeyMatrix", "mouseSetReportRate", "mouseSetDpi", "mouseSetRGBEffect",
                          "mouseSetRGBColor", "mouseSetCursorSpeed", "mouseSetDoubleClickSpeed",
                          "mouseSetVerticalScrollLines"];
            var gun = ["mouseSwitchKeyMatrix", "mouseResetKeyMatrix"];
            // the gun editor's presets go back too, and the key matrix with them
            var end = ["mouseSetCurrentDPI", "mouseSaveGundata", "mouseSendGundata", "mouseSetKeyMatrix",
                       "setEnabled"];
            return [
                { tag: "gun mouse", isGun: "true", sent: ["setEnabled", "resetProfile"].concat(reload, gun, end) },
                { tag: "plain mouse", isGun: "false", sent: ["setEnabled", "resetProfile"].concat(reload, end) },
            ];
        }
        function test_factoryReset(data) {
            var m = createMain({ start: true, isGun: data.isGun });
            m.keyMatrixMain.isSave = true;
            m.lightControlMain.isSave = true;
            m.dpiSettingMain.currentDPI = 6;
            mouseClick(child(m, "resetButton"));
            var factory = child(m, "factorysure");
            var mask = child(m, "mainMask");
            verify(factory.visible && mask.visible);
            callLog.clear();
            mouseClick(factory.okButton);
            compare(sent(), data.sent);
            verify(callLog.entries().indexOf("ui_View.resetProfile(3)") >= 0);
            verify(callLog.entries().indexOf("ui_View.mouseSetCurrentDPI(2)") >= 0);
            verify(!factory.visible && !mask.visible);
            verify(!m.keyMatrixMain.isSave && !m.lightControlMain.isSave);
            compare(m.dpiSettingMain.currentDPI, 1);
        }

        function test_resetCancel() {
            var m = createMain({ start: true });
            mouseClick(child(m, "resetButton"));
            var factory = child(m, "factorysure");
            callLog.clear();
            mouseClick(factory.cancelButton);
            verify(!factory.visible && !child(m, "mainMask").visible);
            compare(callLog.entries(), []);
        }

        function test_profileSwitch_data() {
            var switched = ["setEnabled", "setCurrentProfile", "mouseSetKeyMatrix", "mouseSetReportRate",
                            "mouseSetDpi", "mouseSetRGBEffect", "mouseSetRGBColor", "mouseSetCursorSpeed",
                            "mouseSetDoubleClickSpeed", "mouseSetVerticalScrollLines", "mouseSwitchKeyMatrix",
                            "mouseResetKeyMatrix", "setEnabled"];
            return [
                { tag: "another profile", position: 1, sent: switched, current: 1 },
                { tag: "the current profile", position: 3, sent: [], current: 3 },
            ];
        }
        function test_profileSwitch(data) {
            var m = createMain({ start: true });
            var list = child(m, "menu_Up").profileList;
            compare(list.count, 4, "lists the profile page's entries");
            mouseClick(list, 20, 12);
            tryCompare(list, "animating", false);
            mouseClick(list, 20, 24 + 24 * data.position + 12);
            tryCompare(list, "isDrop", false);
            compare(sent(), data.sent);
            compare(callLog.entries().indexOf("ui_View.setGlobalData(mouse/profileNo,1)") >= 0,
                    data.current === 1);
            compare(m.currentProfile, data.current);
            compare(m.profileMain.profileNo, data.current);
        }

        function test_editorBlock_data() {
            return [
                { tag: "gun mouse", isGun: "true", height: 100, gunRow: true },
                { tag: "plain mouse", isGun: "false", height: 76, gunRow: false },
                { tag: "missing flag", isGun: "", height: 76, gunRow: false },
            ];
        }
        function test_editorBlock(data) {
            var m = createMain({ start: true, isGun: data.isGun });
            compare(child(m, "editorBlock").height, data.height);
            compare(child(m, "gunEditorRow").visible, data.gunRow);
        }

        function test_openDialogs_data() {
            return [
                { tag: "macro editor", button: "macroEditorRow", page: "macroEditorMain", focus: true },
                { tag: "gun editor", button: "gunEditorRow", page: "gunControlMain", focus: true },
                { tag: "system setting", button: "systemSettingRow", page: "systemSettingMain", focus: false },
                { tag: "profile", button: "configButton", page: "profileMain", focus: true },
            ];
        }
        function test_openDialogs(data) {
            var m = createMain({ start: true });
            var dialog = m[data.page];
            verify(!dialog.visible);
            dialog.width = 400;
            dialog.height = 300;
            var stages = m.dpiSettingMain.dpiSegment;
            stages.openMenu();
            tryCompare(stages, "animating", false);
            mouseClick(child(m, data.button));
            verify(dialog.visible);
            verify(child(m, "mainMask").visible);
            compare(dialog.x, 312);
            compare(dialog.y, 170);
            compare(stages.animating, data.focus, "the window's drop-downs close");
        }

        function test_maskPress() {
            var m = createMain({ start: true });
            mouseClick(child(m, "configButton"));
            callLog.clear();
            mousePress(m, 10, 600);
            mouseMove(m, 14, 590, -1, Qt.LeftButton);
            mouseRelease(m, 14, 590);
            compare(callLog.entries(), ["ui_Ctl.onXChanged(4)", "ui_Ctl.onYChanged(-10)"]);
            verify(m.profileMain.visible, "the mask closes no dialog");
        }

        function test_windowDrag() {
            var m = createMain({ start: true });
            var about = child(m, "aboutPopup");
            about.visible = true;
            var rates = m.reportRateRect.reportRateList;
            rates.openMenu();
            tryCompare(rates, "animating", false);
            mousePress(m, 600, 20);
            verify(!about.visible, "a press runs mainFocus");
            verify(rates.animating, "the report-rate list closes");
            compare(callLog.entries(), []);
            mouseMove(m, 615, 13, -1, Qt.LeftButton);
            mouseMove(m, 590, 30, -1, Qt.LeftButton);
            mouseRelease(m, 590, 30);
            compare(callLog.entries(), ["ui_Ctl.onXChanged(15)", "ui_Ctl.onYChanged(-7)",
                                        "ui_Ctl.onXChanged(-10)", "ui_Ctl.onYChanged(10)"]);
        }

        function test_dialogDrag_data() {
            return [
                { tag: "inside", dx: 30, dy: -20, x: 299 + 30, y: 269 - 20 },
                { tag: "past the top left", dx: -1000, dy: -1000, x: 0, y: 0 },
                { tag: "past the bottom right", dx: 2000, dy: 2000, x: 1024 - 427, y: 640 - 102 },
            ];
        }
        function test_dialogDrag(data) {
            var m = createMain({ start: true });
            mouseClick(child(m, "resetButton"));
            var factory = child(m, "factorysure");
            compare(factory.x, 299);
            compare(factory.y, 269);
            callLog.clear();
            var px = 299 + 200, py = 269 + 15;
            mousePress(m, px, py);
            mouseMove(m, px + data.dx / 2, py + data.dy / 2, -1, Qt.LeftButton);
            mouseMove(m, px + data.dx, py + data.dy, -1, Qt.LeftButton);
            mouseRelease(m, px + data.dx, py + data.dy);
            compare(factory.x, data.x);
            compare(factory.y, data.y);
            compare(callLog.entries(), [], "the window itself does not move");
        }

        function test_titleBar() {
            var m = createMain({ start: true });
            var menu = child(m, "menu_Up");
            mouseClick(menu, 32 + 8, 8);
            mouseClick(menu, 64 + 8, 8);
            compare(callLog.entries(), ["ui_Ctl.onMinimize()", "ui_Ctl.onClose()"]);
            var about = child(m, "aboutPopup");
            verify(!about.visible);
            mouseClick(menu, 8, 8);
            verify(about.visible);
            mouseClick(about, 100, 32);
            verify(!about.visible);
        }

    }
}
