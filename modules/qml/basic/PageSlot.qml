import QtQuick

// Place holder for a page of the window. The page's file is loaded when it
// exists; until then the slot shows its fallback children at the size the
// page will have, so the window keeps its layout. The loaded item gets the
// page's id as its objectName so it can be found from outside the scene.
Item {
    id: slot
    property alias source: loader.source
    property alias sourceComponent: loader.sourceComponent
    readonly property alias item: loader.item
    property string pageName
    property real fallbackWidth: 0
    property real fallbackHeight: 0
    // Sized like the window instead of like the page (dialogs position
    // themselves inside the window).
    property bool fillsWindow: false
    default property alias fallbackData: fallback.data

    width: fillsWindow ? 1024 : (loader.item ? loader.item.width : fallbackWidth)
    height: fillsWindow ? 640 : (loader.item ? loader.item.height : fallbackHeight)

    Item {
        id: fallback
        anchors.fill: parent
        visible: !loader.item
    }
    Loader {
        id: loader
        onLoaded: {
            if (item.objectName === "")
                item.objectName = slot.pageName;
        }
    }
}
