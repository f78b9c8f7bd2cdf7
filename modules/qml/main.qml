import QtQuick
import "basic/util.js" as U

// Root of the scene. The native side publishes ui_View, ui_Ctl and hid and
// calls initUI, run, setProtectUI, setCurrentDPI, detectKeyboard and
// detectMouse by name.
//
// The pages live in their own files under J2/ and are loaded into slots
// (PageSlot) whose loaded item is published under the page's id as a root
// property, e.g. keyMatrixMain. Page code can therefore refer to any other
// page, to mainMask, mainLang, the colour properties and the root functions
// by name. Every call from here into a page checks that the page offers the
// function, so a page that is not there yet is skipped.
//
// What the window calls on a page, when the page has it:
//   keyMatrixMain     init(isSendData, isRecovery), isSave, keyMatrixLang, and
//                     saveData() on itself or on its list modKeys
//   reportRateRect    init(isSendData), closeMenu() (or its reportRateList drop-down)
//   dpiSettingMain    init(isSendData, isRecovery), saveData(isSendData), isSave,
//                     currentDPI, dpiSegment (closeMenu()), dpiSettingLang
//   lightControlMain  init(isSendData, isRecovery), saveData(isSendData, step), isSave,
//                     lightModel (closeMenu()), lightControlFocus(), lightControlLang
//   systemSettingMain init(isSendData, isRecovery), systemSettingFocus(), systemSettingLang
//   macroEditorMain   init(), macroEditorFocus(), macroEditorLang
//   gunControlMain    init(), resetData(), gunControlFocus(), gunControlLang
//   keyAssigmentMain  init(), keyAssigmentLang
//   profileMain       init(), profileFocus(), profileNo, profileDataModel0,
//                     changeProfile(position), profileLang
//   mouseMain         keyCount
//   _KeyCodeString    keyCodeLang
// Every group of texts fetched at start-up is also kept in langTexts[group].
Rectangle {
    id: mainIten

    width: 1024
    height: 640
    visible: false
    color: "transparent"

    // Global state read by every page.
    property bool isColorful: false
    property string icType: "553"
    property bool is55328: false
    property bool isGun: true
    property bool isPownOn: false
    property string language: "ChineseSimplified"
    property var mainLang: ["Editor", "Macro Editor", "Gun Editor", "Report Rate", "Config", "Reset",
        "Reset factory setting", "Cancel", "OK", "System setting", "Save", "", "", "", ""]
    property int keyCount: 8
    property int currentProfile: 0
    property var langTexts: ({})
    property int skin: Style.skin

    // The shared look, repeated from Style for pages that read it by name.
    property string fontFamily: Style.fontFamily
    property int fontMinSize: Style.fontMinSize
    property int fontNormalSize: Style.fontNormalSize
    property int fontMiddleSize: Style.fontMiddleSize
    property int fontMaxSize: Style.fontMaxSize
    property color textColor: Style.textColor
    property color fontColor: Style.textColor
    property color colorGray0: Style.colorGray0
    property color colorGray1: Style.colorGray1
    property color colorGray2: Style.colorGray2
    property color colorGray3: Style.colorGray3
    property color colorBlue: Style.colorBlue
    property color colorOrange: Style.colorOrange
    property color colorBlack: Style.colorBlack

    // Pages, as loaded into their slots (null while a page is missing).
    readonly property Item keyMatrixMain: keyMatrixSlot.item
    readonly property Item reportRateRect: reportRateSlot.item
    readonly property Item dpiSettingMain: dpiSettingSlot.item
    readonly property Item lightControlMain: lightControlSlot.item
    readonly property Item mouseMain: mouseSlot.item
    readonly property Item macroEditorMain: macroEditorSlot.item
    readonly property Item gunControlMain: gunControlSlot.item
    readonly property Item systemSettingMain: systemSettingSlot.item
    readonly property Item keyAssigmentMain: keyAssigmentSlot.item
    readonly property Item profileMain: profileSlot.item
    readonly property var _KeyCodeString: keyCodeSlot.item

    // Busy state has two owners: the protect interval and controlUIEnable.
    // Input comes back only when neither holds it, so a timer running out
    // cannot unlock the window in the middle of a Save.
    property bool protectActive: false
    property bool controlLocked: false
    readonly property bool busy: protectActive || controlLocked
    readonly property bool uiShown: !startLogo.visible
    readonly property bool anyUnsaved: isSaveSet(keyMatrixMain) || isSaveSet(dpiSettingMain)
                                       || isSaveSet(lightControlMain)
    property string aboutText: ""
    property alias protectTimer: protectTimer

    signal msg_KB(bool isDown, int usbCode)
    signal msg_MS(bool isDown, int buttonCode, int x, int y)

    // ---- functions the native side calls ----

    function run() {
    }

    function detectKeyboard(isDown, usbCode) {
        msg_KB(isDown, usbCode);
    }

    function detectMouse(isDown, buttonCode, x, y) {
        msg_MS(isDown, buttonCode, x, y);
    }

    function setCurrentDPI(dpiValue) {
        var v = U.toInt(dpiValue, 0);
        // Stage numbers come from the mouse; 0 means "no stage", and a stage
        // beyond the eight the panel has cannot be shown.
        if (v < 1 || v > 8)
            return;
        if (dpiSettingMain && dpiSettingMain.currentDPI !== undefined)
            dpiSettingMain.currentDPI = v - 1;
    }

    function setProtectUI(interval) {
        protectActive = true;
        ui_View.setEnabled(false);
        protectTimer.interval = Math.max(0, U.toInt(interval, 1000));
        protectTimer.restart();
    }

    function controlUIEnable(enable) {
        if (!enable) {
            controlLocked = true;
            ui_View.setEnabled(false);
            return;
        }
        controlLocked = false;
        if (!protectActive)
            ui_View.setEnabled(true);
    }

    function initUI() {
        setProtectUI(1000);
        mainIten.visible = true;
        if (!isPownOn) {
            readGlobalState();
            aboutText = "SKARN SK-70 mouse configuration\nVersion 0.1.0\n"
                    + "Settings are kept on this computer and in the mouse.";
            if (icType === "560") {
                var onBoard = U.toInt(ui_View.mouseReadCurrentProfile(), -1);
                if (onBoard !== 1)
                    hid.hid560_02H_SetCurrentProfile(1);
            }
            fetchTexts();
            U.call(reportRateRect, "init", [false]);
            U.call(profileMain, "init");
            currentProfile = readProfileNo();
            if (profileMain && profileMain.profileNo !== undefined)
                profileMain.profileNo = currentProfile;
            // Entries keep their own profile numbers, which stop matching
            // list positions once a middle entry has been deleted.
            menu_Up.selectProfile(U.has(profileMain, "positionOfProfile")
                                  ? Math.max(0, profileMain.positionOfProfile(currentProfile))
                                  : currentProfile);
            ui_View.setCurrentProfile(currentProfile);
            U.call(macroEditorMain, "init");
            U.call(gunControlMain, "init");
            U.call(keyAssigmentMain, "init");
            U.call(keyMatrixMain, "init", [false, false]);
            U.call(dpiSettingMain, "init", [false, false]);
            U.call(lightControlMain, "init", [false, false]);
            U.call(systemSettingMain, "init", [false, false]);
            isPownOn = true;
        }
        var stage = U.toInt(ui_View.mouseGetCurrentDPI(), 0);
        if (stage >= 1 && dpiSettingMain && dpiSettingMain.currentDPI !== undefined)
            dpiSettingMain.currentDPI = stage - 1;
    }

    // ---- start-up helpers ----

    function readGlobalState() {
        isColorful = U.toBool(ui_View.getGlobalData("mouse/isColorful"), false);
        icType = U.toText(ui_View.getGlobalData("mouse/icType"), "");
        is55328 = U.toBool(ui_View.getGlobalData("mouse/is55328"), false);
        isGun = U.toBool(ui_View.getGlobalData("mouse/isGun"), false);
        keyCount = U.clamp(U.toInt(ui_View.getGlobalData("mouse/keyCount"), 8), 0, 16);
        if (mouseMain && mouseMain.keyCount !== undefined)
            mouseMain.keyCount = keyCount;
        language = U.toText(ui_View.getGlobalData("common/language"), language);
    }

    function fetchTexts() {
        var groups = [["main", null, ""], ["keyMatrix", keyMatrixMain, "keyMatrixLang"],
                      ["keyAssigment", keyAssigmentMain, "keyAssigmentLang"],
                      ["dpiSetting", dpiSettingMain, "dpiSettingLang"],
                      ["lightControl", lightControlMain, "lightControlLang"],
                      ["macroEditor", macroEditorMain, "macroEditorLang"],
                      ["systemSetting", systemSettingMain, "systemSettingLang"],
                      ["gunControl", gunControlMain, "gunControlLang"],
                      ["profile", profileMain, "profileLang"],
                      ["keyCode", _KeyCodeString, "keyCodeLang"]];
        var texts = {};
        for (var i = 0; i < groups.length; ++i) {
            var list = U.toList(ui_View.getLangStrings(groups[i][0], language));
            texts[groups[i][0]] = list;
            var page = groups[i][1];
            if (page && page[groups[i][2]] !== undefined)
                page[groups[i][2]] = list;
        }
        mainLang = texts["main"];
        langTexts = texts;
        // Only the native side keeps anything of this group.
        ui_View.getLangStrings("other", language);
    }

    function readProfileNo() {
        var n = U.toInt(ui_View.getGlobalData("mouse/profileNo"), 0);
        return n >= 0 && n <= 9 ? n : 0;
    }

    function isSaveSet(page) {
        return page !== null && page !== undefined && page.isSave === true;
    }

    // ---- focus, dialogs, commands ----

    function closeDropDown(obj) {
        if (obj && U.has(obj, "closeMenu"))
            obj.closeMenu();
    }

    function mainFocus() {
        if (U.has(reportRateRect, "closeMenu"))
            reportRateRect.closeMenu();
        else if (reportRateRect)
            closeDropDown(reportRateRect.reportRateList);
        if (dpiSettingMain)
            closeDropDown(dpiSettingMain.dpiSegment);
        menu_Up.profileList.closeMenu();
        aboutPopup.visible = false;
        if (lightControlMain)
            closeDropDown(lightControlMain.lightModel);
    }

    // A press on the mask commits or closes whatever is open in the dialogs.
    function maskFocus() {
        if (macroEditorMain && macroEditorMain.visible)
            U.call(macroEditorMain, "macroEditorFocus");
        if (profileMain && profileMain.visible)
            U.call(profileMain, "profileFocus");
        if (gunControlMain && gunControlMain.visible)
            U.call(gunControlMain, "gunControlFocus");
        if (lightControlMain && lightControlMain.visible)
            U.call(lightControlMain, "lightControlFocus");
        if (systemSettingMain && systemSettingMain.visible)
            U.call(systemSettingMain, "systemSettingFocus");
    }

    function openDialog(dialog, withFocus) {
        if (!dialog)
            return;
        dialog.x = Math.round((width - dialog.width) / 2);
        dialog.y = Math.round((height - dialog.height) / 2);
        dialog.visible = true;
        mainMask.visible = true;
        if (withFocus)
            mainFocus();
    }

    function closeDialog(dialog) {
        if (dialog)
            dialog.visible = false;
        mainMask.visible = false;
    }

    function save() {
        var km = isSaveSet(keyMatrixMain);
        var dpi = isSaveSet(dpiSettingMain);
        var light = isSaveSet(lightControlMain);
        if (!km && !dpi && !light)
            return;
        controlUIEnable(false);
        if (km) {
            keyMatrixMain.isSave = false;
            if (U.has(keyMatrixMain, "saveData"))
                keyMatrixMain.saveData();
            else if (keyMatrixMain.modKeys)
                U.call(keyMatrixMain.modKeys, "saveData");
        }
        if (dpi) {
            dpiSettingMain.isSave = false;
            U.call(dpiSettingMain, "saveData", [true]);
        }
        if (light) {
            lightControlMain.isSave = false;
            U.call(lightControlMain, "saveData", [true, 0]);
        }
        controlUIEnable(true);
    }

    function clearSaveFlags() {
        var pages = [keyMatrixMain, dpiSettingMain, lightControlMain];
        for (var i = 0; i < pages.length; ++i)
            if (pages[i] && pages[i].isSave !== undefined)
                pages[i].isSave = false;
    }

    // The pages reload the current profile and send it; a gun mouse also
    // needs its gun key layers rebuilt.
    function reloadPagesAndSend() {
        U.call(keyMatrixMain, "init", [true, false]);
        U.call(reportRateRect, "init", [true]);
        U.call(dpiSettingMain, "init", [true, false]);
        U.call(lightControlMain, "init", [true, false]);
        U.call(systemSettingMain, "init", [true, false]);
        if (isGun) {
            ui_View.mouseSwitchKeyMatrix(1);
            ui_View.mouseResetKeyMatrix();
        }
    }

    function factoryReset() {
        controlUIEnable(false);
        factorysure.visible = false;
        mainMask.visible = false;
        clearSaveFlags();
        ui_View.resetProfile(currentProfile);
        reloadPagesAndSend();
        ui_View.mouseSetCurrentDPI(2);
        if (dpiSettingMain && dpiSettingMain.currentDPI !== undefined)
            dpiSettingMain.currentDPI = 1;
        U.call(gunControlMain, "resetData");
        controlUIEnable(true);
    }

    function switchProfile(position) {
        var p = U.has(profileMain, "profileNumberAt") ? profileMain.profileNumberAt(position)
                                                      : U.toInt(position, -1);
        if (p < 0 || p > 9 || p === currentProfile)
            return;
        controlUIEnable(false);
        currentProfile = p;
        if (profileMain && profileMain.profileNo !== undefined)
            profileMain.profileNo = p;
        ui_View.setGlobalData("mouse/profileNo", p);
        ui_View.setCurrentProfile(p);
        reloadPagesAndSend();
        controlUIEnable(true);
    }

    Timer {
        id: protectTimer
        interval: 1000
        repeat: false
        onTriggered: {
            mainIten.protectActive = false;
            if (!mainIten.controlLocked)
                ui_View.setEnabled(true);
            if (startLogo.visible)
                startLogo.visible = false;
        }
    }

    // 1. Dragging the window by any empty spot.
    MouseArea {
        id: windowDrag
        objectName: "windowDrag"
        anchors.fill: parent
        property real pressX: 0
        property real pressY: 0
        onPressed: function (mouse) {
            mainIten.mainFocus();
            pressX = mouse.x;
            pressY = mouse.y;
        }
        onPositionChanged: function (mouse) {
            ui_Ctl.onXChanged(Math.round(mouse.x - pressX));
            ui_Ctl.onYChanged(Math.round(mouse.y - pressY));
        }
    }

    // 2. Start-up logo, until the first protect interval ends.
    Image {
        id: startLogo
        objectName: "startLogo"
        anchors.centerIn: parent
        source: Style.image("index", "powerOn")
    }

    // 3. Background, title bar, title logo.
    Environment {
        id: environment
        objectName: "environment"
        visible: mainIten.uiShown
    }

    // 8. Mouse picture with its button hotspots (declared before the panels
    // are drawn over it would hide them, so it is raised by z instead).
    PageSlot {
        id: mouseSlot
        objectName: "mouseSlot"
        pageName: "mouseMain"
        source: Qt.resolvedUrl("J2/Mouse.qml")
        fillsWindow: true
        visible: mainIten.uiShown
        z: 1
        Image {
            x: 500 - width / 2
            y: 134
            source: Style.image("mouse", "MouseFront")
        }
    }

    // 4. Left column.
    Column {
        id: leftColumn
        objectName: "leftColumn"
        x: 24
        y: 88
        spacing: 8
        visible: mainIten.uiShown
        z: 2

        PageSlot {
            id: keyMatrixSlot
            objectName: "keyMatrixSlot"
            pageName: "keyMatrixMain"
            source: Qt.resolvedUrl("J2/KeyMatrix.qml")
            fallbackWidth: 232
            fallbackHeight: 40 + 24 * mainIten.keyCount + 2 * (mainIten.keyCount - 1) + 8
            Rectangle {
                anchors.fill: parent
                color: mainIten.colorBlack
            }
        }

        Rectangle {
            id: editorBlock
            objectName: "editorBlock"
            width: 232
            height: mainIten.isGun ? 100 : 76
            color: mainIten.colorBlack
            Text {
                x: 8
                y: 12
                text: mainIten.mainLang[0] || ""
                color: mainIten.textColor
                font.family: mainIten.fontFamily
                font.pixelSize: mainIten.fontMiddleSize
                font.bold: true
            }
            TextButton {
                id: macroEditorRow
                objectName: "macroEditorRow"
                x: 8
                y: 40
                width: 216
                height: 24
                normalColor: mainIten.colorBlack
                text: mainIten.mainLang[1] || ""
                onClicked: mainIten.openDialog(macroEditorMain, true)
            }
            Rectangle {
                x: 8
                y: 64
                width: 216
                height: 1
                visible: mainIten.isGun
                color: mainIten.colorGray0
            }
            TextButton {
                id: gunEditorRow
                objectName: "gunEditorRow"
                x: 8
                y: 65
                width: 216
                height: 24
                visible: mainIten.isGun
                normalColor: mainIten.colorBlack
                text: mainIten.mainLang[2] || ""
                onClicked: mainIten.openDialog(gunControlMain, true)
            }
        }

        PageSlot {
            id: reportRateSlot
            objectName: "reportRateSlot"
            pageName: "reportRateRect"
            source: Qt.resolvedUrl("J2/ReportRate.qml")
            // its list opens downwards over the system-setting row
            z: 1
            fallbackWidth: 232
            fallbackHeight: 42
            Rectangle {
                anchors.fill: parent
                color: mainIten.colorBlack
                Text {
                    x: 8
                    anchors.verticalCenter: parent.verticalCenter
                    text: mainIten.mainLang[3] || ""
                    color: mainIten.textColor
                    font.family: mainIten.fontFamily
                    font.pixelSize: mainIten.fontMiddleSize
                }
            }
        }

        TextButton {
            id: systemSettingRow
            objectName: "systemSettingRow"
            width: 232
            height: 24
            bold: true
            normalColor: mainIten.colorBlack
            text: mainIten.mainLang[9] || ""
            onClicked: mainIten.openDialog(systemSettingMain, false)
        }
    }

    // 5. Bottom bar.
    Row {
        id: bottomBar
        objectName: "bottomBar"
        anchors.right: parent.right
        anchors.rightMargin: 24
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 8
        spacing: 16
        visible: mainIten.uiShown
        z: 2

        TextButton {
            id: configButton
            objectName: "configButton"
            text: mainIten.mainLang[4] || ""
            onClicked: mainIten.openDialog(profileMain, true)
        }
        TextButton {
            id: resetButton
            objectName: "resetButton"
            text: mainIten.mainLang[5] || ""
            onClicked: mainIten.openDialog(factorysure, true)
        }
        TextButton {
            id: saveButton
            objectName: "saveButton"
            text: mainIten.mainLang[10] || ""
            normalColor: mainIten.anyUnsaved ? Style.colorAlarm : mainIten.colorBlue
            onClicked: mainIten.save()
        }
    }

    // 6. Right column.
    Column {
        id: rightColumn
        objectName: "rightColumn"
        x: 768
        y: 56
        spacing: 8
        visible: mainIten.uiShown
        z: 2

        PageSlot {
            id: dpiSettingSlot
            objectName: "dpiSettingSlot"
            pageName: "dpiSettingMain"
            source: Qt.resolvedUrl("J2/DpiSetting.qml")
            fallbackWidth: 232
            fallbackHeight: 256
            Rectangle {
                anchors.fill: parent
                color: mainIten.colorBlack
            }
        }
        PageSlot {
            id: lightControlSlot
            objectName: "lightControlSlot"
            pageName: "lightControlMain"
            source: Qt.resolvedUrl("J2/LightControl.qml")
            fallbackWidth: 232
            fallbackHeight: 264
            Rectangle {
                anchors.fill: parent
                color: mainIten.colorBlack
            }
        }
    }

    // 7. Title-bar controls and the profile drop-down.
    Menu_Up {
        id: menu_Up
        objectName: "menu_Up"
        x: 920
        y: 16
        z: 3
        visible: mainIten.uiShown
        profileModel: profileMain && profileMain.profileDataModel0 ? profileMain.profileDataModel0
                                                                    : fallbackProfiles
        onHelpClicked: aboutPopup.visible = true
        onMinimizeClicked: ui_Ctl.onMinimize()
        onCloseClicked: ui_Ctl.onClose()
        onProfileChosen: function (position) {
            if (mainIten.profileMain && U.has(mainIten.profileMain, "changeProfile"))
                mainIten.profileMain.changeProfile(position);
            else
                mainIten.switchProfile(position);
        }
    }
    ListModel {
        id: fallbackProfiles
        ListElement { textValue: "Standard"; profileNo: 0 }
    }
    Connections {
        target: mainIten.profileMain
        ignoreUnknownSignals: true
        function onChangeProfile(position) { mainIten.switchProfile(position); }
    }

    // The key label table has no picture; its slot only holds it.
    PageSlot {
        id: keyCodeSlot
        objectName: "keyCodeSlot"
        pageName: "_KeyCodeString"
        source: Qt.resolvedUrl("J2/KeyCodeString.qml")
        visible: false
    }

    // 9. Dimming mask under the dialogs.
    Rectangle {
        id: mainMask
        objectName: "mainMask"
        anchors.fill: parent
        color: "#90000000"
        visible: false
        z: 10
        MouseArea {
            anchors.fill: parent
            hoverEnabled: true
            property real pressX: 0
            property real pressY: 0
            onPressed: function (mouse) {
                mainIten.maskFocus();
                pressX = mouse.x;
                pressY = mouse.y;
            }
            onPositionChanged: function (mouse) {
                if (!pressed)
                    return;
                ui_Ctl.onXChanged(Math.round(mouse.x - pressX));
                ui_Ctl.onYChanged(Math.round(mouse.y - pressY));
            }
            onWheel: function (wheel) { wheel.accepted = true; }
        }
    }

    // 10. Dialogs, hidden until opened.
    Item {
        id: dialogLayer
        objectName: "dialogLayer"
        anchors.fill: parent
        z: 11

        PageSlot {
            id: macroEditorSlot
            objectName: "macroEditorSlot"
            pageName: "macroEditorMain"
            source: Qt.resolvedUrl("J2/MacroEditor.qml")
            fillsWindow: true
            onItemChanged: if (item) item.visible = false
        }
        PageSlot {
            id: gunControlSlot
            objectName: "gunControlSlot"
            pageName: "gunControlMain"
            source: Qt.resolvedUrl("J2/GunControl.qml")
            fillsWindow: true
            onItemChanged: if (item) item.visible = false
        }
        PageSlot {
            id: systemSettingSlot
            objectName: "systemSettingSlot"
            pageName: "systemSettingMain"
            source: Qt.resolvedUrl("J2/SystemSetting.qml")
            fillsWindow: true
            onItemChanged: if (item) item.visible = false
        }
        PageSlot {
            id: keyAssigmentSlot
            objectName: "keyAssigmentSlot"
            pageName: "keyAssigmentMain"
            source: Qt.resolvedUrl("J2/KeyAssigment.qml")
            fillsWindow: true
            onItemChanged: if (item) item.visible = false
        }
        PageSlot {
            id: profileSlot
            objectName: "profileSlot"
            pageName: "profileMain"
            source: Qt.resolvedUrl("J2/Profile.qml")
            fillsWindow: true
            onItemChanged: if (item) item.visible = false
        }
        FactorySure {
            id: factorysure
            objectName: "factorysure"
            visible: false
            x: Math.round((1024 - width) / 2)
            y: Math.round((640 - height) / 2)
            titleText: mainIten.mainLang[5] || ""
            messageText: mainIten.mainLang[6] || ""
            okText: mainIten.mainLang[8] || ""
            cancelText: mainIten.mainLang[7] || ""
            onAccepted: mainIten.factoryReset()
            onRejected: mainIten.closeDialog(factorysure)
        }
    }

    // 11. About pop-up.
    Rectangle {
        id: aboutPopup
        objectName: "aboutPopup"
        x: 724
        y: 30
        width: 200
        height: 64
        z: 20
        visible: false
        color: mainIten.colorGray0
        border.color: mainIten.colorGray1
        Rectangle {
            id: aboutItem
            x: 1
            y: 0
            width: parent.width - 2
            height: 64
            color: aboutArea.containsMouse ? mainIten.colorOrange : "transparent"
            Text {
                anchors.fill: parent
                anchors.margins: 6
                verticalAlignment: Text.AlignVCenter
                text: mainIten.aboutText
                color: mainIten.textColor
                font.family: mainIten.fontFamily
                font.pixelSize: mainIten.fontMinSize
                wrapMode: Text.Wrap
                lineHeight: 1.1
            }
            MouseArea {
                id: aboutArea
                anchors.fill: parent
                hoverEnabled: true
                onClicked: aboutPopup.visible = false
            }
        }
    }

    // 12. Busy indicator; while busy nothing under it gets any input, even
    // if the native lock is not there (offscreen, tests).
    MouseArea {
        id: inputLock
        objectName: "inputLock"
        anchors.fill: parent
        z: 30
        enabled: mainIten.busy
        hoverEnabled: true
        preventStealing: true
        acceptedButtons: Qt.AllButtons
        onWheel: function (wheel) { wheel.accepted = true; }
    }
    BusyIndicator {
        id: busyIndicator
        objectName: "busyIndicator"
        anchors.centerIn: parent
        z: 31
        running: mainIten.busy
    }
}
