import QtQuick

// Stand-in for any page of the window: writes every call the window makes
// on it into the shared call log, prefixed with the page's id.
Item {
    id: page
    width: 232
    height: 120

    property bool isSave: false
    property int currentDPI: 0
    property int profileNo: -1
    property int keyCount: 8
    property var keyMatrixLang: []
    property var keyAssigmentLang: []
    property var dpiSettingLang: []
    property var lightControlLang: []
    property var macroEditorLang: []
    property var systemSettingLang: []
    property var gunControlLang: []
    property var profileLang: []
    property var keyCodeLang: []
    property ListModel profileDataModel0: ListModel {
        ListElement { textValue: "Standard"; profileNo: 0 }
        ListElement { textValue: "profile_0"; profileNo: 1 }
        ListElement { textValue: "profile_1"; profileNo: 2 }
        ListElement { textValue: "profile_2"; profileNo: 3 }
    }
    property Item dpiSegment: Item {
        function closeMenu() { page.log("dpiSegment.closeMenu", []); }
    }
    property Item lightModel: Item {
        function closeMenu() { page.log("lightModel.closeMenu", []); }
    }

    signal changeProfile(int position)

    function log(name, args) {
        var shown = [];
        for (var i = 0; i < args.length; ++i)
            if (args[i] !== undefined)
                shown.push(String(args[i]));
        callLog.note(objectName + "." + name + "(" + shown.join(",") + ")");
    }

    function init(a, b) { log("init", [a, b]); }
    function saveData(a, b) { log("saveData", [a, b]); }
    function resetData() { log("resetData", []); }
    function closeMenu() { log("closeMenu", []); }
    function macroEditorFocus() { log("macroEditorFocus", []); }
    function profileFocus() { log("profileFocus", []); }
    function gunControlFocus() { log("gunControlFocus", []); }
    function lightControlFocus() { log("lightControlFocus", []); }
    function systemSettingFocus() { log("systemSettingFocus", []); }
}
