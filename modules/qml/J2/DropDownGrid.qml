pragma ComponentBehavior: Bound
import QtQuick
import ".."
import "../basic/slider.js" as Geo

// Closed it looks like DropDownList; open it shows every cell of mdItems in
// three columns, each as wide as the box. Any cell click closes the grid and
// then emits btnClick; only a cell with text becomes the current one.
Item {
    id: root
    property var mdItems: []
    property int currentSelect: 0
    property string textValue: cellText(currentSelect)
    property bool isDrop: false
    property color borderColor: Style.colorGray1
    property color bgColor: Style.colorGray0
    property real horizontalOffset: 0
    readonly property int count: cellCount()
    readonly property int rows: Math.ceil(count / 3)
    readonly property int animationDuration: Geo.dropDuration(count)
    readonly property bool animating: openAnim.running || closeAnim.running

    signal btnClick

    width: 107
    height: 24
    z: isDrop ? 100 : 0

    function cellCount() {
        if (!mdItems)
            return 0;
        if (mdItems.count !== undefined)
            return mdItems.count;
        return mdItems.length !== undefined ? mdItems.length : 0;
    }
    function cellText(i) {
        if (!mdItems || i < 0 || i >= cellCount())
            return "";
        var c = mdItems.get !== undefined ? mdItems.get(i) : mdItems[i];
        if (c === undefined || c === null)
            return "";
        if (typeof c === "string")
            return c;
        return c.textValue === undefined ? "" : String(c.textValue);
    }
    function closeMenu() {
        if (isDrop && !animating)
            closeAnim.start();
    }
    function chooseCell(i) {
        if (!isDrop)
            return;
        if (cellText(i) !== "")
            currentSelect = i;
        openAnim.stop();
        closeAnim.start();
        btnClick();
    }

    Rectangle {
        id: box
        width: root.width
        height: 24
        color: root.bgColor
        border.color: root.borderColor
        Text {
            objectName: "shownText"
            anchors.centerIn: parent
            anchors.horizontalCenterOffset: root.horizontalOffset
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
            anchors.fill: parent
            cursorShape: Qt.PointingHandCursor
            onClicked: {
                if (root.animating)
                    return;
                if (root.isDrop) {
                    closeAnim.start();
                } else {
                    root.isDrop = true;
                    openAnim.start();
                }
            }
        }
    }

    Rectangle {
        id: gridBox
        y: 24
        width: root.width * 3
        height: 0
        clip: true
        visible: root.isDrop
        color: root.bgColor
        border.color: root.borderColor

        // The open part owns every click inside it, so nothing underneath
        // reacts while it hangs over it.
        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
            hoverEnabled: true
            onWheel: function (wheel) { wheel.accepted = true; }
        }

        Grid {
            columns: 3
            Repeater {
                model: root.count
                delegate: Rectangle {
                    id: cell
                    required property int index
                    width: root.width
                    height: 24
                    color: index === root.currentSelect || cellArea.containsMouse ? Style.colorOrange
                                                                                 : root.bgColor
                    border.color: Style.colorGray1
                    Text {
                        anchors.centerIn: parent
                        width: cell.width - 8
                        horizontalAlignment: Text.AlignHCenter
                        elide: Text.ElideRight
                        text: root.cellText(cell.index)
                        color: Style.textColor
                        font.family: Style.fontFamily
                        font.pixelSize: Style.fontNormalSize
                    }
                    MouseArea {
                        id: cellArea
                        anchors.fill: parent
                        hoverEnabled: true
                        onClicked: root.chooseCell(cell.index)
                    }
                }
            }
        }
    }

    NumberAnimation {
        id: openAnim
        target: gridBox
        property: "height"
        from: 0
        to: root.rows * 24
        duration: root.animationDuration
        easing.type: Easing.OutQuad
    }
    NumberAnimation {
        id: closeAnim
        target: gridBox
        property: "height"
        to: 0
        duration: root.animationDuration
        easing.type: Easing.OutQuad
        onFinished: root.isDrop = false
    }
}
