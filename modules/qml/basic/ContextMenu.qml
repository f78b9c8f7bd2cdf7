pragma ComponentBehavior: Bound
import QtQuick
import ".."

// A right-click menu: one row per text, hidden until opened at a point of
// its parent. A chosen row closes the menu and reports its index.
Rectangle {
    id: menu

    property var texts: []

    signal chosen(int index)

    // Opens at (x, y), kept inside the parent.
    function openAt(px, py) {
        var w = parent ? parent.width : width;
        var h = parent ? parent.height : height;
        x = Math.max(0, Math.min(px, w - width));
        y = Math.max(0, Math.min(py, h - height));
        visible = true;
    }

    visible: false
    z: 20
    width: 80
    height: rows.height + 2
    color: Style.colorGray0
    border.color: Style.colorGray1

    Column {
        id: rows
        x: 1
        y: 1
        width: parent.width - 2
        Repeater {
            model: menu.texts.length
            delegate: Rectangle {
                id: row
                required property int index
                width: rows.width
                height: 24
                color: rowArea.containsMouse ? Style.colorOrange : "transparent"
                Text {
                    x: 8
                    anchors.verticalCenter: parent.verticalCenter
                    text: menu.texts[row.index]
                    color: Style.textColor
                    font.family: Style.fontFamily
                    font.pixelSize: Style.fontNormalSize
                }
                MouseArea {
                    id: rowArea
                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: {
                        menu.visible = false;
                        menu.chosen(row.index);
                    }
                }
            }
        }
    }
}
