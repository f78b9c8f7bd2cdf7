import QtQuick
import ".."

// A box showing the page's text; open, a strip below it holds a slider
// 16 px narrower than the box. The slider's signals are passed on.
Item {
    id: root
    property string textValue
    property bool isDrop: false
    property color borderColor: Style.colorGray1
    property color bgColor: Style.colorGray0
    property color sliderBgColor: Style.colorBlack
    property color sliderbarBg: Style.colorGray1
    property real horizontalOffset: 0
    property alias slider: slider
    readonly property int animationDuration: 180
    readonly property bool animating: openAnim.running || closeAnim.running

    signal btnClick
    signal valueChange(real position)
    signal dragSignal(bool isDrag)

    width: 120
    height: 24
    z: isDrop ? 100 : 0

    function closeMenu() {
        if (isDrop && !animating)
            closeAnim.start();
    }
    function setValue(ratio) {
        slider.setRatioValue(ratio);
    }

    Rectangle {
        width: root.width
        height: 24
        color: root.bgColor
        border.color: root.borderColor
        Text {
            anchors.centerIn: parent
            anchors.horizontalCenterOffset: root.horizontalOffset
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
                root.btnClick();
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
        id: strip
        y: 24
        width: root.width
        height: 0
        clip: true
        visible: root.isDrop
        color: root.sliderBgColor
        border.color: root.borderColor

        // The open part owns every click inside it, so nothing underneath
        // reacts while it hangs over it.
        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
            hoverEnabled: true
            onWheel: function (wheel) { wheel.accepted = true; }
        }
        SliderButton {
            id: slider
            x: 8
            y: 6
            width: root.width - 16
            trackColor: root.sliderbarBg
            onValueChange: function (position) { root.valueChange(position); }
            onDragSignal: function (isDrag) { root.dragSignal(isDrag); }
        }
    }

    NumberAnimation {
        id: openAnim
        target: strip
        property: "height"
        from: 0
        to: 24
        duration: root.animationDuration
        easing.type: Easing.OutQuad
    }
    NumberAnimation {
        id: closeAnim
        target: strip
        property: "height"
        to: 0
        duration: root.animationDuration
        easing.type: Easing.OutQuad
        onFinished: root.isDrop = false
    }
}
