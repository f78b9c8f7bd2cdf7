import QtQuick
import QtTest

// The whole window from its start-up on: what reaches the mouse when the
// user saves, resets, switches profiles or moves the window.
Item {
    id: top
    width: 1024
    height: 640

    TestCase {
        name: "MainWindow"
        when: windowShown

        // Builds the window; with start set, runs the start-up until the
        // window takes input again.
        function createMain(opts) {
            ui_View.resetValues();
            var globals = { "mouse/icType": opts.icType || "553", "mouse/isGun": opts.isGun || "true",
                            "mouse/isColorful": "false", "mouse/keyCount": 6, "mouse/profileNo": 3,
                            "common/language": "English" };
            for (var g in globals)
                ui_View.setGlobalValue(g, globals[g]);
            ui_View.setOnBoardProfile(opts.onBoard === undefined ? 1 : opts.onBoard);
            ui_View.setDeviceDpiStage(3);
            ui_View.setNameList(2, ["Standard0", "profile_01", "profile_12", "profile_23"]);
            var c = Qt.createComponent("qrc:/modules/qml/main.qml");
            verify(c.status === Component.Ready, c.errorString());
            var m = createTemporaryObject(c, top);
            if (opts.start) {
                m.initUI();
                m.setProtectUI(5);
                tryCompare(m, "busy", false);
            }
            callLog.clear();
            return m;
        }
        // The calls that reach the mouse or lock the window, a run of one
        // name once.
        function sent() {
            var out = [];
            callLog.entries().forEach(function (e) {
                var n = e.substring(e.indexOf(".") + 1, e.indexOf("("));
                if (/^(setEnabled|resetProfile|setCurrentProfile|mouse(Set|Switch|Reset|Send|Save))/.test(n)
                        && out[out.length - 1] !== n)
                    out.push(n);
            });
            return out;
        }

        // A 560 is put on its first on-board profile before the texts are
        // read; the stored profile is chosen before the key matrix reads it.
        function test_startUp_data() {
            return [
                { tag: "553", icType: "553", onBoard: 1, set: false },
                { tag: "560 on profile 1", icType: "560", onBoard: 1, set: false },
                { tag: "560 on profile 2", icType: "560", onBoard: 2, set: true },
                { tag: "560 unreadable", icType: "560", onBoard: "", set: true },
            ];
        }
        function test_startUp(d) {
            var m = createMain(d);
            m.initUI();
            var log = callLog.entries();
            compare(log[0], "ui_View.setEnabled(false)");
            var set = log.indexOf("hid.hid560_02H_SetCurrentProfile(1)");
            compare(set >= 0, d.set);
            verify(set < log.indexOf("ui_View.getLangStrings(main,English)"));
            var chosen = log.indexOf("ui_View.setCurrentProfile(3)");
            verify(chosen > 0 && chosen < log.indexOf("ui_View.mouseGetKeydefine(0,false)"));
            compare(log[log.length - 1], "ui_View.mouseGetCurrentDPI()");
            compare(m.dpiSettingMain.currentDPI, 2);
            // a second start reads only the mouse's stage
            callLog.clear();
            m.initUI();
            compare(callLog.entries(), ["ui_View.setEnabled(false)", "ui_View.mouseGetCurrentDPI()"]);
        }

        // No click gets through while the window is locked, and a protect
        // interval ending during a long operation does not unlock it.
        function test_locks() {
            var m = createMain({});
            m.initUI();
            m.setProtectUI(30);
            var factory = findChild(m, "factorysure");
            mouseClick(findChild(m, "resetButton"));
            verify(!factory.visible);
            tryCompare(m, "busy", false);
            compare(callLog.entries().slice(-1), ["ui_View.setEnabled(true)"]);
            mouseClick(findChild(m, "resetButton"));
            verify(factory.visible);
            callLog.clear();
            m.controlUIEnable(false);
            m.setProtectUI(5);
            tryCompare(m, "protectActive", false);
            verify(m.busy);
            compare(callLog.entries(), ["ui_View.setEnabled(false)", "ui_View.setEnabled(false)"]);
            m.controlUIEnable(true);
            compare(callLog.entries().slice(-1), ["ui_View.setEnabled(true)"]);
        }

        function test_save_data() {
            return [
                { tag: "nothing to save", km: false, dpi: false, light: false, sent: [] },
                { tag: "dpi and lighting", km: false, dpi: true, light: true,
                  sent: ["setEnabled", "mouseSetDpi", "mouseSetRGBEffect", "mouseSetRGBColor", "setEnabled"] },
                { tag: "all three", km: true, dpi: true, light: true,
                  sent: ["setEnabled", "mouseSetKeyMatrix", "mouseSetDpi", "mouseSetRGBEffect", "mouseSetRGBColor",
                         "setEnabled"] },
            ];
        }
        function test_save(d) {
            var m = createMain({ start: true });
            m.keyMatrixMain.isSave = d.km;
            m.dpiSettingMain.isSave = d.dpi;
            m.lightControlMain.isSave = d.light;
            mouseClick(findChild(m, "saveButton"), 4, 4);
            compare(sent(), d.sent);
            verify(!m.anyUnsaved && !m.busy);
        }

        function test_factoryReset_data() {
            var reload = ["mouseSetKeyMatrix", "mouseSetReportRate", "mouseSetDpi", "mouseSetRGBEffect",
                          "mouseSetRGBColor", "mouseSetCursorSpeed", "mouseSetDoubleClickSpeed",
                          "mouseSetVerticalScrollLines"];
            // the gun presets go back too, and the key matrix with them
            var end = ["mouseSetCurrentDPI", "mouseSaveGundata", "mouseSendGundata", "mouseSetKeyMatrix", "setEnabled"];
            return [
                { tag: "gun mouse", isGun: "true",
                  sent: ["setEnabled", "resetProfile"].concat(reload, ["mouseSwitchKeyMatrix", "mouseResetKeyMatrix"], end) },
                { tag: "plain mouse", isGun: "false", sent: ["setEnabled", "resetProfile"].concat(reload, end) },
                { tag: "cancelled", isGun: "true", cancel: true, sent: [] },
            ];
        }
        function test_factoryReset(d) {
            var m = createMain({ start: true, isGun: d.isGun });
            m.keyMatrixMain.isSave = true;
            mouseClick(findChild(m, "resetButton"));
            var factory = findChild(m, "factorysure");
            callLog.clear();
            mouseClick(d.cancel ? factory.cancelButton : factory.okButton);
            compare(sent(), d.sent);
            verify(!factory.visible && !findChild(m, "mainMask").visible);
            if (d.cancel)
                return;
            verify(callLog.entries().indexOf("ui_View.resetProfile(3)") >= 0);
            verify(callLog.entries().indexOf("ui_View.mouseSetCurrentDPI(2)") >= 0);
            verify(!m.anyUnsaved);
        }

        // Title bar icons, the window dragged by an empty spot, the editor
        // rows opening their dialogs, and a dialog dragged past the edge.
        function test_windowControls() {
            var m = createMain({ start: true });
            var menu = findChild(m, "menu_Up");
            mouseClick(menu, 32 + 8, 8);
            mouseClick(menu, 64 + 8, 8);
            compare(callLog.entries(), ["ui_Ctl.onMinimize()", "ui_Ctl.onClose()"]);
            callLog.clear();
            mousePress(m, 600, 20);
            mouseMove(m, 615, 13, -1, Qt.LeftButton);
            mouseRelease(m, 615, 13);
            compare(callLog.entries(), ["ui_Ctl.onXChanged(15)", "ui_Ctl.onYChanged(-7)"]);
            var rows = ["macroEditorRow", "gunEditorRow", "systemSettingRow", "configButton"];
            var pages = ["macroEditorMain", "gunControlMain", "systemSettingMain", "profileMain"];
            for (var i = 0; i < rows.length; ++i) {
                mouseClick(findChild(m, rows[i]));
                verify(m[pages[i]].visible && findChild(m, "mainMask").visible, rows[i]);
                m.closeDialog(m[pages[i]]);
            }
            mouseClick(findChild(m, "resetButton"));
            var factory = findChild(m, "factorysure");
            callLog.clear();
            mousePress(m, factory.x + 200, factory.y + 15);
            mouseMove(m, factory.x + 1200, factory.y + 1015, -1, Qt.LeftButton);
            mouseRelease(m, factory.x + 1200, factory.y + 1015);
            compare([factory.x, factory.y], [1024 - factory.width, 640 - factory.height]);
            compare(callLog.entries(), [], "the window itself does not move");
        }
    }
}
