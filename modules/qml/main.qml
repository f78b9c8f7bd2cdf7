import QtQuick

Rectangle {
    id: mainIten
    width: 1024
    height: 640
    color: "#000000"
    function initUI() {}
    function run() {}
    function setProtectUI(interval) {}
    function setCurrentDPI(v) {}
    function detectKeyboard(isDown, usbCode) {}
    function detectMouse(isDown, buttonCode, x, y) {}
    Text { anchors.centerIn: parent; color: "#ffffff"; text: "SKARN SK-70" }
}
