pragma ComponentBehavior: Bound
import QtQuick
import ".."
import "../basic/util.js" as U
import "lightMath.js" as LM

// Lighting panel: effect, its speed and brightness, and the stage colours.
// Changes wait for the window's Save. All eight colours travel to the
// mouse even though only some are shown, so hidden ones are never lost.
Rectangle {
    id: lightControlMain

    property var lightControlLang: ["Light", "Static", "Breath", "Neon", "OFF", "Speed", "Color",
        "Brightness", "Twinkling", "Wave", "Gliding", "Finger Moving", "Vertical Flipping", "YO-YO",
        "Spotlight", "Breath Loop", "", "", "", ""]
    property bool isSave: false
    property alias lightModel: lightModel
    readonly property SliderButton speedSlider: speedRow.slider
    readonly property SliderButton brightSlider: brightRow.slider
    property alias rBox: rBox
    property alias gBox: gBox
    property alias bBox: bBox
    property var blockColors: ["#ff0000", "#00ff00", "#0000ff", "#ff00ff", "#00ffff", "#ff7f00",
        "#6000ff", "#ffffff"]
    property int selectedBlock: 0
    property bool speedShown: false
    property bool brightShown: true
    readonly property int effect: lightModel.currentSelect
    readonly property bool colorMasked: !LM.colorEditable(effect)
    readonly property int rowsShown: (speedShown ? 1 : 0) + (brightShown ? 1 : 0)
    // The DPI panel's stage count sets how many colours the device takes;
    // the device flags come from the window.
    property DpiSetting dpiSettingMain: null
    readonly property int stageCount: dpiSettingMain ? dpiSettingMain.dpiCount : 4
    property bool isPownOn: false
    property bool isColorful: false
    property bool is55328: false

    width: 232
    height: rowsShown === 2 ? 264 : (rowsShown === 1 ? 224 : 176)
    color: Style.colorBlack

    function lang(i) {
        return lightControlLang[i] || "";
    }

    // ---- operations the window calls ----

    function init(isSendData, isRecovery) {
        for (var i = 0; i < 4; ++i)
            setEffectText(i, lang(i + 1));
        if (!isSendData && !isRecovery && !lightControlMain.isPownOn)
            buildExtraEffects();

        var lv = U.toList(Native.view.getDataList("mouse/lightValue", isRecovery));
        var e = U.toInt(lv[0], effect);
        if (e < 0 || e >= effectModel.count)
            e = effect >= 0 && effect < effectModel.count ? effect : 0;
        lightModel.currentSelect = e;
        speedSlider.setIndexValue(U.clamp(U.toInt(lv[1], speedSlider.segmentValue), 0, 4), false);
        brightSlider.setIndexValue(U.clamp(U.toInt(lv[2], brightSlider.segmentValue), 0, 4), false);
        showRows(e);

        var cv = U.toList(Native.view.getDataList("mouse/colorValue", isRecovery));
        var colors = blockColors.slice();
        for (let b = 0; b < 8; ++b) {
            var old = LM.parseColor(colors[b]) || [0, 0, 0];
            var rgb = [];
            for (let k = 0; k < 3; ++k)
                rgb.push(U.clamp(U.toInt(cv[3 * b + k], old[k]), 0, 255));
            colors[b] = LM.colorText(rgb[0], rgb[1], rgb[2]);
        }
        blockColors = colors;
        for (var m = 0; m < 8; ++m)
            placeMarker(m, colors[m]);
        selectBlock(0);
        if (isSendData)
            saveData(true, 0);
    }

    function saveData(isSendData, step) {
        var value = [effect, speedSlider.segmentValue, brightSlider.segmentValue];
        if (step === 0 || step === 1)
            Native.view.setDataList("mouse/lightValue", value);
        var colors = colorNumbers();
        if (lightControlMain.is55328 && effect !== 4) {
            colors[21] = 0;
            colors[22] = 0;
            colors[23] = 0;
        }
        if (step === 0 || step === 2)
            Native.view.setDataList("mouse/colorValue", colors);
        if (!isSendData)
            return;
        if (step === 0 || step === 1)
            Native.view.mouseSetRGBEffect(value[0], value[1], value[2]);
        if (step === 0 || step === 2)
            Native.view.mouseSetRGBColor(lightControlMain.isColorful ? 0 : 1, colors);
    }

    function lightControlFocus() {
        lightModel.closeMenu();
        rBox.closeFocus();
        gBox.closeFocus();
        bBox.closeFocus();
    }

    // ---- effects ----

    function setEffectText(i, text) {
        if (i < effectModel.count)
            effectModel.setProperty(i, "textValue", text);
        else
            effectModel.append({ textValue: text });
    }

    // Rebuilt rather than appended, so a second first-time load cannot
    // list an effect twice.
    function buildExtraEffects() {
        while (effectModel.count > 4)
            effectModel.remove(effectModel.count - 1);
        if (lightControlMain.isColorful)
            for (var i = 8; i <= 14; ++i)
                effectModel.append({ textValue: lang(i) });
        if (lightControlMain.is55328)
            effectModel.append({ textValue: lang(15) });
    }

    function showRows(e) {
        var rows = LM.effectRows(e, lightControlMain.is55328);
        speedShown = rows.speed;
        brightShown = rows.bright;
        return rows;
    }

    function chooseEffect(e) {
        lightModel.currentSelect = e;
        var rows = showRows(e);
        if (rows.speedDefault >= 0)
            speedSlider.setIndexValue(rows.speedDefault, false);
        if (rows.brightDefault >= 0)
            brightSlider.setIndexValue(rows.brightDefault, false);
        selectedBlock = 0;
        isSave = true;
    }

    function restore() {
        init(false, true);
        isSave = true;
    }

    // ---- colours ----

    function colorNumbers() {
        var out = [];
        for (let i = 0; i < 8; ++i) {
            var rgb = LM.parseColor(blockColors[i]) || [0, 0, 0];
            out.push(rgb[0], rgb[1], rgb[2]);
        }
        return out;
    }

    function setBlockColor(i, text) {
        var colors = blockColors.slice();
        colors[i] = text;
        blockColors = colors;
    }

    function markerAt(i) {
        return markers.itemAt(i);
    }

    // The marker takes the colour as given, even where the bar shows
    // another one: a typed colour must reach the mouse exactly.
    function placeMarker(i, text) {
        var rgb = LM.parseColor(text) || [0, 0, 0];
        var marker = markerAt(i);
        marker.markerColor = text;
        marker.x = LM.markerPos(rgb[0], rgb[1], rgb[2]) - 8;
    }

    function showInBoxes(text) {
        var rgb = LM.parseColor(text) || [0, 0, 0];
        rBox.textValue = String(rgb[0]);
        gBox.textValue = String(rgb[1]);
        bBox.textValue = String(rgb[2]);
    }

    function applyColor(i, text) {
        setBlockColor(i, text);
        placeMarker(i, text);
        showInBoxes(text);
    }

    function selectBlock(i) {
        selectedBlock = i;
        applyColor(i, blockColors[i]);
    }

    function boxesEdited() {
        var r = U.clamp(U.toInt(rBox.textValue, 0), 0, 255);
        var g = U.clamp(U.toInt(gBox.textValue, 0), 0, 255);
        var b = U.clamp(U.toInt(bBox.textValue, 0), 0, 255);
        applyColor(selectedBlock, LM.colorText(r, g, b));
        isSave = true;
    }

    function markerMoved(i) {
        var marker = markerAt(i);
        var rgb = LM.hueColor(marker.x + 8);
        var text = LM.colorText(rgb[0], rgb[1], rgb[2]);
        marker.markerColor = text;
        setBlockColor(i, text);
        showInBoxes(text);
    }

    function markerPressed(i) {
        var text = String(markerAt(i).markerColor);
        setBlockColor(i, text);
        showInBoxes(text);
    }

    ListModel {
        id: effectModel
        ListElement { textValue: "Static" }
        ListElement { textValue: "Breath" }
        ListElement { textValue: "Neon" }
        ListElement { textValue: "OFF" }
    }

    // ---- top row ----

    Text {
        x: 8
        y: 12
        text: lightControlMain.lang(0)
        color: Style.textColor
        font.family: Style.fontFamily
        font.pixelSize: Style.fontMiddleSize
        font.bold: true
    }
    ImageButton {
        id: restoreButton
        objectName: "lightRestore"
        anchors.right: parent.right
        anchors.rightMargin: 8
        y: 12
        source: Style.image("index", "back")
        hoverSource: Style.image("index", "backH")
        onClicked: lightControlMain.restore()
    }

    // ---- speed and brightness ----

    component StepRow: Item {
        id: row
        property string title
        property alias slider: stepSlider
        signal stepped
        width: 232
        height: 42
        Text {
            id: rowLabel
            x: 24
            text: row.title
            color: Style.textColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormalSize
        }
        SliderButton {
            id: stepSlider
            x: 32
            y: rowLabel.height + 8
            width: 96
            segment: 4
            isScale: true
            onValueChangeDelay: row.stepped()
        }
        Image {
            x: stepSlider.x
            y: stepSlider.y + stepSlider.height
            source: Style.image("lightControl", "speedScale")
        }
        Rectangle {
            x: stepSlider.x + stepSlider.width + 16
            anchors.verticalCenter: stepSlider.verticalCenter
            width: 48
            height: 16
            color: Style.colorBlue
            enabled: false
            Text {
                objectName: "percent"
                anchors.centerIn: parent
                text: LM.percentText(stepSlider.segmentValue)
                color: Style.textColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontMinSize
            }
        }
    }

    Column {
        id: rowsColumn
        objectName: "rowsColumn"
        x: 0
        y: 40
        spacing: 8
        StepRow {
            id: speedRow
            objectName: "speedRow"
            visible: lightControlMain.speedShown
            title: lightControlMain.lang(5)
            onStepped: lightControlMain.isSave = true
        }
        StepRow {
            id: brightRow
            objectName: "brightRow"
            visible: lightControlMain.brightShown
            title: lightControlMain.lang(7)
            onStepped: lightControlMain.isSave = true
        }
    }

    // ---- colours ----

    Item {
        id: colorSection
        y: rowsColumn.y + (lightControlMain.rowsShown > 0 ? rowsColumn.height : 0) + 15
        width: parent.width
        height: 121

        Rectangle {
            x: 24
            width: parent.width - 48
            height: 1
            color: Style.colorGray0
        }
        Text {
            id: colorLabel
            x: 24
            y: 12
            text: lightControlMain.lang(6)
            color: Style.textColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormalSize
        }
        Row {
            id: blockRow
            anchors.left: colorLabel.right
            anchors.leftMargin: 16
            anchors.verticalCenter: colorLabel.verticalCenter
            spacing: 8
            Repeater {
                id: blocks
                model: 8
                delegate: Rectangle {
                    id: block
                    required property int index
                    objectName: "colorBlock" + index
                    width: 14
                    height: 14
                    visible: LM.blockShown(index, lightControlMain.effect, lightControlMain.stageCount,
                                           lightControlMain.isColorful, lightControlMain.is55328)
                    color: lightControlMain.blockColors[index]
                    border.width: 1
                    border.color: index === lightControlMain.selectedBlock || blockArea.containsMouse
                                  ? "#ffffff" : "transparent"
                    MouseArea {
                        id: blockArea
                        anchors.fill: parent
                        hoverEnabled: true
                        onClicked: lightControlMain.selectBlock(block.index)
                    }
                }
            }
        }

        Image {
            id: hueBar
            objectName: "hueBar"
            x: 24
            y: colorLabel.y + 36
            width: 185
            height: 24
            source: Style.image("lightControl", "colorBar")

            Repeater {
                id: markers
                model: 8
                delegate: Item {
                    id: marker
                    required property int index
                    property color markerColor: "#ff0000"
                    objectName: "marker" + index
                    visible: index === lightControlMain.selectedBlock
                    x: -8
                    // the box sits just above the bar, the diamond's tip on it
                    y: -22
                    width: 17
                    height: 28
                    Rectangle {
                        anchors.horizontalCenter: parent.horizontalCenter
                        y: 12
                        width: 12
                        height: 12
                        rotation: 45
                        color: marker.markerColor
                    }
                    Rectangle {
                        width: 17
                        height: 17
                        color: "#2d2d2d"
                        border.width: 1
                        border.color: marker.markerColor
                        Text {
                            anchors.centerIn: parent
                            text: String(marker.index + 1)
                            color: Style.textColor
                            font.family: Style.fontFamily
                            font.pixelSize: Style.fontMinSize
                        }
                    }
                    MouseArea {
                        // Follows the pointer by its offset from the press,
                        // in the bar's coordinates (this area moves along).
                        property real pressX: 0
                        property real markerStart: 0
                        anchors.fill: parent
                        preventStealing: true
                        onPressed: function (mouse) {
                            pressX = mapToItem(hueBar, mouse.x, 0).x;
                            markerStart = marker.x;
                            lightControlMain.markerPressed(marker.index);
                        }
                        onPositionChanged: function (mouse) {
                            if (!pressed)
                                return;
                            var x = markerStart + mapToItem(hueBar, mouse.x, 0).x - pressX;
                            marker.x = Math.max(-8, Math.min(hueBar.width - 10, x));
                            lightControlMain.markerMoved(marker.index);
                        }
                        onReleased: lightControlMain.isSave = true
                    }
                }
            }
        }

        component ChannelLabel: Text {
            anchors.verticalCenter: parent.verticalCenter
            color: Style.textColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormalSize
        }
        component ChannelBox: RectInput {
            width: 32
            height: 16
            color: Style.colorBlue
            minValue: 0
            maxValue: 255
            onEndInputSignal: lightControlMain.boxesEdited()
        }
        Row {
            x: 24
            y: hueBar.y + hueBar.height + 8
            spacing: 4
            ChannelLabel { text: "R" }
            ChannelBox { id: rBox; objectName: "rBox" }
            Item { width: 8; height: 1 }
            ChannelLabel { text: "G" }
            ChannelBox { id: gBox; objectName: "gBox" }
            Item { width: 8; height: 1 }
            ChannelLabel { text: "B" }
            ChannelBox { id: bBox; objectName: "bBox" }
        }

        Rectangle {
            id: colorMask
            objectName: "colorMask"
            y: colorLabel.y
            width: parent.width
            height: 101
            color: "#B0000000"
            visible: lightControlMain.colorMasked
            MouseArea {
                anchors.fill: parent
                hoverEnabled: true
                acceptedButtons: Qt.AllButtons
                onWheel: function (wheel) { wheel.accepted = true; }
            }
        }
    }

    DropDownList {
        id: lightModel
        objectName: "lightModel"
        anchors.right: restoreButton.left
        anchors.rightMargin: 8
        y: 8
        width: 120
        mdItems: effectModel
        currentSelect: 0
        onValueChange: function (index) { lightControlMain.chooseEffect(index); }
    }
}
