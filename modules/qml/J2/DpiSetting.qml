pragma ComponentBehavior: Bound
import QtQuick
import ".."
import "../basic/util.js" as U
import "dpiMath.js" as DM

// DPI panel: up to eight stage sliders and the number of stages in use.
// Changes wait for the window's Save; the displayed texts are what is
// stored and sent, so what the user reads is what the mouse gets.
Rectangle {
    id: dpiSettingMain

    property int dpiCount: 4
    property int currentDpiCount: 4
    property int currentDPI: 0
    property int minDPI: 200
    property int maxDPI: 6000
    property int dpiBase: 50
    property string sensorType: "3360"
    property var dpiValueArray: [500, 1000, 1500, 2000, 3000, 4000, 5000, 6000]
    property bool isSave: false
    property var dpiSettingLang: ["DPI", "", "", "", ""]
    property alias dpiSegment: dpiSegment
    readonly property int sliderGap: DM.sliderGap(currentDpiCount)
    readonly property int textGap: DM.textGap(currentDpiCount)

    width: 232
    height: 256
    color: Style.colorBlack

    // ---- operations the window calls ----

    function init(isSendData, isRecovery) {
        var count = dpiCount;
        var inUse = currentDpiCount;
        var lo = minDPI, hi = maxDPI, base = dpiBase, sensor = sensorType;
        if (!isRecovery) {
            count = U.toInt(Native.view.getData("mouse/dpiCount", false), dpiCount);
            inUse = U.toInt(Native.view.getData("mouse/currentDpiCount", false), currentDpiCount);
            lo = U.toInt(Native.view.getGlobalData("mouse/minDPI"), minDPI);
            hi = U.toInt(Native.view.getGlobalData("mouse/maxDPI"), maxDPI);
            sensor = U.toText(Native.view.getGlobalData("mouse/sensorType"), sensorType);
            base = U.toInt(Native.view.getGlobalData("mouse/dpiBase"), dpiBase);
        }
        var values = readValues(U.toList(Native.view.getDataList("mouse/dpiValueArray", isRecovery)));
        // A device table that claims more stages than the panel has (or
        // none) is not one this panel can show: keep what is on screen.
        if (count < 1 || count > 8)
            return;
        dpiCount = count;
        if (hi > lo) {
            minDPI = lo;
            maxDPI = hi;
        }
        dpiBase = base > 0 ? base : dpiBase;
        sensorType = sensor;
        dpiValueArray = values;
        if (!isRecovery) {
            currentDpiCount = U.clamp(inUse, 1, dpiCount);
            fillSegmentList(dpiCount);
            dpiSegment.currentSelect = currentDpiCount - 1;
            dpiSegment.closeMenu();
        }
        for (var i = 0; i < 8; ++i)
            placeKnob(i, values[i]);
        if (isSendData)
            saveData(true);
    }

    function saveData(isSendData) {
        var values = stageTexts();
        Native.view.setDataList("mouse/dpiValueArray", values);
        Native.view.setData("mouse/currentDpiCount", currentDpiCount);
        if (isSendData)
            Native.view.mouseSetDpi(currentDpiCount, sensorType, values);
    }

    // ---- helpers ----

    // Eight numbers from the stored list; a missing or unreadable entry
    // keeps the value the panel already has for that stage.
    function readValues(list) {
        var out = [];
        for (var i = 0; i < 8; ++i) {
            var fallback = U.toInt(dpiValueArray[i], minDPI);
            out.push(i < list.length ? U.toInt(list[i], fallback) : fallback);
        }
        return out;
    }

    function stageAt(i) {
        return stages.itemAt(i) as DpiSlider;
    }

    function stageTexts() {
        var out = [];
        for (let i = 0; i < 8; ++i)
            out.push(stageAt(i).textValue);
        return out;
    }

    function placeKnob(i, value) {
        var p = DM.knobOfDpi(value, minDPI, maxDPI);
        var stage = stageAt(i);
        stage.setPosition(p);
        stage.textValue = String(DM.loadedDpi(value, p, minDPI, maxDPI, dpiBase));
    }

    function fillSegmentList(n) {
        segmentModel.clear();
        for (var i = 1; i <= n; ++i)
            segmentModel.append({ textValue: String(i) });
    }

    function chooseStageCount(index) {
        currentDpiCount = U.clamp(index + 1, 1, dpiCount);
        isSave = true;
    }

    function restore() {
        init(false, true);
        isSave = true;
    }

    ListModel {
        id: segmentModel
        Component.onCompleted: dpiSettingMain.fillSegmentList(dpiSettingMain.dpiCount)
    }

    Text {
        x: 8
        y: 12
        text: dpiSettingMain.dpiSettingLang[0] || ""
        color: Style.textColor
        font.family: Style.fontFamily
        font.pixelSize: Style.fontMiddleSize
        font.bold: true
    }

    ImageButton {
        id: restoreButton
        objectName: "dpiRestore"
        anchors.right: parent.right
        anchors.rightMargin: 8
        y: 12
        source: Style.image("index", "back")
        hoverSource: Style.image("index", "backH")
        onClicked: dpiSettingMain.restore()
    }

    // Stage sliders: only the stages in use show, centred as a group; the
    // group's middle stays at the same height whatever the count.
    Item {
        id: sliderRow
        y: 131 - 88
        width: parent.width
        height: 176
        Repeater {
            id: stages
            model: 8
            delegate: DpiSlider {
                id: stage
                required property int index
                property string textValue: "2000"
                objectName: "dpiSlider" + index
                visible: index < dpiSettingMain.currentDpiCount
                x: DM.rowStart(sliderRow.width, dpiSettingMain.currentDpiCount, width,
                               dpiSettingMain.sliderGap) + index * (width + dpiSettingMain.sliderGap)
                colorS: index === dpiSettingMain.currentDPI ? Style.colorOrange : Style.colorBlue
                onMoved: function (p) {
                    textValue = String(DM.dpiOfKnob(p, dpiSettingMain.minDPI, dpiSettingMain.maxDPI,
                                                    dpiSettingMain.dpiBase));
                }
                onSettled: function (p) {
                    textValue = String(DM.dpiOfKnob(p, dpiSettingMain.minDPI, dpiSettingMain.maxDPI,
                                                    dpiSettingMain.dpiBase));
                    dpiSettingMain.isSave = true;
                }
            }
        }
    }

    Item {
        id: textRow
        y: parent.height - 16 - 14
        width: parent.width
        height: 14
        Repeater {
            model: 8
            delegate: Text {
                required property int index
                objectName: "dpiText" + index
                visible: index < dpiSettingMain.currentDpiCount
                x: DM.rowStart(textRow.width, dpiSettingMain.currentDpiCount, 24,
                               dpiSettingMain.textGap) + index * (24 + dpiSettingMain.textGap)
                width: 24
                horizontalAlignment: Text.AlignHCenter
                text: stages.count > index ? dpiSettingMain.stageAt(index).textValue : ""
                color: Style.textColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontMinSize
            }
        }
    }

    DropDownList {
        id: dpiSegment
        objectName: "dpiSegment"
        anchors.right: restoreButton.left
        anchors.rightMargin: 16
        y: 8
        width: 64
        horizontalOffset: -8
        mdItems: segmentModel
        currentSelect: dpiSettingMain.currentDpiCount - 1
        onValueChange: function (index) { dpiSettingMain.chooseStageCount(index); }
    }
}
