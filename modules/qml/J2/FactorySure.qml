import QtQuick
import ".."

// Asks before the current profile goes back to factory settings.
Rectangle {
    id: root
    property string titleText
    property string messageText
    property string okText
    property string cancelText
    property alias okButton: okButton
    property alias cancelButton: cancelButton

    signal accepted
    signal rejected

    width: 427
    height: 102
    color: Style.colorGray0
    border.color: Style.colorGray1

    DialogDrag {
        id: drag
    }
    Rectangle {
        id: titleStrip
        x: 1
        y: 1
        width: parent.width - 2
        height: 30
        color: Style.colorBlack
        Text {
            x: 16
            anchors.verticalCenter: parent.verticalCenter
            text: root.titleText
            color: Style.textColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontMiddleSize
            font.bold: true
        }
    }
    Rectangle {
        x: 1
        y: titleStrip.y + titleStrip.height
        width: parent.width - 2
        height: 1
        color: Style.colorOrange
    }
    Text {
        id: message
        x: 30
        y: titleStrip.y + titleStrip.height + 15
        text: root.messageText
        color: Style.textColor
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormalSize
        font.bold: true
    }
    TextButton {
        id: okButton
        width: 88
        height: 25
        anchors.right: parent.right
        anchors.rightMargin: 12
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 10
        text: root.okText
        onClicked: root.accepted()
    }
    TextButton {
        id: cancelButton
        width: 88
        height: 25
        anchors.right: okButton.left
        anchors.rightMargin: 7
        anchors.bottom: okButton.bottom
        text: root.cancelText
        normalColor: Style.colorGray1
        onClicked: root.rejected()
    }
}
