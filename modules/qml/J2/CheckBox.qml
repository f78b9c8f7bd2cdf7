import QtQuick
import ".."

// Text, then the box. btnClick comes before the toggle, so a handler still
// sees the state the user clicked on.
Item {
    id: root
    property string textValue
    property bool isSelect: false
    property int index: 0
    property real gapValue: 8
    property color bgColor: "transparent"
    property color borderColor: Style.colorGray2

    signal btnClick(int index)

    width: label.implicitWidth + (textValue === "" ? 0 : gapValue) + 12
    height: Math.max(12, label.implicitHeight)

    Text {
        id: label
        anchors.verticalCenter: parent.verticalCenter
        text: root.textValue
        color: Style.textColor
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormalSize
    }
    Rectangle {
        id: box
        x: root.width - 12
        anchors.verticalCenter: parent.verticalCenter
        width: 12
        height: 12
        radius: 2
        color: root.bgColor
        border.width: 1
        border.color: area.containsMouse ? Style.colorOrange : root.borderColor
        Image {
            anchors.centerIn: parent
            visible: root.isSelect
            source: Style.image("index", "checkBtn")
        }
    }
    MouseArea {
        id: area
        anchors.fill: parent
        anchors.margins: -6
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: {
            root.btnClick(root.index);
            root.isSelect = !root.isSelect;
        }
    }
}
