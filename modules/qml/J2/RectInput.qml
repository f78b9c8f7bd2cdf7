import QtQuick
import ".."

// One-line number box: up to four digits within minValue..maxValue. Leaving
// it with nothing (or less than 1) in it writes "0", so a page never reads
// an empty text back. The validator lets a number with as many digits as
// maxValue through while typing (e.g. 300 of 255), so the end of editing
// brings it back into range.
Rectangle {
    id: root
    property alias textValue: input.text
    property int minValue: 0
    property int maxValue: 255
    readonly property bool editing: input.activeFocus
    property alias input: input

    signal inputSignal
    signal endInputSignal

    width: 48
    height: 20
    color: "transparent"

    function closeFocus() {
        input.deselect();
        input.focus = false;
    }

    TextInput {
        id: input
        anchors.fill: parent
        anchors.leftMargin: 2
        anchors.rightMargin: 2
        horizontalAlignment: TextInput.AlignHCenter
        verticalAlignment: TextInput.AlignVCenter
        clip: true
        text: "0"
        maximumLength: 4
        selectByMouse: true
        color: Style.textColor
        selectionColor: Style.colorOrange
        selectedTextColor: Style.textColor
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormalSize
        validator: IntValidator {
            bottom: root.minValue
            top: root.maxValue
        }
        Keys.onReturnPressed: root.closeFocus()
        Keys.onEnterPressed: root.closeFocus()
        onActiveFocusChanged: {
            if (activeFocus) {
                root.inputSignal();
                return;
            }
            var n = Number(text);
            if (text === "" || isNaN(n) || n < 1)
                text = "0";
            else if (n > root.maxValue)
                text = String(root.maxValue);
            else if (n < root.minValue)
                text = String(root.minValue);
            root.endInputSignal();
        }
    }
}
