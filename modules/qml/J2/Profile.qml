pragma ComponentBehavior: Bound
import QtQuick
import ".."
import "../basic/util.js" as U
import "../basic/names.js" as Names

// The profile dialog: named profiles with their profile numbers, created,
// imported, exported, renamed and deleted here; the same entry list feeds
// the title-bar drop-down that switches between them.
//
// Positions in the list and profile numbers drift apart as soon as an entry
// in the middle is deleted and a new one takes the freed number at the end,
// so everything that reaches a profile file goes through the entry's own
// number (profileNumberAt), never through its position.
Rectangle {
    id: profileMain

    property var profileLang: ["config", "New", "Import", "Delete", "Export", "Standard", "", "", "",
        "", "", "", "", "", "", "", "", "", "", ""]

    readonly property int maxProfiles: 6
    readonly property int nameListType: 2
    readonly property string listSentinel: "loadervortex"

    // The current profile number, as stored in "mouse/profileNo".
    property int profileNo: -1
    // Row chosen in the dialog's list (clicking a row does not switch).
    property int selectRow: 0
    property int editRow: -1
    property int menuRow: -1

    property alias profileDataModel0: profileDataModel0

    // The controls are made when the dialog first shows and kept from then
    // on; until then the entries, the rows and the functions here are all
    // there is of it.
    property Body body: null

    function ui(): Body {
        if (body === null) {
            var made = bodyComponent.createObject(profileMain);
            body = made;
        }
        return body;
    }

    onVisibleChanged: {
        if (visible)
            ui();
    }

    // Raised by the title-bar drop-down with the chosen position; the
    // window maps it through profileNumberAt before switching.
    signal changeProfile(int position)
    signal closed
    // The profile shown by the pages was overwritten by an import.
    signal currentProfileReplaced
    // The title bar's drop-down lists these entries and follows them.
    property Menu_Up menu_Up: null

    width: 415
    height: 288
    color: Style.colorGray0

    function lang(i) {
        var l = profileLang;
        return l && i < l.length && l[i] !== undefined && l[i] !== null ? String(l[i]) : "";
    }

    // ---- entries and numbers ----

    function profileNumberAt(position) {
        var p = U.toInt(position, -1);
        if (p < 0 || p >= profileDataModel0.count)
            return -1;
        return profileDataModel0.get(p).profileNo;
    }

    function positionOfProfile(number) {
        var n = U.toInt(number, -1);
        for (var i = 0; i < profileDataModel0.count; ++i)
            if (profileDataModel0.get(i).profileNo === n)
                return i;
        return -1;
    }

    function entryStrings() {
        var out = [];
        for (let i = 0; i < profileDataModel0.count; ++i) {
            var e = profileDataModel0.get(i);
            out.push(e.textValue + String(e.profileNo));
        }
        return out;
    }

    function writeBack() {
        Native.view.updataNameList(nameListType, entryStrings());
    }

    function names() {
        var out = [];
        for (let i = 0; i < profileDataModel0.count; ++i)
            out.push(profileDataModel0.get(i).textValue);
        return out;
    }

    function hasName(name, exceptRow) {
        return Names.taken(names(), name, exceptRow);
    }

    function lowestFreeNumber() {
        for (var n = 0; n < maxProfiles; ++n)
            if (positionOfProfile(n) < 0)
                return n;
        return -1;
    }

    function lowestFreeName() {
        return Names.firstFree(names(), "profile_", 12) || "profile_";
    }

    // Stored entries are the name followed by the number as one digit. An
    // entry that does not end in a usable number, or repeats a number that
    // is already taken, would point two rows at one file: it is dropped.
    function parseEntries(list) {
        var raw = U.toList(list);
        if (raw.length === 2 && String(raw[1]) === listSentinel)
            raw = [raw[0]];
        var out = [];
        var taken = {};
        for (let i = 0; i < raw.length && out.length < maxProfiles; ++i) {
            var s = U.toText(raw[i], "");
            if (s.length < 1)
                continue;
            var digit = s.charAt(s.length - 1);
            if (digit < "0" || digit > "5" || taken[digit])
                continue;
            taken[digit] = true;
            out.push({ textValue: s.substring(0, s.length - 1), profileNo: Number(digit) });
        }
        // The standard profile is always there and always first.
        var std = -1;
        for (var j = 0; j < out.length; ++j)
            if (out[j].profileNo === 0)
                std = j;
        if (std < 0) {
            if (out.length >= maxProfiles)
                out.pop();
            out.unshift({ textValue: "", profileNo: 0 });
        } else if (std > 0) {
            out.unshift(out.splice(std, 1)[0]);
        }
        return out;
    }

    function init() {
        var entries = parseEntries(Native.view.getNameList(nameListType));
        profileDataModel0.clear();
        for (var i = 0; i < entries.length; ++i)
            profileDataModel0.append(entries[i]);
        profileDataModel0.setProperty(0, "textValue", lang(5));
        var row = positionOfProfile(profileNo);
        selectRow = row >= 0 ? row : 0;
        editRow = -1;
        writeBack();
    }

    onProfileNoChanged: {
        var row = positionOfProfile(profileNo);
        if (row >= 0)
            selectRow = row;
    }

    // ---- operations ----

    // Appends a fresh entry and selects it; -1 when the list is full.
    function appendEntry() {
        if (profileDataModel0.count >= maxProfiles)
            return -1;
        var number = lowestFreeNumber();
        if (number < 0)
            return -1;
        profileDataModel0.append({ textValue: lowestFreeName(), profileNo: number });
        selectRow = profileDataModel0.count - 1;
        writeBack();
        return number;
    }

    function newProfile() {
        endEditing();
        var number = appendEntry();
        if (number >= 0)
            Native.view.resetProfile(number);
        return number;
    }

    function importProfile() {
        endEditing();
        var number = appendEntry();
        if (number < 0)
            number = profileNumberAt(selectRow);
        if (number < 0)
            return false;
        var loaded = U.toBool(Native.view.loadProfile(number), false);
        // The pages hold the current profile's values; an import over it
        // must reach them and the mouse, or the next Save would undo it.
        if (loaded && number === profileNo)
            reloadCurrent();
        return loaded;
    }

    function reloadCurrent() {
        currentProfileReplaced();
    }

    function exportProfile(row) {
        var number = profileNumberAt(row === undefined ? selectRow : row);
        if (number < 0)
            return;
        Native.view.saveProfile(number);
    }

    function canDelete(row) {
        return row > 0 && row < profileDataModel0.count && profileNumberAt(row) !== profileNo;
    }

    function deleteProfile(row) {
        endEditing();
        if (!canDelete(row))
            return false;
        profileDataModel0.remove(row);
        if (selectRow >= profileDataModel0.count || selectRow === row)
            selectRow = Math.max(0, positionOfProfile(profileNo));
        else if (selectRow > row)
            selectRow -= 1;
        writeBack();
        syncTitleBar();
        return true;
    }

    // The title-bar drop-down keeps a position; once a row above the
    // current profile is gone, that position names another entry.
    function syncTitleBar() {
        var pos = positionOfProfile(profileNo);
        if (pos >= 0 && menu_Up)
            menu_Up.selectProfile(pos);
    }

    // An empty name or one that another entry already has is refused and
    // the old name stays.
    function renameProfile(row, name) {
        if (row < 0 || row >= profileDataModel0.count)
            return false;
        var text = U.toText(name, "");
        if (text === "" || text === profileDataModel0.get(row).textValue || hasName(text, row))
            return false;
        profileDataModel0.setProperty(row, "textValue", text);
        writeBack();
        return true;
    }

    function startEditing(row) {
        if (row < 0 || row >= profileDataModel0.count)
            return;
        closeMenu();
        selectRow = row;
        editRow = row;
        var editor = ui().profileList.editor;
        editor.text = profileDataModel0.get(row).textValue;
        editor.forceActiveFocus();
        editor.selectAll();
    }

    function endEditing() {
        if (editRow < 0)
            return;
        var row = editRow;
        editRow = -1;
        var editor = ui().profileList.editor;
        renameProfile(row, editor.text);
        editor.focus = false;
    }

    function openMenu(row, px, py) {
        endEditing();
        selectRow = row;
        menuRow = row;
        var menu = ui().profileMenu;
        menu.x = Math.min(px, width - menu.width);
        menu.y = Math.min(py, height - menu.height);
        menu.visible = true;
    }

    function closeMenu() {
        if (body)
            body.profileMenu.visible = false;
        menuRow = -1;
    }

    function profileFocus() {
        endEditing();
        closeMenu();
    }

    function closeDialog() {
        profileFocus();
        profileMain.visible = false;
        closed();
        if (menu_Up)
            menu_Up.profileList.closeMenu();
    }

    ListModel {
        id: profileDataModel0
    }

    // ---- layout ----

    component Body: Item {
        property alias profileMenu: profileMenu
        property alias profileList: profileList
        property alias newButton: newButton
        property alias importButton: importButton

        width: profileMain.width
        height: profileMain.height

        DialogDrag {
            target: profileMain
            onPressed: profileMain.profileFocus()
        }

        Rectangle {
            id: titleStrip
            width: parent.width
            height: 40
            color: Style.colorBlack
            Text {
                x: 16
                anchors.verticalCenter: parent.verticalCenter
                text: profileMain.lang(0)
                color: Style.textColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontMiddleSize
                font.bold: true
            }
            ImageButton {
                id: closeIcon
                objectName: "profileClose"
                anchors.right: parent.right
                anchors.rightMargin: 16
                anchors.verticalCenter: parent.verticalCenter
                source: Style.image("index", "closeBtn")
                hoverSource: Style.image("index", "closeBtnH")
                onClicked: profileMain.closeDialog()
            }
        }
        Rectangle {
            y: 40
            width: parent.width
            height: 1
            color: Style.colorBlack
        }

        Rectangle {
            id: listBox
            x: 16
            y: 57
            width: 384
            height: 180
            color: Style.colorBlack
            clip: true

            MouseArea {
                anchors.fill: parent
                onPressed: profileMain.profileFocus()
            }

            NameList {
                id: profileList
                anchors.fill: parent
                scrolls: false
                model: profileDataModel0
                currentRow: profileMain.selectRow
                editRow: profileMain.editRow
                editorHeight: 27
                maxLength: 31
                onEditAccepted: profileMain.endEditing()
                onEditCancelled: {
                    profileMain.editRow = -1;
                    editor.focus = false;
                }
                onRowPressed: function (index, button, at) {
                    if (profileMain.editRow >= 0 && profileMain.editRow !== index)
                        profileMain.endEditing();
                    if (button === Qt.RightButton) {
                        var p = profileList.mapToItem(profileMain, at.x, at.y);
                        profileMain.openMenu(index, p.x, p.y);
                    } else {
                        profileMain.closeMenu();
                        profileMain.selectRow = index;
                    }
                }
                onRowDoubleClicked: function (index) { profileMain.startEditing(index); }
            }
        }

        Row {
            x: 16
            y: listBox.y + listBox.height + 12
            spacing: 8
            TextButton {
                id: newButton
                objectName: "profileNew"
                text: profileMain.lang(1)
                normalColor: Style.colorGray0
                Rectangle {
                    anchors.fill: parent
                    color: "transparent"
                    border.color: newButton.hovered ? Style.colorOrange : Style.colorGray1
                }
                onClicked: profileMain.newProfile()
            }
            TextButton {
                id: importButton
                objectName: "profileImport"
                text: profileMain.lang(2)
                normalColor: Style.colorGray0
                Rectangle {
                    anchors.fill: parent
                    color: "transparent"
                    border.color: importButton.hovered ? Style.colorOrange : Style.colorGray1
                }
                onClicked: profileMain.importProfile()
            }
        }

        Rectangle {
            id: profileMenu
            objectName: "profileMenu"
            width: 100
            height: 48
            visible: false
            z: 5
            color: Style.colorGray0
            border.color: Style.colorGray1
            Column {
                x: 1
                y: 0
                TextButton {
                    id: deleteItem
                    objectName: "profileMenuDelete"
                    width: 98
                    text: profileMain.lang(3)
                    normalColor: Style.colorGray0
                    onClicked: {
                        var r = profileMain.menuRow;
                        profileMain.closeMenu();
                        profileMain.deleteProfile(r);
                    }
                }
                TextButton {
                    id: exportItem
                    objectName: "profileMenuExport"
                    width: 98
                    text: profileMain.lang(4)
                    normalColor: Style.colorGray0
                    onClicked: {
                        var r = profileMain.menuRow;
                        profileMain.closeMenu();
                        profileMain.exportProfile(r);
                    }
                }
            }
        }
    }
    Component {
        id: bodyComponent
        Body {}
    }
}
