import QtQuick
import ".."

// Vertical stage slider of the DPI panel: 176 px long, the knob position
// counts from the bottom (3) to the top (161) like the horizontal slider
// counts from the left. `moved` follows the knob while it is dragged;
// `settled` comes once it has come to rest (release, or the end of the
// 120 ms move after a click on the track).
Item {
    id: root
    property color colorS: Style.colorBlue
    property color trackColor: Style.colorGray1
    readonly property real position: height - knob.height - knob.y
    readonly property bool dragging: knobArea.dragActive
    readonly property bool moving: moveAnim.running

    signal moved(real position)
    signal settled(real position)

    width: 6
    height: 176

    function knobY(p) {
        return height - knob.height - Math.max(3, Math.min(height - 15, p));
    }
    function setPosition(p) {
        moveAnim.stop();
        knob.y = knobY(p);
    }

    Rectangle {
        id: track
        anchors.horizontalCenter: parent.horizontalCenter
        width: 6
        height: root.height
        radius: 3
        color: root.trackColor
    }
    Rectangle {
        id: fill
        objectName: "fill"
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        width: 6
        height: root.height - (knob.y + knob.height / 2)
        radius: 3
        color: root.colorS
    }
    MouseArea {
        id: trackArea
        anchors.fill: parent
        anchors.leftMargin: -3
        anchors.rightMargin: -3
        onClicked: function (mouse) {
            moveAnim.stop();
            moveAnim.to = root.knobY(root.height - mouse.y - 6);
            moveAnim.start();
        }
    }
    NumberAnimation {
        id: moveAnim
        target: knob
        property: "y"
        duration: 120
        easing.type: Easing.OutQuad
        onFinished: {
            root.moved(root.position);
            root.settled(root.position);
        }
    }
    Image {
        id: knob
        objectName: "knob"
        anchors.horizontalCenter: parent.horizontalCenter
        y: root.height - 15
        width: 12
        height: 12
        source: Style.image("index", "slide")
        MouseArea {
            id: knobArea
            // The knob follows the pointer by its offset from the press, in
            // the slider's own coordinates (this area moves with the knob).
            property real pressY: 0
            property real knobStart: 0
            property bool dragActive: false
            anchors.fill: parent
            anchors.margins: -2
            preventStealing: true
            onPressed: function (mouse) {
                moveAnim.stop();
                pressY = mapToItem(root, 0, mouse.y).y;
                knobStart = knob.y;
                dragActive = true;
            }
            onPositionChanged: function (mouse) {
                if (!dragActive)
                    return;
                var y = knobStart + mapToItem(root, 0, mouse.y).y - pressY;
                knob.y = Math.max(3, Math.min(root.height - 15, y));
                root.moved(root.position);
            }
            onReleased: {
                dragActive = false;
                root.settled(root.position);
            }
            onCanceled: {
                dragActive = false;
                root.settled(root.position);
            }
        }
    }
}
