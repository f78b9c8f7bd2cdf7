import QtQuick
import ".."

// "LOADING ......" pulsing while the window is busy.
Text {
    id: root
    property bool running: false

    visible: running
    text: "LOADING ......"
    color: Style.textColor
    font.family: Style.fontFamily
    font.pixelSize: Style.fontMaxSize
    font.bold: true
    style: Text.Outline
    styleColor: Style.colorBlack

    SequentialAnimation on opacity {
        running: root.running
        loops: Animation.Infinite
        alwaysRunToEnd: false
        NumberAnimation { from: 1.0; to: 0.2; duration: 400 }
        NumberAnimation { from: 0.2; to: 1.0; duration: 400 }
        onRunningChanged: if (!running) root.opacity = 1.0
    }
}
