import QtQuick
import "drag.js" as Drag

// Put as the first child of a dialog: pressing its background and dragging
// moves the dialog, never past the edges of the window. The press point is
// kept in the area's own coordinates; as the area moves with the dialog, the
// offset to that point is exactly the pointer's movement.
MouseArea {
    id: dragArea
    property Item target: parent
    property real boundsWidth: 1024
    property real boundsHeight: 640
    property real pressX: 0
    property real pressY: 0

    anchors.fill: parent
    acceptedButtons: Qt.LeftButton

    onPressed: function (mouse) {
        pressX = mouse.x;
        pressY = mouse.y;
    }
    onPositionChanged: function (mouse) {
        if (!pressed || !target)
            return;
        var p = Drag.clampedMove(target.x, target.y, mouse.x - pressX, mouse.y - pressY,
                                 target.width, target.height, boundsWidth, boundsHeight);
        target.x = p.x;
        target.y = p.y;
    }
}
