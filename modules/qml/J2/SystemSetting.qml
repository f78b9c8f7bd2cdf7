pragma ComponentBehavior: Bound
import QtQuick
import ".."
import "../basic/util.js" as U
import "dpiMath.js" as DM

// Pointer dialog: pointer speed, double-click speed and wheel lines. Each
// change is stored and applied at once; the sliders store their knob
// position, the system gets the speed step under it.
Rectangle {
    id: systemSettingMain

    property var systemSettingLang: ["System Setting", "Mouse Speed", "Double Click Speed", "Slow",
        "Fast", "Scroll Speed", "Number of Rows", "Scroll one Screen", "", "", "", "", "", "", ""]
    signal closed
    // An input box took the focus: the window closes its open drop-downs.
    signal focusRequested

    readonly property bool scrollScreen: screenOption.isSelect
    readonly property SliderButton mouseSpeedSlider: mouseSpeedBlock.slider
    readonly property SliderButton doubleSpeedSlider: doubleSpeedBlock.slider
    property alias scrollLinesBox: scrollLinesBox
    property alias rowsOption: rowsOption
    property alias screenOption: screenOption

    width: 416
    height: 312
    color: Style.colorGray0

    function lang(i) {
        return systemSettingLang[i] || "";
    }

    function init(isSendData, isRecovery) {
        var mouseRate = U.toInt(Native.view.getData("mouse/mouseRate", isRecovery), -1);
        var doubleRate = U.toInt(Native.view.getData("mouse/doubleRate", isRecovery), -1);
        if (mouseRate >= 0)
            mouseSpeedSlider.setValue(mouseRate);
        if (doubleRate >= 0)
            doubleSpeedSlider.setValue(doubleRate);
        var lines = U.toInt(Native.view.getData("mouse/scrollRate", isRecovery), -1);
        if (lines > 100) {
            selectScroll(true);
        } else {
            selectScroll(false);
            if (lines >= 1)
                scrollLinesBox.textValue = String(lines);
        }
        if (isSendData)
            saveData(true, 0);
    }

    function knob(slider) {
        return Math.round(slider.position);
    }

    function scrollValue() {
        if (screenOption.isSelect)
            return 1000;
        var n = U.toInt(scrollLinesBox.textValue, 3);
        return n >= 1 ? Math.min(n, 100) : 3;
    }

    function saveData(isSendData, step) {
        var lines = scrollValue();
        Native.view.setData("mouse/mouseRate", knob(mouseSpeedSlider));
        Native.view.setData("mouse/doubleRate", knob(doubleSpeedSlider));
        Native.view.setData("mouse/scrollRate", lines);
        if (!isSendData)
            return;
        if (step === 0 || step === 1)
            Native.view.mouseSetCursorSpeed(DM.speedIndex(knob(mouseSpeedSlider)));
        if (step === 0 || step === 2)
            Native.view.mouseSetDoubleClickSpeed(DM.speedIndex(knob(doubleSpeedSlider)));
        if (step === 0 || step === 3)
            Native.view.mouseSetVerticalScrollLines(lines);
    }

    function selectScroll(oneScreen) {
        screenOption.isSelect = oneScreen;
        rowsOption.isSelect = !oneScreen;
    }

    function systemSettingFocus() {
        scrollLinesBox.closeFocus();
    }

    function endLinesInput() {
        var n = U.toInt(scrollLinesBox.textValue, 0);
        if (scrollLinesBox.textValue === "" || n < 1)
            scrollLinesBox.textValue = "3";
        saveData(true, 3);
    }

    DialogDrag {
        onPressed: systemSettingMain.systemSettingFocus()
    }

    Rectangle {
        id: titleStrip
        width: parent.width
        height: 40
        color: Style.colorBlack
        Text {
            x: 16
            anchors.verticalCenter: parent.verticalCenter
            text: systemSettingMain.lang(0)
            color: Style.textColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontMiddleSize
            font.bold: true
        }
        ImageButton {
            id: closeButton
            objectName: "systemClose"
            anchors.right: parent.right
            anchors.rightMargin: 16
            anchors.verticalCenter: parent.verticalCenter
            source: Style.image("index", "closeBtn")
            hoverSource: Style.image("index", "closeBtnH")
            onClicked: {
                systemSettingMain.visible = false;
                systemSettingMain.closed();
            }
        }
        ImageButton {
            id: restoreButton
            objectName: "systemRestore"
            anchors.right: closeButton.left
            anchors.rightMargin: 8
            anchors.verticalCenter: parent.verticalCenter
            source: Style.image("index", "back")
            hoverSource: Style.image("index", "backH")
            onClicked: systemSettingMain.init(true, true)
        }
    }
    Rectangle {
        y: 40
        width: parent.width
        height: 1
        color: Style.colorOrange
    }

    component SpeedBlock: Item {
        id: block
        property string title
        property alias slider: blockSlider
        signal settled
        width: 384
        height: 64
        Text {
            text: block.title
            color: Style.textColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormalSize
        }
        SliderButton {
            id: blockSlider
            x: (block.width - width) / 2
            y: 24
            width: 352
            segment: 10
            onValueChangeDelay: block.settled()
        }
        Text {
            x: blockSlider.x
            y: 42
            text: systemSettingMain.lang(3)
            color: Style.colorGray2
            font.family: Style.fontFamily
            font.pixelSize: Style.fontMinSize
        }
        Text {
            x: blockSlider.x + blockSlider.width - width
            y: 42
            text: systemSettingMain.lang(4)
            color: Style.colorGray2
            font.family: Style.fontFamily
            font.pixelSize: Style.fontMinSize
        }
    }

    SpeedBlock {
        id: mouseSpeedBlock
        x: 16
        y: 52
        title: systemSettingMain.lang(1)
        onSettled: systemSettingMain.saveData(true, 1)
    }
    Rectangle {
        x: 16
        y: 124
        width: 384
        height: 1
        color: Style.colorBlack
    }
    SpeedBlock {
        id: doubleSpeedBlock
        x: 16
        y: 136
        title: systemSettingMain.lang(2)
        onSettled: systemSettingMain.saveData(true, 2)
    }
    Rectangle {
        x: 16
        y: 208
        width: 384
        height: 1
        color: Style.colorBlack
    }

    Text {
        x: 16
        y: 220
        text: systemSettingMain.lang(5)
        color: Style.textColor
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormalSize
    }
    RadioButton {
        id: rowsOption
        objectName: "rowsOption"
        x: 16
        y: 248
        gapValue: 8
        textValue: systemSettingMain.lang(6)
        isSelect: true
        onBtnClick: {
            systemSettingMain.selectScroll(false);
            systemSettingMain.saveData(true, 3);
        }
    }
    RectInput {
        id: scrollLinesBox
        objectName: "scrollLinesBox"
        anchors.left: rowsOption.right
        anchors.leftMargin: 12
        anchors.verticalCenter: rowsOption.verticalCenter
        width: 32
        height: 16
        color: Style.colorBlue
        minValue: 1
        maxValue: 100
        textValue: "3"
        Component.onCompleted: input.maximumLength = 3
        onInputSignal: systemSettingMain.focusRequested()
        onEndInputSignal: systemSettingMain.endLinesInput()
    }
    RadioButton {
        id: screenOption
        objectName: "screenOption"
        x: 16
        y: 276
        gapValue: 8
        textValue: systemSettingMain.lang(7)
        onBtnClick: {
            systemSettingMain.selectScroll(true);
            systemSettingMain.saveData(true, 3);
        }
    }
}
