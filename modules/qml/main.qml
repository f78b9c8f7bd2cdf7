import QtQuick
import "basic/util.js" as U

// Root of the scene. The native side publishes ui_View, ui_Ctl and hid (see
// Native) and calls initUI, run, setProtectUI, setCurrentDPI, detectKeyboard
// and detectMouse by name. The panels and dialogs are declared here under
// their ids and published as root properties of the same names for the
// native side and the tests; the window wires them to each other.
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

    readonly property KeyMatrix keyMatrixMain: keyMatrixMain
    readonly property ReportRate reportRateRect: reportRateRect
    readonly property DpiSetting dpiSettingMain: dpiSettingMain
    readonly property LightControl lightControlMain: lightControlMain
    readonly property Mouse mouseMain: mouseMain
    readonly property MacroEditor macroEditorMain: macroEditorMain
    readonly property GunControl gunControlMain: gunControlMain
    readonly property SystemSetting systemSettingMain: systemSettingMain
    readonly property KeyAssigment keyAssigmentMain: keyAssigmentMain
    readonly property Profile profileMain: profileMain
    readonly property KeyCodeString _KeyCodeString: _KeyCodeString

    // Busy state has two owners: the protect interval and controlUIEnable.
    // Input comes back only when neither holds it, so a timer running out
    // cannot unlock the window in the middle of a Save.
    property bool protectActive: false
    property bool controlLocked: false
    readonly property bool busy: protectActive || controlLocked
    readonly property bool uiShown: !startLogo.visible
    readonly property bool anyUnsaved: keyMatrixMain.isSave || dpiSettingMain.isSave
                                       || lightControlMain.isSave
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

    // Key events reach the macro editor's recording and insert-key box and
    // the key dialog's captures.
    onMsg_KB: function (isDown, usbCode) {
        macroEditorMain.keyboardEvent(isDown, usbCode);
        keyAssigmentMain.keyboardEvent(isDown, usbCode);
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
        dpiSettingMain.currentDPI = v - 1;
    }

    function setProtectUI(interval) {
        protectActive = true;
        Native.view.setEnabled(false);
        protectTimer.interval = Math.max(0, U.toInt(interval, 1000));
        protectTimer.restart();
    }

    function controlUIEnable(enable) {
        if (!enable) {
            controlLocked = true;
            Native.view.setEnabled(false);
            return;
        }
        controlLocked = false;
        if (!protectActive)
            Native.view.setEnabled(true);
    }

    function initUI() {
        setProtectUI(1000);
        mainIten.visible = true;
        if (!isPownOn) {
            readGlobalState();
            aboutText = "SKARN SK-70 mouse configuration\nVersion 0.1.0\n"
                    + "Settings are kept on this computer and in the mouse.";
            if (icType === "560") {
                var onBoard = U.toInt(Native.view.mouseReadCurrentProfile(), -1);
                if (onBoard !== 1)
                    Native.device.hid560_02H_SetCurrentProfile(1);
            }
            fetchTexts();
            reportRateRect.init(false);
            profileMain.init();
            currentProfile = readProfileNo();
            profileMain.profileNo = currentProfile;
            // Entries keep their own profile numbers, which stop matching
            // list positions once a middle entry has been deleted.
            menu_Up.selectProfile(Math.max(0, profileMain.positionOfProfile(currentProfile)));
            Native.view.setCurrentProfile(currentProfile);
            macroEditorMain.init();
            gunControlMain.init();
            keyAssigmentMain.init();
            keyMatrixMain.init(false, false);
            dpiSettingMain.init(false, false);
            lightControlMain.init(false, false);
            systemSettingMain.init(false, false);
            isPownOn = true;
        }
        var stage = U.toInt(Native.view.mouseGetCurrentDPI(), 0);
        if (stage >= 1)
            dpiSettingMain.currentDPI = stage - 1;
    }

    // ---- start-up helpers ----

    function readGlobalState() {
        isColorful = U.toBool(Native.view.getGlobalData("mouse/isColorful"), false);
        icType = U.toText(Native.view.getGlobalData("mouse/icType"), "");
        is55328 = U.toBool(Native.view.getGlobalData("mouse/is55328"), false);
        isGun = U.toBool(Native.view.getGlobalData("mouse/isGun"), false);
        keyCount = U.clamp(U.toInt(Native.view.getGlobalData("mouse/keyCount"), 8), 0, 16);
        language = U.toText(Native.view.getGlobalData("common/language"), language);
    }

    function fetchTexts() {
        var groups = ["main", "keyMatrix", "keyAssigment", "dpiSetting", "lightControl",
                      "macroEditor", "systemSetting", "gunControl", "profile", "keyCode"];
        var texts = {};
        for (var i = 0; i < groups.length; ++i)
            texts[groups[i]] = U.toList(Native.view.getLangStrings(groups[i], language));
        mainLang = texts["main"];
        keyMatrixMain.keyMatrixLang = texts["keyMatrix"];
        keyAssigmentMain.keyAssigmentLang = texts["keyAssigment"];
        dpiSettingMain.dpiSettingLang = texts["dpiSetting"];
        lightControlMain.lightControlLang = texts["lightControl"];
        macroEditorMain.macroEditorLang = texts["macroEditor"];
        systemSettingMain.systemSettingLang = texts["systemSetting"];
        gunControlMain.gunControlLang = texts["gunControl"];
        profileMain.profileLang = texts["profile"];
        _KeyCodeString.keyCodeLang = texts["keyCode"];
        langTexts = texts;
        // Only the native side keeps anything of this group.
        Native.view.getLangStrings("other", language);
    }

    function readProfileNo() {
        var n = U.toInt(Native.view.getGlobalData("mouse/profileNo"), 0);
        return n >= 0 && n <= 9 ? n : 0;
    }

    // ---- focus, dialogs, commands ----

    function mainFocus() {
        reportRateRect.reportRateList.closeMenu();
        dpiSettingMain.dpiSegment.closeMenu();
        menu_Up.profileList.closeMenu();
        aboutPopup.visible = false;
        lightControlMain.lightModel.closeMenu();
    }

    // A press on the mask commits or closes whatever is open in the dialogs.
    function maskFocus() {
        if (macroEditorMain.visible)
            macroEditorMain.macroEditorFocus();
        if (profileMain.visible)
            profileMain.profileFocus();
        if (gunControlMain.visible)
            gunControlMain.gunControlFocus();
        if (lightControlMain.visible)
            lightControlMain.lightControlFocus();
        if (systemSettingMain.visible)
            systemSettingMain.systemSettingFocus();
    }

    function openDialog(dialog, withFocus) {
        dialog.x = Math.round((width - dialog.width) / 2);
        dialog.y = Math.round((height - dialog.height) / 2);
        dialog.visible = true;
        mainMask.visible = true;
        if (withFocus)
            mainFocus();
    }

    function closeDialog(dialog) {
        dialog.visible = false;
        mainMask.visible = false;
    }

    function save() {
        var km = keyMatrixMain.isSave;
        var dpi = dpiSettingMain.isSave;
        var light = lightControlMain.isSave;
        if (!km && !dpi && !light)
            return;
        controlUIEnable(false);
        if (km) {
            keyMatrixMain.isSave = false;
            keyMatrixMain.modKeys.saveData();
        }
        if (dpi) {
            dpiSettingMain.isSave = false;
            dpiSettingMain.saveData(true);
        }
        if (light) {
            lightControlMain.isSave = false;
            lightControlMain.saveData(true, 0);
        }
        controlUIEnable(true);
    }

    function clearSaveFlags() {
        keyMatrixMain.isSave = false;
        dpiSettingMain.isSave = false;
        lightControlMain.isSave = false;
    }

    // The pages reload the current profile and send it; a gun mouse also
    // needs its gun key layers rebuilt.
    function reloadPagesAndSend() {
        keyMatrixMain.init(true, false);
        reportRateRect.init(true);
        dpiSettingMain.init(true, false);
        lightControlMain.init(true, false);
        systemSettingMain.init(true, false);
        if (isGun) {
            Native.view.mouseSwitchKeyMatrix(1);
            Native.view.mouseResetKeyMatrix();
        }
    }

    function factoryReset() {
        controlUIEnable(false);
        factorysure.visible = false;
        mainMask.visible = false;
        clearSaveFlags();
        Native.view.resetProfile(currentProfile);
        reloadPagesAndSend();
        Native.view.mouseSetCurrentDPI(2);
        dpiSettingMain.currentDPI = 1;
        gunControlMain.resetData();
        controlUIEnable(true);
    }

    function switchProfile(position) {
        var p = profileMain.profileNumberAt(position);
        if (p < 0 || p > 9 || p === currentProfile)
            return;
        controlUIEnable(false);
        currentProfile = p;
        profileMain.profileNo = p;
        Native.view.setGlobalData("mouse/profileNo", p);
        Native.view.setCurrentProfile(p);
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
                Native.view.setEnabled(true);
            if (startLogo.visible)
                startLogo.visible = false;
        }
    }

    // Dragging the window by any empty spot.
    MouseArea {
        id: windowDrag
        objectName: "windowDrag"
        anchors.fill: parent
        property real pressX: 0
        property real pressY: 0
        // The window system moves the window (and snaps it) where it can;
        // only where it cannot does the scene move it by offsets.
        property bool systemMove: false
        onPressed: function (mouse) {
            mainIten.mainFocus();
            pressX = mouse.x;
            pressY = mouse.y;
            systemMove = Native.window.startSystemMove();
        }
        onPositionChanged: function (mouse) {
            if (systemMove)
                return;
            Native.window.onXChanged(Math.round(mouse.x - pressX));
            Native.window.onYChanged(Math.round(mouse.y - pressY));
        }
    }

    // Start-up logo, until the first protect interval ends. It shows once,
    // so its picture is decoded only while it shows and not kept after.
    Image {
        id: startLogo
        objectName: "startLogo"
        anchors.centerIn: parent
        cache: false
        source: visible ? Style.image("index", "powerOn") : ""
    }

    // Background, title bar, title logo.
    Environment {
        id: environment
        objectName: "environment"
        visible: mainIten.uiShown
    }

    // The mouse picture with its button hotspots; declared before the
    // panels, so it is raised by z to stay above the background.
    Mouse {
        id: mouseMain
        objectName: "mouseMain"
        visible: mainIten.uiShown
        z: 1
        keyCount: mainIten.keyCount
        onKeyClicked: function (index) { keyMatrixMain.openKeyAssigment(index, true); }
    }

    // Left column.
    Column {
        id: leftColumn
        objectName: "leftColumn"
        x: 24
        y: 88
        spacing: 8
        visible: mainIten.uiShown
        z: 2

        KeyMatrix {
            id: keyMatrixMain
            objectName: "keyMatrixMain"
            keyCount: mainIten.keyCount
            mouseMain: mouseMain
            keyAssigmentMain: keyAssigmentMain
            gunControlMain: gunControlMain
            onDialogOpening: {
                mainMask.visible = true;
                mainIten.mainFocus();
            }
        }

        Rectangle {
            id: editorBlock
            objectName: "editorBlock"
            width: 232
            height: mainIten.isGun ? 100 : 76
            color: Style.colorBlack
            Text {
                x: 8
                y: 12
                text: mainIten.mainLang[0] || ""
                color: Style.textColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontMiddleSize
                font.bold: true
            }
            TextButton {
                id: macroEditorRow
                objectName: "macroEditorRow"
                x: 8
                y: 40
                width: 216
                height: 24
                normalColor: Style.colorBlack
                text: mainIten.mainLang[1] || ""
                onClicked: mainIten.openDialog(macroEditorMain, true)
            }
            Rectangle {
                x: 8
                y: 64
                width: 216
                height: 1
                visible: mainIten.isGun
                color: Style.colorGray0
            }
            TextButton {
                id: gunEditorRow
                objectName: "gunEditorRow"
                x: 8
                y: 65
                width: 216
                height: 24
                visible: mainIten.isGun
                normalColor: Style.colorBlack
                text: mainIten.mainLang[2] || ""
                onClicked: mainIten.openDialog(gunControlMain, true)
            }
        }

        ReportRate {
            id: reportRateRect
            objectName: "reportRateRect"
            // its list opens downwards over the system-setting row
            z: 1
            title: mainIten.mainLang[3] || ""
        }

        TextButton {
            id: systemSettingRow
            objectName: "systemSettingRow"
            width: 232
            height: 24
            bold: true
            normalColor: Style.colorBlack
            text: mainIten.mainLang[9] || ""
            onClicked: mainIten.openDialog(systemSettingMain, false)
        }
    }

    // Bottom bar.
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
            normalColor: mainIten.anyUnsaved ? Style.colorAlarm : Style.colorBlue
            onClicked: mainIten.save()
        }
    }

    // Right column.
    Column {
        id: rightColumn
        objectName: "rightColumn"
        x: 768
        y: 56
        spacing: 8
        visible: mainIten.uiShown
        z: 2

        DpiSetting {
            id: dpiSettingMain
            objectName: "dpiSettingMain"
        }
        LightControl {
            id: lightControlMain
            objectName: "lightControlMain"
            dpiSettingMain: dpiSettingMain
            isPownOn: mainIten.isPownOn
            isColorful: mainIten.isColorful
            is55328: mainIten.is55328
        }
    }

    // Title-bar controls and the profile drop-down.
    Menu_Up {
        id: menu_Up
        objectName: "menu_Up"
        x: 920
        y: 16
        z: 3
        visible: mainIten.uiShown
        profileModel: profileMain.profileDataModel0
        onHelpClicked: aboutPopup.visible = true
        onMinimizeClicked: Native.window.onMinimize()
        onCloseClicked: Native.window.onClose()
        onProfileChosen: function (position) { profileMain.changeProfile(position); }
    }

    // The key label table: codes and their labels, nothing to see.
    KeyCodeString {
        id: _KeyCodeString
        objectName: "_KeyCodeString"
    }

    // Dimming mask under the dialogs.
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
            property bool systemMove: false
            onPressed: function (mouse) {
                mainIten.maskFocus();
                pressX = mouse.x;
                pressY = mouse.y;
                systemMove = Native.window.startSystemMove();
            }
            onPositionChanged: function (mouse) {
                if (!pressed || systemMove)
                    return;
                Native.window.onXChanged(Math.round(mouse.x - pressX));
                Native.window.onYChanged(Math.round(mouse.y - pressY));
            }
            onWheel: function (wheel) { wheel.accepted = true; }
        }
    }

    // Dialogs, hidden until opened.
    Item {
        id: dialogLayer
        objectName: "dialogLayer"
        anchors.fill: parent
        z: 11

        MacroEditor {
            id: macroEditorMain
            objectName: "macroEditorMain"
            visible: false
            keyMatrixMain: keyMatrixMain
            keyAssigmentMain: keyAssigmentMain
            keyCodeTable: _KeyCodeString
            onClosed: mainMask.visible = false
        }
        GunControl {
            id: gunControlMain
            objectName: "gunControlMain"
            visible: false
            keyMatrixMain: keyMatrixMain
            onClosed: mainMask.visible = false
        }
        SystemSetting {
            id: systemSettingMain
            objectName: "systemSettingMain"
            visible: false
            onClosed: mainMask.visible = false
            onFocusRequested: mainIten.mainFocus()
        }
        KeyAssigment {
            id: keyAssigmentMain
            objectName: "keyAssigmentMain"
            visible: false
            keyMatrixMain: keyMatrixMain
            mouseMain: mouseMain
            keyCodeTable: _KeyCodeString
            macroEditorPage: macroEditorMain
            isGun: mainIten.isGun
            onClosed: mainMask.visible = false
            onMacroEditorRequested: mainIten.openDialog(macroEditorMain, true)
        }
        Profile {
            id: profileMain
            objectName: "profileMain"
            visible: false
            menu_Up: menu_Up
            onClosed: mainMask.visible = false
            onChangeProfile: function (position) { mainIten.switchProfile(position); }
            onCurrentProfileReplaced: {
                mainIten.controlUIEnable(false);
                mainIten.reloadPagesAndSend();
                mainIten.controlUIEnable(true);
            }
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

    // About pop-up.
    Rectangle {
        id: aboutPopup
        objectName: "aboutPopup"
        x: 724
        y: 30
        width: 200
        height: 64
        z: 20
        visible: false
        color: Style.colorGray0
        border.color: Style.colorGray1
        Rectangle {
            id: aboutItem
            x: 1
            y: 0
            width: parent.width - 2
            height: 64
            color: aboutArea.containsMouse ? Style.colorOrange : "transparent"
            Text {
                anchors.fill: parent
                anchors.margins: 6
                verticalAlignment: Text.AlignVCenter
                text: mainIten.aboutText
                color: Style.textColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontMinSize
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

    // Busy indicator; while busy nothing under it gets any input, even
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
