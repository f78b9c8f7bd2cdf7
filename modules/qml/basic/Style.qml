pragma Singleton
import QtQuick

// The shared look of every panel, dialog and control. The root item repeats
// these values as its own properties because page code reads them by name.
QtObject {
    readonly property string fontFamily: "微软雅黑"
    readonly property int fontMinSize: 10
    readonly property int fontNormalSize: 12
    readonly property int fontMiddleSize: 14
    readonly property int fontMaxSize: 16
    readonly property color textColor: "#ffffff"
    readonly property color colorGray0: "#1a1a1a"
    readonly property color colorGray1: "#3c3c3c"
    readonly property color colorGray2: "#969696"
    readonly property color colorGray3: "#d1d1d1"
    readonly property color colorBlue: "#09347f"
    readonly property color colorOrange: "#cf3e00"
    readonly property color colorBlack: "#000000"
    readonly property color colorAlarm: "#ff3030"
    readonly property color maskColor: "#90000000"
    readonly property color backdropTop: "#17171a"
    readonly property color backdropBottom: "#0a0a0b"
    readonly property int skin: 1

    // "qrc:/<group>/modules/img/skin<n>/<group>/<name>.png"
    function image(group, name) {
        return "qrc:/" + group + "/modules/img/skin" + skin + "/" + group + "/" + name + ".png";
    }
}
