import QtQuick
import QtTest

// The profile dialog and the title-bar drop-down inside the real window,
// against the recording controller (name list kept as the controller keeps
// it, import dialog answer configurable).
Item {
    id: top
    width: 1024
    height: 640

    SignalSpy { id: changeSpy; signalName: "changeProfile" }

    WindowTestCase {
        name: "Profile"

        // Starts the window on a stored name list and current profile.
        function start(names, profileNo, lang) {
            ui_View.resetValues();
            ui_View.setGlobalValue("mouse/icType", "553");
            ui_View.setGlobalValue("mouse/isGun", "true");
            ui_View.setGlobalValue("mouse/keyCount", 6);
            ui_View.setGlobalValue("mouse/profileNo", profileNo === undefined ? 0 : profileNo);
            ui_View.setGlobalValue("common/language", "English");
            if (lang !== undefined)
                ui_View.setLangGroup("profile", lang);
            else
                ui_View.setLangGroup("profile", ["config", "New", "Import", "Delete", "Export", "Standard"]);
            if (names !== null)
                ui_View.setNameList(2, names);
            return boot();
        }
        // (Re)creates the window on whatever the controller holds now.
        function boot() {
            var c = Qt.createComponent("qrc:/modules/qml/main.qml");
            verify(c.status === Component.Ready, c.errorString());
            root = createTemporaryObject(c, top);
            page = root.profileMain;
            root.initUI();
            root.setProtectUI(5);
            tryCompare(root, "busy", false);
            changeSpy.target = page;
            changeSpy.clear();
            callLog.clear();
            return page;
        }
        function entries() {
            var out = [];
            for (var i = 0; i < page.profileDataModel0.count; ++i) {
                var e = page.profileDataModel0.get(i);
                out.push(e.textValue + "/" + e.profileNo);
            }
            return out;
        }
        function lastStored() {
            var w = calls("ui_View.updataNameList(2,");
            return w.length ? w[w.length - 1] : "";
        }
        function rowPoint(row) {
            return { x: 40, y: row * 27 + 13 };
        }
        function openDialog() {
            root.openDialog(page, true);
            waitForRendering(page);
        }
        function rightClickRow(row) {
            var p = rowPoint(row);
            mouseClick(page.profileList, p.x, p.y, Qt.RightButton);
            verify(page.profileMenu.visible);
        }
        function chooseInTitleBar(position) {
            var list = findChild(root, "menu_Up").profileList;
            mouseClick(list, 20, 12);
            tryCompare(list, "animating", false);
            verify(list.isDrop);
            mouseClick(list, 20, 24 + position * 24 + 12);
            tryCompare(list, "isDrop", false);
        }

        function test_init_data() {
            return [
                { tag: "no list yet", names: null, want: ["Standard/0"], stored: ["Standard0"] },
                { tag: "one entry with the marker", names: ["Standard0", "loadervortex"], want: ["Standard/0"],
                  stored: ["Standard0"] },
                { tag: "numbers with a gap", names: ["Mine0", "A1", "B3"],
                  want: ["Standard/0", "A/1", "B/3"], stored: ["Standard0", "A1", "B3"] },
                { tag: "name ending in a digit", names: ["Standard0", "Team21"],
                  want: ["Standard/0", "Team2/1"], stored: ["Standard0", "Team21"] },
                { tag: "broken entries dropped", names: ["X0", "", "bad", "Y9", "Z1", "W1"],
                  want: ["Standard/0", "Z/1"], stored: ["Standard0", "Z1"] },
                { tag: "standard entry missing", names: ["A2", "B1"],
                  want: ["Standard/0", "A/2", "B/1"], stored: ["Standard0", "A2", "B1"] },
                { tag: "language text", names: ["Standard0", "A1"], lang: ["c", "N", "I", "D", "E", "Normal"],
                  want: ["Normal/0", "A/1"], stored: ["Normal0", "A1"] }
            ];
        }
        function test_init(row) {
            var names = row.names;
            start(names, 0, row.lang);
            compare(entries(), row.want);
            compare(ui_View.getNameList(2), row.stored.length === 1 ? row.stored.concat(["loadervortex"])
                                                                     : row.stored);
            compare(findChild(root, "menu_Up").profileList.count, row.want.length);
        }

        function test_currentProfileSelected_data() {
            return [
                { tag: "first", no: 0, row: 0 },
                { tag: "after a gap", no: 4, row: 2 },
                { tag: "unknown number", no: 5, row: 0 }
            ];
        }
        function test_currentProfileSelected(row) {
            start(["Standard0", "A1", "B4"], row.no);
            compare(page.profileNo, row.no);
            compare(page.selectRow, row.row);
            compare(page.positionOfProfile(row.no), row.no === 5 ? -1 : row.row);
            compare(findChild(root, "menu_Up").profileList.currentSelect, row.row);
        }

        function test_new_data() {
            return [
                { tag: "empty", names: ["Standard0"], want: "profile_0/1" },
                { tag: "number gap", names: ["Standard0", "profile_01", "profile_13"], want: "profile_2/2" },
                { tag: "name gap", names: ["Standard0", "profile_11", "x2"], want: "profile_0/3" },
                { tag: "custom names", names: ["Standard0", "profile_51", "profile_02"], want: "profile_1/3" }
            ];
        }
        function test_new(row) {
            start(row.names, 0);
            openDialog();
            mouseClick(page.newButton);
            var e = entries();
            compare(e[e.length - 1], row.want);
            compare(page.selectRow, e.length - 1);
            var no = row.want.split("/")[1];
            compare(calls("ui_View.resetProfile"), ["ui_View.resetProfile(" + no + ")"]);
            verify(lastStored().indexOf(row.want.replace("/", "") + "]") > 0, lastStored());
            compare(calls("ui_View.setCurrentProfile").length, 0, "a new profile is not switched to");
        }

        function test_newWithSixEntriesDoesNothing() {
            start(["Standard0", "a1", "b2", "c3", "d4", "e5"], 0);
            page.newProfile();
            compare(entries().length, 6);
            compare(calls("ui_View.resetProfile").length, 0);
            compare(calls("ui_View.updataNameList").length, 0);
        }

        function test_delete_data() {
            return [
                { tag: "first entry", current: 2, row: 0, ok: false },
                { tag: "current entry", current: 2, row: 2, ok: false },
                { tag: "other entry", current: 2, row: 1, ok: true },
                { tag: "last entry", current: 0, row: 2, ok: true }
            ];
        }
        function test_delete(row) {
            start(["Standard0", "A1", "B2"], row.current);
            openDialog();
            var before = entries();
            rightClickRow(row.row);
            mouseClick(findChild(page, "profileMenuDelete"));
            verify(!page.profileMenu.visible);
            if (!row.ok) {
                compare(entries(), before);
                compare(calls("ui_View.updataNameList").length, 0);
                return;
            }
            before.splice(row.row, 1);
            compare(entries(), before);
            compare(calls("ui_View.updataNameList").length, 1);
            compare(calls("ui_View.resetProfile").length, 0, "the stored settings stay");
            compare(page.profileDataModel0.get(page.selectRow).profileNo, row.current);
            compare(findChild(root, "menu_Up").profileList.textValue,
                    page.profileDataModel0.get(page.positionOfProfile(row.current)).textValue,
                    "the title bar still shows the current profile");
        }

        function test_standardNameBackAfterRestart() {
            start(["Standard0", "A1"], 0);
            verify(page.renameProfile(0, "Main"));
            compare(entries(), ["Main/0", "A/1"]);
            compare(ui_View.getNameList(2), ["Main0", "A1"]);
            // a restart reads what was stored
            ui_View.setLangGroup("profile", ["config", "New", "Import", "Delete", "Export", "Standard"]);
            boot();
            compare(entries(), ["Standard/0", "A/1"]);
        }

        function test_rename_data() {
            return [
                { tag: "new name", text: "Work", want: "Work/1" },
                { tag: "taken name", text: "B", want: "A/1" },
                { tag: "empty", text: "", want: "A/1" },
                { tag: "ends in digits", text: "CS2", want: "CS2/1" }
            ];
        }
        function test_rename(row) {
            start(["Standard0", "A1", "B2"], 0);
            openDialog();
            var p = rowPoint(1);
            mouseDoubleClickSequence(page.profileList, p.x, p.y);
            compare(page.editRow, 1);
            verify(page.renameEditor.activeFocus);
            compare(page.renameEditor.selectedText, "A");
            page.renameEditor.text = row.text;
            keyClick(Qt.Key_Return);
            compare(page.editRow, -1);
            compare(entries()[1], row.want);
            var changed = row.want !== "A/1";
            compare(calls("ui_View.updataNameList").length, changed ? 1 : 0);
            if (changed) {
                // and it survives a restart under its own number
                boot();
                compare(entries()[1], row.want);
            }
        }

        // The mask's press reaches the open dialog's focus function; the close
        // icon commits the edit as well.
        function test_editCommitted_data() {
            return [{ tag: "mask press", button: "mainMask", x: 5, y: 5, open: true },
                    { tag: "close icon", button: "profileClose", open: false }];
        }
        function test_editCommitted(row) {
            start(["Standard0", "A1"], 0);
            openDialog();
            page.startEditing(1);
            page.renameEditor.text = "Late";
            mouseClick(findChild(root, row.button), row.x, row.y);
            compare(page.editRow, -1);
            compare(entries()[1], "Late/1");
            compare(page.visible, row.open);
            compare(findChild(root, "mainMask").visible, row.open);
        }

        // Deleting a middle entry and creating a new one puts the freed
        // number behind a higher one: positions no longer match numbers.
        function shuffledList() {
            start(["Standard0", "A1", "B2"], 0);
            verify(page.deleteProfile(1));
            compare(page.newProfile(), 1);
            compare(entries(), ["Standard/0", "B/2", "profile_0/1"]);
            callLog.clear();
        }

        function test_titleBarChoiceNamesTheEntrysNumber_data() {
            return [
                { tag: "B", position: 1, no: 2 },
                { tag: "new entry", position: 2, no: 1 }
            ];
        }
        function test_titleBarChoiceNamesTheEntrysNumber(row) {
            shuffledList();
            chooseInTitleBar(row.position);
            compare(changeSpy.count, 1);
            compare(changeSpy.signalArguments[0][0], row.position);
            compare(page.profileNumberAt(row.position), row.no);
            compare(page.positionOfProfile(row.no), row.position);
            compare(calls("ui_View.setCurrentProfile"), ["ui_View.setCurrentProfile(" + row.no + ")"]);
        }

        function test_importReachesTheEntrysFile_data() {
            return [
                { tag: "into the new entry", fill: false, select: 0, want: "profile_1/3", no: 3 },
                { tag: "into the selected entry when full", fill: true, select: 2, want: null, no: 1 }
            ];
        }
        function test_importReachesTheEntrysFile(row) {
            shuffledList();
            if (row.fill) {
                page.newProfile();
                page.newProfile();
                page.newProfile();
                compare(entries().length, 6);
                callLog.clear();
            }
            openDialog();
            var p = rowPoint(row.select);
            mouseClick(page.profileList, p.x, p.y);
            compare(page.selectRow, row.select);
            mouseClick(page.importButton);
            compare(calls("ui_View.loadProfile"), ["ui_View.loadProfile(" + row.no + ")"]);
            if (row.want !== null) {
                compare(entries()[entries().length - 1], row.want, "a cancelled choice keeps the entry");
                compare(calls("ui_View.resetProfile").length, 0);
            }
        }

        function test_exportTakesTheRowsNumber_data() {
            return [
                { tag: "shuffled row", row: 2, no: 1 },
                { tag: "other row", row: 1, no: 2 }
            ];
        }
        function test_exportTakesTheRowsNumber(row) {
            shuffledList();
            openDialog();
            rightClickRow(row.row);
            mouseClick(findChild(page, "profileMenuExport"));
            compare(calls("ui_View.saveProfile"), ["ui_View.saveProfile(" + row.no + ")"]);
        }

        function test_importOverCurrentReloads_data() {
            return [
                { tag: "loaded", loaded: true },
                { tag: "cancelled", loaded: false }
            ];
        }
        function test_importOverCurrentReloads(row) {
            start(["Standard0", "a1", "b2", "c3", "d4", "e5"], 3);
            ui_View.setLoadProfileResult(row.loaded);
            compare(page.selectRow, 3);
            compare(page.importProfile(), row.loaded);
            compare(calls("ui_View.loadProfile"), ["ui_View.loadProfile(3)"]);
            compare(calls("ui_View.mouseSwitchKeyMatrix").length, row.loaded ? 1 : 0);
            compare(calls("ui_View.mouseSetKeyMatrix").length > 0, row.loaded);
            verify(!root.busy);
        }

    }
}
