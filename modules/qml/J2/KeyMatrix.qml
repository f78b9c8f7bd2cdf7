pragma ComponentBehavior: Bound
import QtQuick
import ".."
import "../basic/util.js" as U

// The key matrix panel: one row per button with its current function, the
// working and factory entries behind them, and the restore icon.
Rectangle {
    id: keyMatrixMain

    property bool isSave: false
    property var keyMatrixLang: ["Key ", "Key Function"]
    property int keyCount: 8
    readonly property int rowCount: Math.max(0, Math.min(14, keyCount))
    // The picture shows the selection; the dialog edits a button; the gun
    // editor knows the gun slots' fire intervals.
    property var mouseMain: null
    property var keyAssigmentMain: null
    property var gunControlMain: null
    property alias modKeys: modKeys
    property alias modKeys_tmp: modKeys_tmp
    // Fire interval used for a gun slot when the gun editor cannot say.
    readonly property int defaultGunPeriod: 10
    // Built-in entries (class, code1, code2, code3), also what a missing or
    // unreadable stored entry falls back to.
    readonly property var defaultEntries: [
        [0x00, 0x00, 0xF0, 0x00], [0x00, 0x00, 0xF1, 0x00], [0x00, 0x00, 0xF2, 0x00],
        [0x00, 0x00, 0xF4, 0x00], [0x00, 0x00, 0xF3, 0x00], [0x05, 0x00, 0x01, 0x00],
        [0x05, 0x00, 0x02, 0x00], [0x00, 0xF0, 0x1E, 0x03], [0, 0, 0, 0], [0, 0, 0, 0],
        [0, 0, 0, 0], [0, 0, 0, 0], [0, 0, 0, 0], [0, 0, 0, 0],
        [0xFF, 0x00, 0x01, 0x00], [0xFF, 0x00, 0x02, 0x00]
    ]
    property var rowNames: ["", "", "", "", "", "", "", "", "", "", "", "", "", ""]

    // The dialog is about to open over the window.
    signal dialogOpening

    width: 232
    height: 40 + 24 * rowCount + 2 * Math.max(0, rowCount - 1) + 8
    color: Style.colorBlack

    function langText(i) {
        var l = keyMatrixLang;
        return l && i < l.length && l[i] !== undefined && l[i] !== null ? String(l[i]) : "";
    }

    function fillRowNames() {
        var names = [];
        for (let i = 0; i < 14; ++i)
            names.push(i < 8 ? langText(0) + " " + (i + 1) : "");
        rowNames = names;
    }

    function describe(e) {
        return keyAssigmentMain ? keyAssigmentMain.keyCodeToString(e[0], e[1], e[2], e[3]) : "";
    }

    // A stored entry as four numbers 0..255, or null when it is missing or
    // does not hold four such numbers.
    function parseEntry(v) {
        var list = U.toList(v);
        if (list.length < 4)
            return null;
        var out = [];
        for (var k = 0; k < 4; ++k) {
            var n = U.toInt(list[k], NaN);
            if (isNaN(n) || n < 0 || n > 255 || Number(list[k]) !== n)
                return null;
            out.push(n);
        }
        return out;
    }

    function setEntry(model, j, e, text) {
        model.set(j, {
            keyCode0: e[0],
            keyCode1: e[1],
            keyCode2: e[2],
            keyCode3: e[3],
            keyText: text
        });
    }

    function entryOf(model, j) {
        var r = model.get(j);
        return [r.keyCode0, r.keyCode1, r.keyCode2, r.keyCode3];
    }

    function init(isSendData, isRecovery) {
        fillRowNames();
        var working = [];
        var factory = [];
        for (let j = 0; j < 16; ++j) {
            var f = parseEntry(Native.view.mouseGetKeydefine(j, true));
            var w = isRecovery ? f : parseEntry(Native.view.mouseGetKeydefine(j, false));
            // A profile without this button keeps the factory assignment,
            // and a broken factory file the built-in one.
            if (f === null)
                f = defaultEntries[j].slice();
            if (w === null)
                w = f.slice();
            working.push(w);
            factory.push(f);
        }
        for (let j = 0; j < 16; ++j) {
            setEntry(modKeys, j, working[j], describe(working[j]));
            setEntry(modKeys_tmp, j, factory[j], describe(factory[j]));
        }
        if (isSendData)
            modKeys.saveData();
    }

    // Fire interval of the presets chosen for the three gun slots.
    function gunPeriods() {
        var out = [defaultGunPeriod, defaultGunPeriod, defaultGunPeriod];
        var gun = gunControlMain;
        if (!gun || !gun.gunNumberModel)
            return out;
        var model = gun.gunNumberModel;
        var n = model.count !== undefined ? model.count : (model.length || 0);
        var slots = [gun.selectGun1, gun.selectGun2, gun.selectGun3];
        for (var s = 0; s < 3; ++s) {
            var pos = U.toInt(slots[s], -1);
            if (pos < 0 || pos >= n)
                continue;
            var row = model.get !== undefined ? model.get(pos) : model[pos];
            var p = row ? U.toInt(row.gunPeriod, NaN) : NaN;
            if (!isNaN(p))
                out[s] = p;
        }
        return out;
    }

    // Restores every working entry from the factory list; macros among them
    // are downloaded again and their names recorded for their buttons.
    function restoreAll() {
        for (var j = 0; j < 16; ++j) {
            var r = modKeys_tmp.get(j);
            var e = [r.keyCode0, r.keyCode1, r.keyCode2, r.keyCode3];
            setEntry(modKeys, j, e, r.keyText);
            if (e[0] === 0x04)
                bindMacro(e[2], r.keyText);
        }
        isSave = true;
    }

    function bindMacro(slot, name) {
        var editor = keyAssigmentMain ? keyAssigmentMain.macroEditorPage : null;
        if (editor)
            editor.sendMacro(slot, name);
        Native.view.setData("mouseMacroKey/" + slot, name);
    }

    // Shared by the picture's boxes and the panel's rows.
    function openKeyAssigment(index, fromPicture) {
        if (index < 0 || index >= 16 || !mouseMain)
            return false;
        mouseMain.selectKey = index;
        if (modKeys.checkOneLeftKey()) {
            if (fromPicture)
                mouseMain.selectKey = -1;
            return false;
        }
        if (!keyAssigmentMain)
            return false;
        dialogOpening();
        keyAssigmentMain.show(index);
        return true;
    }

    function dialogOpen() {
        return keyAssigmentMain !== null && keyAssigmentMain !== undefined && keyAssigmentMain.visible;
    }

    ListModel {
        id: modKeys

        function saveData() {
            var list = [];
            for (let j = 0; j < count; ++j) {
                var r = get(j);
                list.push(r.keyCode0, r.keyCode1, r.keyCode2, r.keyCode3);
            }
            Native.view.mouseSetKeyMatrix(list, true, keyMatrixMain.gunPeriods());
        }

        // True when the selected button holds the only left click left: that
        // button must keep it or the mouse could no longer click.
        function checkOneLeftKey() {
            var found = -1;
            var n = 0;
            for (var j = 0; j < count; ++j) {
                var r = get(j);
                if (r.keyCode0 === 0x00 && r.keyCode2 === 0xF0) {
                    ++n;
                    found = j;
                }
            }
            var picture = keyMatrixMain.mouseMain;
            return n === 1 && picture !== null && found === picture.selectKey;
        }
    }
    ListModel {
        id: modKeys_tmp
    }

    Component.onCompleted: {
        for (var j = 0; j < 16; ++j) {
            var e = defaultEntries[j];
            var row = {
                keyCode0: e[0],
                keyCode1: e[1],
                keyCode2: e[2],
                keyCode3: e[3],
                keyText: ""
            };
            modKeys.append(row);
            modKeys_tmp.append(row);
        }
        fillRowNames();
    }

    Text {
        x: 8
        y: 12
        text: keyMatrixMain.langText(1)
        color: Style.textColor
        font.family: Style.fontFamily
        font.pixelSize: Style.fontMiddleSize
        font.bold: true
    }

    ImageButton {
        id: restoreIcon
        objectName: "keyMatrixRestore"
        anchors.right: parent.right
        anchors.rightMargin: 8
        y: 12
        source: Style.image("index", "back")
        hoverSource: Style.image("index", "backH")
        onClicked: keyMatrixMain.restoreAll()
    }

    Repeater {
        model: modKeys
        delegate: Rectangle {
            id: row
            required property int index
            required property string keyText
            readonly property bool lit: rowArea.containsMouse
                                        || (keyMatrixMain.mouseMain !== null && keyMatrixMain.mouseMain.selectKey === index)
            objectName: "keyMatrixRow" + index
            visible: index < keyMatrixMain.rowCount
            x: 8
            y: 40 + index * 26
            width: 216
            height: 24
            color: lit ? Style.colorOrange : Style.colorGray0
            Text {
                x: 24
                anchors.verticalCenter: parent.verticalCenter
                text: keyMatrixMain.rowNames[row.index] || ""
                color: Style.textColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontNormalSize
            }
            Text {
                id: functionText
                objectName: "keyMatrixRowText" + row.index
                x: 72
                width: parent.width - x
                anchors.verticalCenter: parent.verticalCenter
                horizontalAlignment: Text.AlignHCenter
                elide: Text.ElideRight
                text: row.keyText
                color: Style.textColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontNormalSize
            }
            MouseArea {
                id: rowArea
                anchors.fill: parent
                hoverEnabled: true
                cursorShape: Qt.PointingHandCursor
                onContainsMouseChanged: {
                    var picture = keyMatrixMain.mouseMain;
                    if (!picture)
                        return;
                    if (containsMouse)
                        picture.selectKey = row.index;
                    else if (!keyMatrixMain.dialogOpen())
                        picture.selectKey = -1;
                }
                onClicked: keyMatrixMain.openKeyAssigment(row.index, false)
            }
        }
    }
}
