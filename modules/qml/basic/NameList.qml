pragma ComponentBehavior: Bound
import QtQuick
import ".."

// A list of names, one 27 px row each (the model's rows carry textValue):
// the current and the hovered row are orange, long names end in an
// ellipsis, and an in-place editor covers the row being renamed. What a
// press, click or double click means is the page's business.
Item {
    id: list

    property alias model: view.model
    property alias view: view
    property alias editor: editor
    property alias editText: editor.text
    property int currentRow: -1
    property int editRow: -1
    // Rows are named rowName + index for the tests, when set.
    property string rowName: ""
    property int editorHeight: 17
    property string editorName: ""
    property int maxLength: 32767
    property bool scrolls: true

    signal editorShown
    signal editAccepted
    signal editCancelled
    // at: the pointer in this item's coordinates.
    signal rowPressed(int index, int button, point at)
    signal rowClicked(int index, int button, point at)
    signal rowDoubleClicked(int index)

    ListView {
        id: view
        anchors.fill: parent
        clip: true
        interactive: list.scrolls
        boundsBehavior: Flickable.StopAtBounds
        delegate: Rectangle {
            id: row
            required property int index
            required property string textValue
            objectName: list.rowName === "" ? "" : list.rowName + index
            width: ListView.view.width
            height: 27
            color: index === list.currentRow || rowArea.containsMouse ? Style.colorOrange : "transparent"
            Text {
                x: 16
                width: parent.width - 24
                anchors.verticalCenter: parent.verticalCenter
                visible: list.editRow !== row.index
                text: row.textValue
                elide: Text.ElideRight
                color: Style.textColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontNormalSize
            }
            MouseArea {
                id: rowArea
                anchors.fill: parent
                hoverEnabled: true
                acceptedButtons: Qt.LeftButton | Qt.RightButton
                onPressed: function (mouse) {
                    list.rowPressed(row.index, mouse.button, mapToItem(list, mouse.x, mouse.y));
                }
                onClicked: function (mouse) {
                    list.rowClicked(row.index, mouse.button, mapToItem(list, mouse.x, mouse.y));
                }
                onDoubleClicked: function (mouse) {
                    if (mouse.button === Qt.LeftButton)
                        list.rowDoubleClicked(row.index);
                }
            }
        }
    }

    TextInput {
        id: editor
        objectName: list.editorName
        x: 16
        y: list.editRow * 27 - view.contentY + (27 - height) / 2
        width: list.width - 24
        height: list.editorHeight
        visible: list.editRow >= 0
        clip: true
        verticalAlignment: TextInput.AlignVCenter
        selectByMouse: true
        color: Style.textColor
        selectionColor: Style.colorBlue
        selectedTextColor: Style.textColor
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormalSize
        maximumLength: list.maxLength
        Keys.onReturnPressed: list.editAccepted()
        Keys.onEnterPressed: list.editAccepted()
        Keys.onEscapePressed: list.editCancelled()
        onVisibleChanged: {
            if (visible)
                list.editorShown();
        }
    }
}
