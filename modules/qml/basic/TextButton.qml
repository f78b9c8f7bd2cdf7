import QtQuick
import ".."

// The flat text button of the window: blue (or the given colour), orange
// while hovered or marked active.
Rectangle {
    id: root
    property alias text: label.text
    property color normalColor: Style.colorBlue
    property color hoverColor: Style.colorOrange
    property bool active: false
    property bool bold: false
    readonly property bool hovered: area.containsMouse
    signal clicked

    width: 64
    height: 24
    color: hovered || active ? hoverColor : normalColor

    Text {
        id: label
        anchors.centerIn: parent
        color: Style.textColor
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormalSize
        font.bold: root.bold
    }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: root.clicked()
    }
}
