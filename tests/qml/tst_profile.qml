import QtQuick
import QtTest

// The profile list and the title-bar drop-down against the recording
// controller, which keeps the name list as the controller does.
Item {
    id: top
    width: 1024
    height: 640

    WindowTestCase {
        name: "Profile"
        pageName: "profileMain"

        function start(names, profileNo, lang) {
            load({}, {});
            if (names !== null)
                ui_View.setNameList(2, names);
            root.currentProfile = profileNo;
            page.profileNo = profileNo;
            page.profileLang = lang || ["config", "New", "Import", "Delete", "Export", "Standard"];
            page.init();
            callLog.clear();
        }
        function stored() {
            var w = calls("ui_View.updataNameList(2,");
            return w.length ? w[w.length - 1].replace("ui_View.updataNameList(2,", "").slice(0, -1) : "";
        }

        // Entries are a name and a one-digit number; broken or repeated
        // numbers are dropped and the standard entry always leads.
        function test_init_data() {
            return [
                { tag: "no list yet", names: null, want: ["Standard0"] },
                { tag: "one entry with the marker", names: ["Standard0", "loadervortex"], want: ["Standard0"] },
                { tag: "numbers with a gap", names: ["Mine0", "A1", "B3"], want: ["Standard0", "A1", "B3"] },
                { tag: "name ending in a digit", names: ["Standard0", "Team21"], want: ["Standard0", "Team21"] },
                { tag: "broken entries dropped", names: ["X0", "", "bad", "Y9", "Z1", "W1"], want: ["Standard0", "Z1"] },
                { tag: "standard entry missing", names: ["A2", "B1"], want: ["Standard0", "A2", "B1"] },
                { tag: "language text", names: ["Standard0", "A1"], lang: ["c", "N", "I", "D", "E", "Normal"],
                  want: ["Normal0", "A1"] },
            ];
        }
        function test_init(d) {
            start(d.names, 0, d.lang);
            compare(page.entryStrings(), d.want);
            compare(ui_View.getNameList(2), d.want.length === 1 ? d.want.concat(["loadervortex"]) : d.want);
            compare(findChild(root, "menu_Up").profileList.count, d.want.length);
        }

        function test_new_data() {
            return [
                { tag: "empty", names: ["Standard0"], made: "profile_01" },
                { tag: "number gap", names: ["Standard0", "profile_01", "profile_13"], made: "profile_22" },
                { tag: "full", names: ["Standard0", "a1", "b2", "c3", "d4", "e5"], made: "" },
            ];
        }
        function test_new(d) {
            start(d.names, 0);
            root.openDialog(page, true);
            mouseClick(page.body.newButton);
            if (d.made === "") {
                compare(callLog.entries().filter(function (e) { return e.indexOf("ui_View.get") !== 0; }), []);
                return;
            }
            compare(calls("ui_View.resetProfile"), ["ui_View.resetProfile(" + d.made.slice(-1) + ")"]);
            compare(stored(), "[" + d.names.concat([d.made]).join(",") + "]");
            compare(calls("ui_View.setCurrentProfile"), [], "a new profile is not switched to");
        }

        // Neither the standard entry nor the current one can go; deleting
        // keeps the stored settings and the title bar on the current entry.
        function test_delete_data() {
            return [
                { tag: "first entry", current: 2, row: 0, left: "" },
                { tag: "current entry", current: 2, row: 2, left: "" },
                { tag: "other entry", current: 2, row: 1, left: "[Standard0,B2]" },
                { tag: "last entry", current: 0, row: 2, left: "[Standard0,A1]" },
            ];
        }
        function test_delete(d) {
            start(["Standard0", "A1", "B2"], d.current);
            compare(page.deleteProfile(d.row), d.left !== "");
            compare(stored(), d.left);
            compare(calls("ui_View.resetProfile"), []);
            compare(findChild(root, "menu_Up").profileList.currentSelect, page.positionOfProfile(d.current));
        }

        // A name that is empty or taken is refused; an edit ends with a press
        // on the mask or the close icon.
        function test_rename_data() {
            return [
                { tag: "new name", text: "Work", want: "[Standard0,Work1,B2]", click: "mainMask" },
                { tag: "ends in digits", text: "CS2", want: "[Standard0,CS21,B2]", click: "profileClose" },
                { tag: "taken name", text: "B", want: "", click: "mainMask" },
                { tag: "empty", text: "", want: "", click: "mainMask" },
            ];
        }
        function test_rename(d) {
            start(["Standard0", "A1", "B2"], 0);
            root.openDialog(page, true);
            page.startEditing(1);
            keyClick(Qt.Key_Backspace);
            for (var i = 0; i < d.text.length; ++i)
                keyClick(d.text.charAt(i));
            mouseClick(findChild(root, d.click), 5, 5);
            compare(stored(), d.want);
            compare(page.visible, d.click === "mainMask");
            root.closeDialog(page);
        }

        // Deleting a middle entry and adding one puts the freed number
        // behind a higher one: positions no longer match numbers, and every
        // operation must take the entry's own number.
        function shuffledList() {
            start(["Standard0", "A1", "B2"], 0);
            verify(page.deleteProfile(1));
            compare(page.newProfile(), 1);
            compare(page.entryStrings(), ["Standard0", "B2", "profile_01"]);
            callLog.clear();
        }

        // Choosing another profile sends all of it to the mouse.
        function test_titleBarChoice_data() {
            return [{ tag: "B", position: 1, no: 2 }, { tag: "new entry", position: 2, no: 1 }, { tag: "current", position: 0 }];
        }
        function test_titleBarChoice(d) {
            shuffledList();
            choose(findChild(root, "menu_Up").profileList, d.position);
            if (d.no === undefined) {
                compare(callLog.entries(), [], "the current profile is not sent again");
                return;
            }
            compare(calls("ui_View.setCurrentProfile"), ["ui_View.setCurrentProfile(" + d.no + ")"]);
            compare(calls("ui_View.mouse").filter(function (e) { return !/Get/.test(e); })
                    .map(function (e) { return e.replace(/ui_View.mouse|\(.*/g, ""); }),
                    ["SetKeyMatrix", "SetReportRate", "SetDpi", "SetRGBEffect", "SetRGBColor", "SetCursorSpeed",
                     "SetDoubleClickSpeed", "SetVerticalScrollLines", "SwitchKeyMatrix", "ResetKeyMatrix"]);
        }

        function test_exportTakesTheRowsNumber() {
            shuffledList();
            page.exportProfile(2);
            page.exportProfile(1);
            compare(calls("ui_View.saveProfile"), ["ui_View.saveProfile(1)", "ui_View.saveProfile(2)"]);
        }

        // An import goes into a new entry, or into the selected one when the
        // list is full; over the current profile it reaches the pages and
        // the mouse.
        function test_import_data() {
            return [
                { tag: "into a new entry", fill: 0, select: 0, no: 3, loaded: false, resent: false },
                { tag: "into the selected entry", fill: 3, select: 2, no: 1, loaded: true, resent: false },
                { tag: "over the current entry", fill: 3, select: 0, no: 0, loaded: true, resent: true },
                { tag: "over the current entry, cancelled", fill: 3, select: 0, no: 0, loaded: false, resent: false },
            ];
        }
        function test_import(d) {
            shuffledList();
            for (var i = 0; i < d.fill; ++i)
                page.newProfile();
            ui_View.setLoadProfileResult(d.loaded);
            page.selectRow = d.select;
            callLog.clear();
            compare(page.importProfile(), d.loaded);
            compare(calls("ui_View.loadProfile"), ["ui_View.loadProfile(" + d.no + ")"]);
            compare(calls("ui_View.resetProfile"), []);
            compare(calls("ui_View.mouseSetKeyMatrix").length > 0, d.resent);
            verify(!root.busy);
        }
    }
}
