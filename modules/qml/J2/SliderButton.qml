import QtQuick
import ".."
import "../basic/slider.js" as Geo

// Horizontal slider: a 6 px track with a 12 px knob whose left edge is the
// value ("position", 3 .. width - 15). Stepped when isScale is set.
Item {
    id: root
    property int segment: 10
    property int segmentValue: 0
    property bool isScale: false
    property color colorS: Style.colorOrange
    property color trackColor: Style.colorGray1
    readonly property real position: knob.x
    readonly property bool dragging: knobArea.dragActive
    readonly property bool moving: moveAnim.running

    signal btnClick
    signal valueChange(real position)
    signal valueChangeDelay(real position)
    signal dragSignal(bool isDrag)

    width: 96
    height: 12

    function gridPosition(i) { return Geo.gridPos(width, segment, i); }

    function setRatioValue(ratio) {
        moveAnim.stop();
        knob.x = Geo.ratioPos(width, ratio);
        valueChange(knob.x);
    }
    function setIndexValue(index, send) {
        moveAnim.stop();
        var i = Math.max(0, Math.min(segment, Math.floor(index)));
        knob.x = Geo.gridPos(width, segment, i);
        segmentValue = i;
        if (send)
            valueChange(knob.x);
    }
    function setValue(p) {
        moveAnim.stop();
        knob.x = Geo.clampPos(width, p);
    }

    Rectangle {
        id: track
        y: 3
        width: root.width
        height: 6
        radius: 3
        color: root.trackColor
    }
    Rectangle {
        id: fill
        y: 3
        height: 6
        radius: 3
        width: knob.x + knob.width / 2
        color: root.colorS
    }
    MouseArea {
        id: trackArea
        anchors.fill: parent
        anchors.topMargin: -3
        anchors.bottomMargin: -3
        onClicked: function (mouse) {
            root.btnClick();
            var target = Geo.clampPos(root.width, mouse.x - 6);
            if (root.isScale) {
                var s = Geo.snap(root.width, root.segment, target, 0);
                target = s.pos;
                root.segmentValue = s.index;
            }
            moveAnim.stop();
            moveAnim.to = target;
            moveAnim.start();
        }
    }
    NumberAnimation {
        id: moveAnim
        target: knob
        property: "x"
        duration: 120
        easing.type: Easing.OutQuad
        onFinished: {
            root.valueChange(knob.x);
            root.valueChangeDelay(knob.x);
        }
    }
    Image {
        id: knob
        x: 3
        y: 0
        width: 12
        height: 12
        source: Style.image("index", "slide")
        MouseArea {
            id: knobArea
            // The knob follows the pointer by the offset from the press, in
            // the slider's own coordinates (this area moves with the knob).
            property real pressX: 0
            property real knobStart: 0
            property bool dragActive: false
            anchors.fill: parent
            anchors.margins: -2
            preventStealing: true
            onPressed: function (mouse) {
                moveAnim.stop();
                pressX = mapToItem(root, mouse.x, 0).x;
                knobStart = knob.x;
                dragActive = true;
                root.btnClick();
                root.dragSignal(true);
            }
            onPositionChanged: function (mouse) {
                if (!dragActive)
                    return;
                knob.x = Geo.clampPos(root.width, knobStart + mapToItem(root, mouse.x, 0).x - pressX);
                if (!root.isScale)
                    root.valueChange(knob.x);
            }
            onReleased: {
                dragActive = false;
                if (root.isScale) {
                    var s = Geo.snap(root.width, root.segment, knob.x, 1);
                    knob.x = s.pos;
                    root.segmentValue = s.index;
                }
                root.valueChangeDelay(knob.x);
                root.dragSignal(false);
            }
            onCanceled: {
                dragActive = false;
                root.dragSignal(false);
            }
        }
    }
}
