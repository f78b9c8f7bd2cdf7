pragma ComponentBehavior: Bound
import QtQuick
import ".."

// The mouse picture with a highlight and a numbered box per button. It fills
// the window so the hotspot positions are window coordinates.
Item {
    id: mouseMain

    property int keyCount: 8
    // Button shown as selected on the picture and in the panel, -1 for none.
    property int selectKey: -1
    // Button whose box the pointer is over, -1 for none.
    property int hoverKey: -1

    // A button's box was clicked; the panel decides whether its dialog opens.
    signal keyClicked(int index)

    // [highlight x, highlight y, label box x, label box y] per button.
    readonly property var spots: [
        [370, 132, 322, 120],
        [562, 132, 608, 120],
        [512, 104, 490, 80],
        [360, 316, 312, 304],
        [360, 374, 312, 362],
        [515, 295, 608, 283],
        [515, 335, 608, 323],
        [368, 229, 320, 217]
    ]

    width: 1024
    height: 640

    function isLit(i) {
        return i === selectKey || i === hoverKey;
    }

    // A click on a box asks the panel to open the dialog; the panel refuses
    // for the last left-click button and then the picture shows no selection.
    function clickKey(i) {
        if (i < 0 || i >= keyCount)
            return;
        keyClicked(i);
    }

    Image {
        id: mouseFront
        objectName: "mouseFront"
        x: 500 - width / 2
        y: 134
        source: Style.image("mouse", "MouseFront")
    }

    Repeater {
        id: highlights
        model: 8
        delegate: Image {
            required property int index
            objectName: "mouseHighlight" + index
            visible: index < mouseMain.keyCount
            x: mouseMain.spots[index][0]
            y: mouseMain.spots[index][1]
            source: Style.image("mouse", "Mouse" + index + (mouseMain.isLit(index) ? "S" : ""))
        }
    }

    Repeater {
        id: labels
        model: 8
        delegate: Rectangle {
            id: box
            required property int index
            readonly property bool lit: mouseMain.isLit(index)
            objectName: "mouseKeyBox" + index
            visible: index < mouseMain.keyCount
            x: mouseMain.spots[index][2]
            y: mouseMain.spots[index][3]
            width: 48
            height: 24
            color: lit ? Style.colorOrange : Style.colorGray0
            border.color: lit ? Style.colorOrange : Style.colorGray1
            border.width: 1
            Text {
                anchors.centerIn: parent
                text: String(box.index + 1)
                color: Style.textColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontNormalSize
            }
            MouseArea {
                anchors.fill: parent
                hoverEnabled: true
                cursorShape: Qt.PointingHandCursor
                onContainsMouseChanged: {
                    if (containsMouse)
                        mouseMain.hoverKey = box.index;
                    else if (mouseMain.hoverKey === box.index)
                        mouseMain.hoverKey = -1;
                }
                onClicked: mouseMain.clickKey(box.index)
            }
        }
    }
}
