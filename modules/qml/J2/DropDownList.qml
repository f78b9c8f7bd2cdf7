pragma ComponentBehavior: Bound
import QtQuick
import ".."
import "../basic/slider.js" as Geo

// A 24 px box showing the current row; clicking it slides the list out
// underneath. The choice is reported after the list has closed, so a page
// that redraws on valueChange never fights the closing animation.
Item {
    id: root
    // ListModel or JS array whose rows carry textValue.
    property var mdItems: []
    property int count: modelCount()
    property int currentSelect: 2
    property string textValue: rowText(currentSelect)
    property bool isDrop: false
    property color borderColor: Style.colorGray1
    property color bgColor: Style.colorGray0
    // The open list's own colours; a page whose background equals bgColor
    // gives the list another one so it reads as a list over the page.
    property color listColor: bgColor
    property color listBorderColor: borderColor
    property real horizontalOffset: 0
    property int maxVisibleRows: 10
    readonly property int animationDuration: Geo.dropDuration(count)
    readonly property bool animating: openAnim.running || closeAnim.running
    readonly property int visibleRows: Math.min(count, maxVisibleRows)
    // Row chosen in the open list, reported when the closing ends.
    property int pendingRow: -1
    // The rows are made when the list first opens and kept after: most
    // lists stay closed for a whole session.
    property bool rowsMade: false

    signal btnClick
    signal valueChange(int index)
    signal dragSignal(bool isDrag)

    width: 120
    height: 24
    z: isDrop ? 100 : 0

    function modelCount() {
        if (!mdItems)
            return 0;
        if (mdItems.count !== undefined)
            return mdItems.count;
        return mdItems.length !== undefined ? mdItems.length : 0;
    }
    function rowText(i) {
        if (!mdItems || i < 0 || i >= modelCount())
            return "";
        var row = mdItems.get !== undefined ? mdItems.get(i) : mdItems[i];
        if (row === undefined || row === null)
            return "";
        if (typeof row === "string")
            return row;
        return row.textValue === undefined ? "" : String(row.textValue);
    }
    function openMenu() {
        if (animating || isDrop)
            return;
        pendingRow = -1;
        rowsMade = true;
        isDrop = true;
        listView.contentY = 0;
        openAnim.start();
    }
    function startClose(row) {
        pendingRow = row;
        openAnim.stop();
        closeAnim.start();
    }
    // Only a fully open list closes; a list still sliding is left alone.
    function closeMenu() {
        if (isDrop && !animating)
            startClose(-1);
    }
    function chooseRow(row) {
        if (animating || !isDrop)
            return;
        currentSelect = row;
        startClose(row);
    }

    Rectangle {
        id: box
        width: root.width
        height: 24
        color: root.bgColor
        border.color: root.borderColor
        border.width: 1
        Text {
            objectName: "shownText"
            anchors.centerIn: parent
            anchors.horizontalCenterOffset: root.horizontalOffset
            // Centred between the arrows' margins, so a long name ends in
            // an ellipsis before the drop arrow.
            width: Math.max(0, root.width - 2 * 24)
            horizontalAlignment: Text.AlignHCenter
            elide: Text.ElideRight
            text: root.textValue
            color: Style.textColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormalSize
        }
        Image {
            anchors.right: parent.right
            anchors.rightMargin: 8
            anchors.verticalCenter: parent.verticalCenter
            source: Style.image("index", root.isDrop ? "dropBtnU" : "dropBtn")
        }
        MouseArea {
            id: boxArea
            anchors.fill: parent
            hoverEnabled: true
            cursorShape: Qt.PointingHandCursor
            onClicked: {
                root.btnClick();
                if (root.animating)
                    return;
                if (root.isDrop)
                    root.startClose(-1);
                else
                    root.openMenu();
            }
        }
    }

    Rectangle {
        id: listBox
        y: 24
        width: root.width
        height: 0
        clip: true
        visible: root.isDrop
        color: root.listColor
        border.color: root.listBorderColor
        border.width: 1

        // An open list owns every click inside it, also on the strip right
        // of the rows, so nothing underneath reacts while it hangs over it.
        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
            hoverEnabled: true
            onWheel: function (wheel) { wheel.accepted = true; }
        }

        ListView {
            id: listView
            anchors.fill: parent
            interactive: false
            boundsBehavior: Flickable.StopAtBounds
            model: root.rowsMade ? root.count : 0
            delegate: Rectangle {
                id: row
                required property int index
                width: listView.width
                height: 24
                color: index === root.currentSelect || rowArea.containsMouse ? Style.colorOrange
                                                                              : root.listColor
                Text {
                    anchors.centerIn: parent
                    anchors.horizontalCenterOffset: root.horizontalOffset
                    width: Math.max(0, row.width - 2 * 15)
                    horizontalAlignment: Text.AlignHCenter
                    elide: Text.ElideRight
                    text: root.rowText(row.index)
                    color: Style.textColor
                    font.family: Style.fontFamily
                    font.pixelSize: Style.fontNormalSize
                }
                MouseArea {
                    id: rowArea
                    // The right-most strip belongs to the scroll handle.
                    width: parent.width - 15
                    height: parent.height
                    hoverEnabled: true
                    onClicked: root.chooseRow(row.index)
                }
            }
        }

        Rectangle {
            id: scrollHandle
            visible: root.count > root.maxVisibleRows
            x: listBox.width - width - 1
            width: 12
            height: Math.max(24, listBox.height * root.maxVisibleRows / Math.max(1, root.count))
            readonly property real travel: root.visibleRows * 24 - height
            y: 0
            radius: 3
            color: "#ffffff"
            border.color: Style.colorGray3
            MouseArea {
                anchors.fill: parent
                drag.target: scrollHandle
                drag.axis: Drag.YAxis
                drag.minimumY: 0
                drag.maximumY: Math.max(0, scrollHandle.travel)
                onPressed: root.dragSignal(true)
                onReleased: root.dragSignal(false)
                onCanceled: root.dragSignal(false)
            }
            onYChanged: {
                var span = listView.contentHeight - root.visibleRows * 24;
                if (travel > 0 && span > 0)
                    listView.contentY = span * y / travel;
            }
        }
    }

    NumberAnimation {
        id: openAnim
        target: listBox
        property: "height"
        from: 0
        to: root.visibleRows * 24
        duration: root.animationDuration
        easing.type: Easing.OutQuad
    }
    NumberAnimation {
        id: closeAnim
        target: listBox
        property: "height"
        to: 0
        duration: root.animationDuration
        easing.type: Easing.OutQuad
        onFinished: {
            root.isDrop = false;
            scrollHandle.y = 0;
            var row = root.pendingRow;
            root.pendingRow = -1;
            if (row >= 0)
                root.valueChange(row);
        }
    }
}
