import QtQuick
import ".."

// Title-bar controls: help, minimize and close icons, and left of them the
// profile drop-down.
Item {
    id: root
    property var profileModel: []
    property alias profileList: profileList

    signal helpClicked
    signal minimizeClicked
    signal closeClicked
    signal profileChosen(int position)

    width: 80
    height: 16

    function selectProfile(position) {
        profileList.currentSelect = position;
        profileList.closeMenu();
    }

    DropDownList {
        id: profileList
        x: -16 - width
        y: -4
        width: 144
        mdItems: root.profileModel
        bgColor: Style.colorBlack
        onValueChange: function (index) { root.profileChosen(index); }
    }
    Row {
        spacing: 16
        ImageButton {
            id: helpButton
            source: Style.image("index", "ask")
            hoverSource: Style.image("index", "askH")
            onClicked: root.helpClicked()
        }
        ImageButton {
            id: minButton
            source: Style.image("index", "minBtn")
            hoverSource: Style.image("index", "minBtnH")
            onClicked: root.minimizeClicked()
        }
        ImageButton {
            id: closeButton
            source: Style.image("index", "closeBtn")
            hoverSource: Style.image("index", "closeBtnH")
            onClicked: root.closeClicked()
        }
    }
}
