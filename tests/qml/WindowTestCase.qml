import QtQuick
import QtTest

// A test case on the real window against the recording controller, looking
// at one of its pages.
TestCase {
    when: windowShown

    property var root: null
    property var page: null

    // Stores the globals and data, builds the window shown without its start
    // logo and clears the call log.
    function loadPage(parentItem, pageName, globals, data, beforeLoad) {
        ui_View.resetValues();
        for (var g in globals)
            ui_View.setGlobalValue(g, globals[g]);
        for (var k in data)
            if (data[k] !== undefined)
                ui_View.setDataValue(k, data[k]);
        var comp = Qt.createComponent("qrc:/modules/qml/main.qml");
        verify(comp.status === Component.Ready, comp.errorString());
        root = createTemporaryObject(comp, parentItem);
        root.visible = true;
        findChild(root, "startLogo").visible = false;
        if (beforeLoad)
            beforeLoad(root);
        page = root[pageName];
        callLog.clear();
    }

    function calls(prefix) {
        return callLog.entries().filter(function (e) { return e.indexOf(prefix) === 0; });
    }
}
