import QtQuick
import ".."

// A click only ever selects; the page clears the other options of a group.
Item {
    id: root
    property string textValue
    property bool isSelect: false
    property int index: 0
    property real gapValue: 16

    signal btnClick(int index)

    width: 10 + (textValue === "" ? 0 : gapValue + label.implicitWidth)
    height: Math.max(10, label.implicitHeight)

    Rectangle {
        id: box
        anchors.verticalCenter: parent.verticalCenter
        width: 10
        height: 10
        radius: 3
        color: Style.colorGray3
        border.color: area.containsMouse ? Style.colorOrange : Style.colorGray3
        Rectangle {
            anchors.centerIn: parent
            width: 6
            height: 6
            radius: 2
            visible: root.isSelect
            color: Style.colorOrange
        }
    }
    Text {
        id: label
        x: 10 + root.gapValue
        anchors.verticalCenter: parent.verticalCenter
        text: root.textValue
        color: Style.textColor
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormalSize
    }
    MouseArea {
        id: area
        anchors.fill: parent
        anchors.margins: -6
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: {
            root.isSelect = true;
            root.btnClick(root.index);
        }
    }
}
