pragma Singleton
import QtQuick

// The program's native objects, published to the scene as context
// properties. They are reached from here only, so the rest of the scene
// names nothing that the tools cannot see. The program publishes them just
// after loading the scene; until then they are null, and the bindings are
// evaluated again when they arrive.
QtObject {
    // qmllint disable unqualified
    // settings, files and device operations (myQQuickView)
    readonly property var view: typeof ui_View === "undefined" ? null : ui_View
    // the device command object (Hid_Thread)
    readonly property var device: typeof hid === "undefined" ? null : hid
    // window moves, minimize, close (Ui_Controler)
    readonly property var window: typeof ui_Ctl === "undefined" ? null : ui_Ctl
    // qmllint enable unqualified
}
