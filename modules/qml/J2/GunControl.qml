pragma ComponentBehavior: Bound
import QtQuick
import ".."
import "../basic/util.js" as U

// The gun editor dialog: six presets (recoil Y, firing interval, shots) and
// the preset each of the three gun slots uses. Preset edits are stored at
// once; the mouse only hears about them when the dialog closes, in one go:
// the three slots' shots/X/Y, then the key matrix, which carries the slots'
// firing intervals.
Rectangle {
    id: gunControlMain

    // The panel, sent again with the slots' fire intervals on close.
    property KeyMatrix keyMatrixMain: null
    signal closed

    property var gunControlLang: ["Gun editor", "Gun", "Select gun", "Cursor Adjust", "X Axis",
        "Y axis", "Fire adjust", "Rate", "Times", "Endness"]

    // Positions in gunNumberModel of the presets used by gun slots 1 to 3.
    property int selectGun1: 0
    property int selectGun2: 0
    property int selectGun3: 0
    property int currentRow: 0
    // What the slot drop-down lists.
    property var slotItems: [{ textValue: "Gun1" }, { textValue: "Gun2" }, { textValue: "Gun3" }]
    // Something changed since the dialog last sent to the mouse.
    property bool isSave: false

    // Red dot travel inside the target picture, and the Y range it maps to.
    readonly property real dotTop: 89
    readonly property real dotTravel: 94
    readonly property int maxY: 64
    readonly property int minPeriod: 4
    readonly property int maxPeriod: 90

    property alias gunNumberModel: gunNumberModel

    // The controls and the pictures are made when the dialog first shows and
    // kept from then on; until then the presets, the slots and the functions
    // here are all there is of it.
    property Body body: null

    function ui(): Body {
        if (body === null) {
            var made = bodyComponent.createObject(gunControlMain);
            body = made;
            showPreset(currentRow);
        }
        return body;
    }

    onVisibleChanged: {
        if (visible)
            ui();
    }

    width: 640
    height: 448
    color: Style.colorGray0

    function lang(i) {
        var l = gunControlLang;
        return l && i < l.length && l[i] !== undefined && l[i] !== null ? String(l[i]) : "";
    }

    // ---- conversions ----

    function yFromDot(dotY) {
        var v = Math.floor((dotY - dotTop) / dotTravel * maxY);
        return U.clamp(v, 0, maxY);
    }
    function dotFromY(y) {
        return dotTravel * U.clamp(U.toInt(y, 0), 0, maxY) / maxY + dotTop;
    }
    function rateText(position) {
        return Math.floor(position + 1) + "MS";
    }
    function rateFromText(text) {
        return U.toInt(String(text).replace(/ms$/i, ""), -1);
    }
    function knobForRate(p) {
        var v = U.clamp(U.toInt(p, 10), minPeriod, maxPeriod);
        return Math.floor(86 * (v - 5) / 86) + 4;
    }

    // A stored field that is missing or out of its range falls back to the
    // built-in value instead of reaching the mouse as garbage.
    function numberField(v, lo, hi, fallback) {
        var n = Number(U.toText(v, ""));
        if (U.toText(v, "") === "" || isNaN(n) || n !== Math.floor(n) || n < lo || n > hi)
            return fallback;
        return String(n);
    }

    function slotsList() {
        return [selectGun1, selectGun2, selectGun3];
    }
    function slotPreset(slot) {
        return slot === 1 ? selectGun1 : (slot === 2 ? selectGun2 : selectGun3);
    }
    function setSlotPreset(slot, row) {
        if (slot === 1)
            selectGun1 = row;
        else if (slot === 2)
            selectGun2 = row;
        else if (slot === 3)
            selectGun3 = row;
    }

    // ---- start-up and reset ----

    function init() {
        var slotsModel = [];
        for (let k = 1; k <= 3; ++k)
            slotsModel.push({ textValue: lang(1) + k });
        slotItems = slotsModel;
        if (body)
            body.gunSelect.currentSelect = 0;

        for (var i = 0; i < gunNumberModel.count; ++i) {
            var stored = U.toList(Native.view.getGunData(i));
            if (stored.length < 6)
                continue;
            var row = gunNumberModel.get(i);
            gunNumberModel.set(i, {
                gunName: U.toText(stored[0], "") !== "" ? String(stored[0]) : row.gunName,
                gunKey: U.toText(stored[1], "") !== "" ? String(stored[1]) : row.gunKey,
                gunPeriod: numberField(stored[2], minPeriod, maxPeriod, row.gunPeriod),
                gunX: numberField(stored[3], 0, maxY, row.gunX),
                gunY: numberField(stored[4], 0, maxY, row.gunY),
                gunTimes: numberField(stored[5], 0, 255, row.gunTimes)
            });
        }

        var sel = U.toList(Native.view.getGlobalData("mouse/selectGun"));
        for (var s = 0; s < 3; ++s) {
            var p = U.toInt(s < sel.length ? sel[s] : 0, 0);
            setSlotPreset(s + 1, p >= 0 && p < gunNumberModel.count ? p : 0);
        }
        currentRow = selectGun1;
        isSave = false;
        showPreset(currentRow);
    }

    function resetData() {
        selectGun1 = 0;
        selectGun2 = 1;
        selectGun3 = 2;
        Native.view.setGlobalData("mouse/selectGun", [0, 1, 2]);
        var ys = ["5", "7", "8"];
        for (var i = 0; i < 3; ++i) {
            gunNumberModel.setProperty(i, "gunY", ys[i]);
            gunNumberModel.setProperty(i, "gunPeriod", "9");
            savePreset(i);
        }
        // The firing intervals travel with the key matrix, which the reset
        // sent before the presets changed: send it again with the new ones.
        sendAll();
        isSave = false;
        if (body)
            body.gunSelect.currentSelect = 0;
        currentRow = 0;
        showPreset(0);
    }

    // ---- showing and storing ----

    // Until the controls are made there is nothing to show; they show the
    // current preset when they are.
    function showPreset(row) {
        if (!body || row < 0 || row >= gunNumberModel.count)
            return;
        var g = gunNumberModel.get(row);
        body.yBox.textValue = g.gunY;
        body.redDot.y = dotFromY(g.gunY);
        body.rateSlider.slider.setValue(knobForRate(g.gunPeriod));
        body.rateSlider.textValue = rateText(knobForRate(g.gunPeriod));
        body.timesBox.textValue = g.gunTimes;
        body.endlessBox.isSelect = g.gunTimes === "0";
    }

    function savePreset(row) {
        var g = gunNumberModel.get(row);
        Native.view.mouseSaveGundata(row, [g.gunName, g.gunKey, g.gunPeriod, g.gunX, g.gunY, g.gunTimes]);
    }

    function storeCurrent(field, value) {
        gunNumberModel.setProperty(currentRow, field, String(value));
        savePreset(currentRow);
        isSave = true;
    }

    function sendSlot(slot) {
        var g = gunNumberModel.get(slotPreset(slot));
        Native.view.mouseSendGundata(slot, [U.toInt(g.gunTimes, 0), U.toInt(g.gunX, 0), U.toInt(g.gunY, 0)]);
    }

    // ---- user actions ----

    function choosePreset(row) {
        if (row < 0 || row >= gunNumberModel.count)
            return;
        gunControlFocus();
        currentRow = row;
        setSlotPreset(ui().gunSelect.currentSelect + 1, row);
        Native.view.setGlobalData("mouse/selectGun", slotsList());
        isSave = true;
        showPreset(row);
    }

    function chooseSlot(index) {
        if (index < 0 || index > 2)
            return;
        currentRow = slotPreset(index + 1);
        showPreset(currentRow);
    }

    function dotReleased() {
        var b = ui();
        b.yBox.textValue = String(yFromDot(b.redDot.y));
        storeCurrent("gunY", b.yBox.textValue);
    }

    function yEntered() {
        var b = ui();
        var y = U.clamp(U.toInt(b.yBox.textValue, 0), 0, maxY);
        b.yBox.textValue = String(y);
        b.redDot.y = dotFromY(y);
        storeCurrent("gunY", y);
    }

    function rateDragEnded() {
        var p = rateFromText(ui().rateSlider.textValue);
        if (p < minPeriod || p > maxPeriod)
            return;
        storeCurrent("gunPeriod", p);
    }

    function timesEntered() {
        var b = ui();
        var t = U.clamp(U.toInt(b.timesBox.textValue, 0), 0, 255);
        b.timesBox.textValue = String(t);
        b.endlessBox.isSelect = t === 0;
        storeCurrent("gunTimes", t);
    }

    // Called before the check box toggles, with the state the user saw.
    function endlessClicked(wasChecked) {
        if (wasChecked)
            return;
        ui().timesBox.textValue = "0";
        storeCurrent("gunTimes", 0);
    }

    function sendAll() {
        for (var k = 1; k <= 3; ++k)
            sendSlot(k);
        if (keyMatrixMain)
            keyMatrixMain.modKeys.saveData();
    }

    // A box still being edited is committed first, so what the user typed
    // last goes out with this close rather than the next one.
    function closeDialog() {
        gunControlFocus();
        gunControlMain.visible = false;
        gunControlMain.closed();
        if (isSave) {
            isSave = false;
            sendAll();
        }
    }

    function gunControlFocus() {
        if (!body)
            return;
        body.gunSelect.closeMenu();
        body.rateSlider.closeMenu();
        body.yBox.closeFocus();
        body.xBox.closeFocus();
        body.timesBox.closeFocus();
    }

    ListModel {
        id: gunNumberModel
        ListElement { gunName: "M416"; gunImage: "qrc:/gun/modules/img/skin1/gun/M416.png"; gunKey: "L-Click"; gunPeriod: "10"; gunX: "0"; gunY: "10"; gunTimes: "0" }
        ListElement { gunName: "AKM"; gunImage: "qrc:/gun/modules/img/skin1/gun/AKM.png"; gunKey: "L-Click"; gunPeriod: "10"; gunX: "0"; gunY: "10"; gunTimes: "0" }
        ListElement { gunName: "M16A4"; gunImage: "qrc:/gun/modules/img/skin1/gun/M16A4.png"; gunKey: "L-Click"; gunPeriod: "10"; gunX: "0"; gunY: "10"; gunTimes: "0" }
        ListElement { gunName: "SCAR-L"; gunImage: "qrc:/gun/modules/img/skin1/gun/SCAR-L.png"; gunKey: "L-Click"; gunPeriod: "10"; gunX: "0"; gunY: "10"; gunTimes: "0" }
        ListElement { gunName: "UNP9"; gunImage: "qrc:/gun/modules/img/skin1/gun/UNP9.png"; gunKey: "L-Click"; gunPeriod: "10"; gunX: "0"; gunY: "10"; gunTimes: "0" }
        ListElement { gunName: "Thomson"; gunImage: "qrc:/gun/modules/img/skin1/gun/Thomson.png"; gunKey: "L-Click"; gunPeriod: "10"; gunX: "0"; gunY: "10"; gunTimes: "0" }
    }

    // ---- layout ----

    component Body: Item {
        property alias gunSelect: gunSelect
        property alias rateSlider: rateSlider
        property alias yBox: yBox
        property alias xBox: xBox
        property alias timesBox: timesBox
        property alias endlessBox: endlessBox
        property alias redDot: redDot
        property alias gunList: gunList

        width: gunControlMain.width
        height: gunControlMain.height

        DialogDrag {
            target: gunControlMain
            onPressed: gunControlMain.gunControlFocus()
        }

        Rectangle {
            width: parent.width
            height: 40
            color: Style.colorBlack
            Text {
                x: 16
                anchors.verticalCenter: parent.verticalCenter
                text: gunControlMain.lang(0)
                color: Style.textColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontMiddleSize
                font.bold: true
            }
            ImageButton {
                objectName: "gunClose"
                anchors.right: parent.right
                anchors.rightMargin: 16
                anchors.verticalCenter: parent.verticalCenter
                source: Style.image("index", "closeBtn")
                hoverSource: Style.image("index", "closeBtnH")
                onClicked: gunControlMain.closeDialog()
            }
        }
        Rectangle {
            y: 40
            width: parent.width
            height: 1
            color: Style.colorOrange
        }

        Text {
            id: gunTitle
            x: 16
            y: 57
            text: gunControlMain.lang(1)
            color: Style.textColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormalSize
        }

        ListView {
            id: gunList
            x: 16
            y: gunTitle.y + gunTitle.height + 8
            width: 248
            height: 342
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            model: gunNumberModel
            delegate: Rectangle {
                id: gunRow
                required property int index
                required property string gunName
                required property string gunImage
                width: gunList.width
                height: 58
                color: index === gunControlMain.currentRow || gunRowArea.containsMouse ? Style.colorOrange
                                                                                        : Style.colorBlack
                Image {
                    anchors.centerIn: parent
                    source: gunRow.gunImage
                }
                Text {
                    x: 16
                    anchors.bottom: parent.bottom
                    anchors.bottomMargin: 8
                    text: gunRow.gunName
                    color: Style.textColor
                    font.family: Style.fontFamily
                    font.pixelSize: Style.fontNormalSize
                }
                Rectangle {
                    anchors.bottom: parent.bottom
                    width: parent.width
                    height: 1
                    color: "#4d4d4d"
                }
                MouseArea {
                    id: gunRowArea
                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: gunControlMain.choosePreset(gunRow.index)
                }
            }
        }

        Item {
            id: rightPane
            x: gunList.x + gunList.width + 20
            y: 57
            width: gunControlMain.width - x - 16
            height: gunControlMain.height - y

            Text {
                id: selectTitle
                y: 4
                text: gunControlMain.lang(2)
                color: Style.textColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontNormalSize
            }
            Rectangle {
                id: selectLine
                y: gunSelect.y + gunSelect.height + 12
                width: rightPane.width
                height: 1
                color: Style.colorBlack
            }

            Text {
                id: cursorTitle
                y: selectLine.y + 16
                text: gunControlMain.lang(3)
                color: Style.textColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontNormalSize
            }
            Image {
                id: target
                x: 12
                y: cursorTitle.y + cursorTitle.height + 12
                width: 190
                height: 190
                source: Style.image("gun", "target")

                Rectangle {
                    id: redDot
                    objectName: "redDot"
                    x: (target.width - width) / 2
                    y: gunControlMain.dotTop
                    width: 8
                    height: 8
                    radius: 4
                    color: "#ff0000"
                    border.width: 1
                    border.color: dotArea.containsMouse || dotArea.dragging ? "#ffffff" : "#ff0000"
                    // Follows the pointer by its offset from the press, in the
                    // picture's coordinates, so the dot never lags the pointer.
                    MouseArea {
                        id: dotArea
                        property real pressY: 0
                        property real dotStart: 0
                        property bool dragging: false
                        anchors.fill: parent
                        anchors.margins: -3
                        hoverEnabled: true
                        preventStealing: true
                        onPressed: function (mouse) {
                            gunControlMain.gunControlFocus();
                            pressY = mapToItem(target, 0, mouse.y).y;
                            dotStart = redDot.y;
                            dragging = true;
                        }
                        onPositionChanged: function (mouse) {
                            if (!dragging)
                                return;
                            var y = dotStart + mapToItem(target, 0, mouse.y).y - pressY;
                            redDot.y = U.clamp(y, gunControlMain.dotTop, gunControlMain.dotTop + gunControlMain.dotTravel);
                            yBox.textValue = String(gunControlMain.yFromDot(redDot.y));
                        }
                        onReleased: {
                            if (!dragging)
                                return;
                            dragging = false;
                            gunControlMain.dotReleased();
                        }
                        onCanceled: dragging = false
                    }
                }
            }

            Column {
                x: target.x + target.width + 16
                y: target.y + 64
                spacing: 16
                Row {
                    spacing: 8
                    Text {
                        width: 44
                        anchors.verticalCenter: parent.verticalCenter
                        text: gunControlMain.lang(4)
                        color: Style.textColor
                        font.family: Style.fontFamily
                        font.pixelSize: Style.fontNormalSize
                    }
                    RectInput {
                        id: xBox
                        objectName: "xBox"
                        enabled: false
                        color: Style.colorBlue
                        opacity: 0.6
                        maxValue: 64
                        textValue: "0"
                    }
                }
                Row {
                    spacing: 8
                    Text {
                        width: 44
                        anchors.verticalCenter: parent.verticalCenter
                        text: gunControlMain.lang(5)
                        color: Style.textColor
                        font.family: Style.fontFamily
                        font.pixelSize: Style.fontNormalSize
                    }
                    RectInput {
                        id: yBox
                        objectName: "yBox"
                        color: Style.colorBlue
                        maxValue: 64
                        onEndInputSignal: gunControlMain.yEntered()
                    }
                }
            }

            Text {
                id: fireTitle
                y: target.y + target.height + 16
                text: gunControlMain.lang(6)
                color: Style.textColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontNormalSize
            }

            Text {
                id: timesLabel
                x: 16
                y: fireTitle.y + fireTitle.height + 20 + 24 + 20
                height: 20
                verticalAlignment: Text.AlignVCenter
                text: gunControlMain.lang(8)
                color: Style.textColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontNormalSize
            }
            RectInput {
                id: timesBox
                objectName: "timesBox"
                x: 72
                y: timesLabel.y
                color: Style.colorBlue
                maxValue: 255
                onEndInputSignal: gunControlMain.timesEntered()
            }
            CheckBox {
                id: endlessBox
                objectName: "endlessBox"
                x: timesBox.x + timesBox.width + 16
                anchors.verticalCenter: timesBox.verticalCenter
                textValue: gunControlMain.lang(9)
                onBtnClick: gunControlMain.endlessClicked(isSelect)
            }

            // The rate row opens over the times row, so it comes after it.
            Text {
                id: rateLabel
                x: 16
                y: fireTitle.y + fireTitle.height + 20
                height: 24
                verticalAlignment: Text.AlignVCenter
                text: gunControlMain.lang(7)
                color: Style.textColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontNormalSize
            }
            DropDownSlider {
                id: rateSlider
                objectName: "rateSlider"
                x: 72
                y: rateLabel.y
                width: 120
                textValue: "10ms"
                onValueChange: function (position) { textValue = gunControlMain.rateText(position); }
                onDragSignal: function (isDrag) {
                    if (!isDrag)
                        gunControlMain.rateDragEnded();
                }
            }

            // Comes last so its list opens over everything below it.
            DropDownList {
                id: gunSelect
                objectName: "gunSelect"
                x: selectTitle.x + selectTitle.width + 16
                anchors.verticalCenter: selectTitle.verticalCenter
                width: 96
                currentSelect: 0
                mdItems: gunControlMain.slotItems
                onValueChange: function (index) { gunControlMain.chooseSlot(index); }
            }
        }
    }
    Component {
        id: bodyComponent
        Body {}
    }
}
