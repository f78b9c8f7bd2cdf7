import QtQuick

// The window's backdrop: background, title bar and the logo in its corner.
Item {
    width: 1024
    height: 640

    Image {
        id: background
        x: 0
        y: 0
        source: "qrc:/modules/img/background.png"
    }
    Image {
        id: titleBar
        x: 0
        y: 0
        source: "qrc:/modules/img/titleBar.png"
    }
    Image {
        id: titleLogo
        x: 0
        y: 0
        source: "qrc:/modules/img/titleLogo.png"
    }
}
