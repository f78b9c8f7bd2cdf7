import QtQuick
import QtTest

// A test case on the real window against the recording controller. The
// window is built once per file, shown without its start logo; each test
// stores its values with load() and has its page read them again.
TestCase {
    when: windowShown

    property string pageName: ""
    property var root: null
    readonly property var page: root ? root[pageName] : null

    function load(globals, data) {
        ui_View.resetValues();
        for (var g in globals)
            ui_View.setGlobalValue(g, globals[g]);
        for (var k in data)
            if (data[k] !== undefined)
                ui_View.setDataValue(k, data[k]);
        if (root === null) {
            var comp = Qt.createComponent("qrc:/modules/qml/main.qml");
            verify(comp.status === Component.Ready, comp.errorString());
            root = comp.createObject(parent);
            root.visible = true;
            findChild(root, "startLogo").visible = false;
        }
        root.mainFocus();
        root.clearSaveFlags();
        callLog.clear();
    }

    function calls(prefix) {
        return callLog.entries().filter(function (e) { return e.indexOf(prefix) === 0; });
    }

    // Opens a drop-down of the scene and clicks its row.
    function choose(list, row) {
        mouseClick(list, 20, 12);
        tryCompare(list, "animating", false);
        mouseClick(list, 20, 24 + 24 * row + 12);
        tryCompare(list, "isDrop", false);
    }

    function typeInto(box, text) {
        box.input.forceActiveFocus();
        box.input.selectAll();
        keyClick(Qt.Key_Backspace);
        for (var i = 0; i < text.length; ++i)
            keyClick(text.charAt(i));
        keyClick(Qt.Key_Return);
    }
}
