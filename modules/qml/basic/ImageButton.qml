import QtQuick

// An icon with a hover image; the click acts on release unless actOnPress.
Item {
    id: root
    property url source
    property url hoverSource
    property bool actOnPress: false
    readonly property bool hovered: area.containsMouse
    signal clicked

    width: 16
    height: 16

    Image {
        anchors.fill: parent
        source: root.hovered && root.hoverSource != "" ? root.hoverSource : root.source
    }
    MouseArea {
        id: area
        anchors.fill: parent
        anchors.margins: -2
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onPressed: if (root.actOnPress) root.clicked()
        onClicked: if (!root.actOnPress) root.clicked()
    }
}
