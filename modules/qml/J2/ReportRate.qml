import QtQuick
import ".."
import "../basic/util.js" as U
import "dpiMath.js" as DM

// Report-rate row: the rate reaches the mouse as soon as it is chosen.
Rectangle {
    id: reportRateRect

    property alias reportRateList: reportRateList
    property string title

    width: 232
    height: 42
    color: Style.colorBlack

    function init(isSendData) {
        var index = U.toInt(Native.view.getData("mouse/reportRate", false), 3);
        // An unknown stored choice is shown as the rate it is sent as.
        if (index < 0 || index > 3)
            index = 3;
        reportRateList.currentSelect = index;
        reportRateList.closeMenu();
        if (isSendData)
            Native.view.mouseSetReportRate(DM.rateCode(index));
    }

    function chooseRate(index) {
        Native.view.setData("mouse/reportRate", index);
        Native.view.mouseSetReportRate(DM.rateCode(index));
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
        text: reportRateRect.title
        color: Style.textColor
        font.family: Style.fontFamily
        font.pixelSize: Style.fontMiddleSize
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
