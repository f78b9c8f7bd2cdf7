import QtQuick
import ".."
import "../basic/util.js" as U
import "dpiMath.js" as DM

// Report-rate row: the rate reaches the mouse as soon as it is chosen.
Rectangle {
    id: reportRateRect

    property alias reportRateList: reportRateList

    width: 232
    height: 42
    color: mainIten.colorBlack

    function init(isSendData) {
        var index = U.toInt(ui_View.getData("mouse/reportRate", false), 3);
        // An unknown stored choice is shown as the rate it is sent as.
        if (index < 0 || index > 3)
            index = 3;
        reportRateList.currentSelect = index;
        reportRateList.closeMenu();
        if (isSendData)
            ui_View.mouseSetReportRate(DM.rateCode(index));
    }

    function chooseRate(index) {
        ui_View.setData("mouse/reportRate", index);
        ui_View.mouseSetReportRate(DM.rateCode(index));
    }

    function closeMenu() {
        reportRateList.closeMenu();
    }

    // The open list hangs below the row, over the blocks that follow it in
    // the column; lift the slot holding this row above them meanwhile.
    Binding {
        target: reportRateRect.parent ? reportRateRect.parent.parent : null
        property: "z"
        value: 1
        when: reportRateList.isDrop
    }

    Text {
        x: 8
        anchors.verticalCenter: parent.verticalCenter
        text: mainIten.mainLang[3] || ""
        color: mainIten.textColor
        font.family: mainIten.fontFamily
        font.pixelSize: mainIten.fontMiddleSize
    }

    DropDownList {
        id: reportRateList
        objectName: "reportRateList"
        anchors.right: parent.right
        anchors.rightMargin: 8
        anchors.verticalCenter: parent.verticalCenter
        width: 120
        mdItems: DM.RATE_NAMES
        currentSelect: 3
        onValueChange: function (index) { reportRateRect.chooseRate(index); }
    }
}
