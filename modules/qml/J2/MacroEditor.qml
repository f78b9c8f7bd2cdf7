pragma ComponentBehavior: Bound
import QtQuick
import ".."
import "../basic/util.js" as U
import "../basic/names.js" as Names
import "MacroEncoder.js" as Enc
import "MacroSteps.js" as Steps

// The macro editor dialog: macro names on the left, the steps of the chosen
// macro on the right, recording, step editing and the repeat count. Every
// change is written to the macro's file at once and downloaded again to
// every button that plays the macro.
Rectangle {
    id: macroEditorMain

    property var macroEditorLang: ["Macro Editor", "Macro Name", "New", "Delete", "Action",
        "Stop Record", "Times", "OK", "Start Record", "Delay", "Delete", "Import", "Export",
        "Insert Delay", "Insert Key", "Insert Left Key", "Insert Middle Key", "Insert Right Key",
        "", ""]
    // The controller; a test may put a recorder with macro files here.
    // The native side publishes the view only after the scene is loaded, so
    // it is looked up when first used rather than bound at creation.
    property var view: null
    function ctl() { return view !== null ? view : Native.view; }

    readonly property int maxMacros: 100
    // Name that the name list file uses to mark a one-name list; a macro
    // called so would vanish from the list on the next start.
    readonly property string listSentinel: "loadervortex"

    property int currentRow: -1
    property int stepRow: -1
    property bool isInputting: false
    property bool isInsertting: false
    property int tickCount: 0
    property string insertLabel: ""
    property int renameRow: -1
    property int pauseRow: -1

    property alias macroNameModel: macroNameModel
    property alias macroStepModel: macroStepModel
    property alias recordTimer: recordTimer
    // What the open in-place editors hold.
    property string renameText: ""
    property alias pauseText: pauseEditor.text

    // The controls are made when the editor first shows (or a command first
    // needs them) and kept from then on; until then the names, the steps
    // and the functions above are all there is of it.
    property Body body: null

    function ui(): Body {
        if (body === null) {
            var made = bodyComponent.createObject(macroEditorMain);
            body = made;
        }
        return body;
    }

    onVisibleChanged: {
        if (visible)
            ui();
    }

    // The panel whose buttons may hold macros, the dialog that lists them,
    // and the key label table.
    property KeyMatrix keyMatrixMain: null
    property KeyAssigment keyAssigmentMain: null
    property KeyCodeString keyCodeTable: null

    signal closed
    signal deleteMacro(string name)
    signal modifyMacroName(string oldName, string newName)
    signal modifyMacroData(string name)

    width: 640
    height: 448
    color: Style.colorGray0

    function lang(i) {
        var l = macroEditorLang;
        return l && i < l.length && l[i] !== undefined && l[i] !== null ? String(l[i]) : "";
    }

    // ---- key labels ----

    function labelOf(code) {
        return keyCodeTable ? U.toText(keyCodeTable.keycodeTostr(code), "") : "";
    }

    function codeOf(label) {
        return keyCodeTable ? U.toInt(keyCodeTable.strTokeycode(label), 0) : 0;
    }

    // ---- names ----

    function names() {
        var out = [];
        for (let i = 0; i < macroNameModel.count; ++i)
            out.push(macroNameModel.get(i).textValue);
        return out;
    }

    function currentName() {
        return currentRow >= 0 && currentRow < macroNameModel.count
                ? macroNameModel.get(currentRow).textValue : "";
    }

    function hasName(name) {
        return Names.taken(names(), name, -1);
    }

    function feedKeyAssigment() {
        if (keyAssigmentMain)
            keyAssigmentMain.setMacroNames(names());
    }

    function storeNames() {
        ctl().updataNameList(0, names());
        feedKeyAssigment();
    }

    // "Macro_" with the lowest free number, or "" when the list is full.
    function freeName() {
        if (macroNameModel.count >= maxMacros)
            return "";
        return Names.firstFree(names(), "Macro_", maxMacros);
    }

    function init() {
        var list = U.toList(ctl().getNameList(0));
        if (list.length === 2 && String(list[1]) === listSentinel)
            list = [list[0]];
        macroNameModel.clear();
        for (var i = 0; i < list.length && macroNameModel.count < maxMacros; ++i) {
            var name = U.toText(list[i], "");
            // A damaged list must not show a macro twice or one without a file name.
            if (name !== "" && !hasName(name))
                macroNameModel.append({ textValue: name });
        }
        currentRow = -1;
        clearSteps();
        feedKeyAssigment();
    }

    // ---- steps ----

    function clearSteps() {
        macroStepModel.clear();
        stepRow = -1;
        pauseRow = -1;
    }

    function selectMacro(row) {
        endRename();
        endPauseEdit();
        if (isInputting)
            stopRecording();
        if (row < 0 || row >= macroNameModel.count) {
            currentRow = -1;
            clearSteps();
            return;
        }
        currentRow = row;
        loadSteps();
    }

    function loadSteps() {
        clearSteps();
        var stored = Steps.fromStored(U.toList(ctl().loadMacroIni(currentName())), U.toInt);
        for (let i = 0; i < stored.steps.length; ++i)
            macroStepModel.append(stored.steps[i]);
        ui().repeatBox.textValue = String(stored.repeat);
    }

    function steps() {
        var out = [];
        for (let i = 0; i < macroStepModel.count; ++i) {
            var r = macroStepModel.get(i);
            out.push({ type: r.type, info: r.info });
        }
        return out;
    }

    function stepStrings() {
        var out = [];
        for (let i = 0; i < macroStepModel.count; ++i) {
            var r = macroStepModel.get(i);
            out.push(Enc.stepString(r.type, r.info));
        }
        return out;
    }

    function recordCount() {
        return Enc.imageLength(steps());
    }

    function canAdd(candidate) {
        return Steps.canAdd(steps(), candidate);
    }

    function canChange(candidate) {
        return Steps.canChange(steps(), candidate);
    }

    function repeatValue() {
        return U.clamp(U.toInt(ui().repeatBox.textValue, 0), 0, 65535);
    }

    function autosave() {
        var name = currentName();
        if (name === "")
            return;
        ctl().saveMacroIni(name, stepStrings(), repeatValue());
        modifyMacroData(name);
    }

    function sendMacro(buttonIndex, name) {
        var list = U.toList(ctl().loadMacroIni(U.toText(name, "")));
        // No file, nothing to play: the slot keeps what it has.
        if (list.length === 0)
            return false;
        ctl().mouseSendMacroData(Enc.encodeList(list, codeOf), buttonIndex);
        return true;
    }

    // ---- buttons bound to a macro (the window's side of the signals) ----

    function boundEntries(name) {
        var out = [];
        var km = keyMatrixMain;
        if (!km || !km.modKeys)
            return out;
        for (var j = 0; j < km.modKeys.count; ++j) {
            var r = km.modKeys.get(j);
            if (r.keyCode0 !== 0x04)
                continue;
            if (U.toText(ctl().getData("mouseMacroKey/" + r.keyCode2, false), "") === name)
                out.push(j);
        }
        return out;
    }

    onDeleteMacro: function (name) {
        var km = keyMatrixMain;
        var hit = boundEntries(name);
        for (var k = 0; k < hit.length; ++k) {
            var f = km.modKeys_tmp.get(hit[k]);
            km.modKeys.set(hit[k], {
                keyCode0: f.keyCode0,
                keyCode1: f.keyCode1,
                keyCode2: f.keyCode2,
                keyCode3: f.keyCode3,
                keyText: f.keyText
            });
        }
        if (hit.length > 0)
            km.modKeys.saveData();
        ctl().deleteMacroUpdateProfile(name);
    }

    onModifyMacroName: function (oldName, newName) {
        var km = keyMatrixMain;
        var hit = boundEntries(oldName);
        for (var k = 0; k < hit.length; ++k) {
            ctl().setData("mouseMacroKey/" + km.modKeys.get(hit[k]).keyCode2, newName);
            km.modKeys.setProperty(hit[k], "keyText", newName);
        }
    }

    onModifyMacroData: function (name) {
        var km = keyMatrixMain;
        var hit = boundEntries(name);
        for (var k = 0; k < hit.length; ++k)
            sendMacro(km.modKeys.get(hit[k]).keyCode2, name);
    }

    // ---- name list commands ----

    function newMacro() {
        var name = freeName();
        if (name === "")
            return false;
        endRename();
        macroNameModel.append({ textValue: name });
        ctl().createMacroIni(name, 0);
        selectMacro(macroNameModel.count - 1);
        storeNames();
        return true;
    }

    function importMacro() {
        var name = freeName();
        if (name === "")
            return false;
        endRename();
        var row = currentRow >= 0 ? currentRow : macroNameModel.count;
        macroNameModel.insert(row, { textValue: name });
        if (ctl().loadMacroFile(name) !== true)
            ctl().createMacroIni(name, 0);
        selectMacro(row);
        storeNames();
        return true;
    }

    function exportMacro() {
        if (currentRow >= 0)
            ctl().saveMacroFile(currentName());
    }

    function deleteCurrent() {
        if (currentRow < 0 || currentRow >= macroNameModel.count)
            return false;
        endRename();
        if (isInputting)
            stopRecording();
        var name = currentName();
        var row = currentRow;
        ctl().deleteMacroIni(name);
        clearSteps();
        deleteMacro(name);
        macroNameModel.remove(row);
        currentRow = -1;
        selectMacro(Math.min(row, macroNameModel.count - 1));
        storeNames();
        return true;
    }

    // The name becomes a file name on both systems the program runs on, so
    // it must be one there; the list sentinel would be dropped on reading.
    function validNewName(text, oldName) {
        var t = U.toText(text, "");
        if (t.trim() === "" || t === listSentinel || /[<>:"\/\\|?*\x00-\x1f]/.test(t))
            return false;
        return t !== oldName && !hasName(t);
    }

    function renameMacro(row, text) {
        if (row < 0 || row >= macroNameModel.count)
            return false;
        var oldName = macroNameModel.get(row).textValue;
        if (!validNewName(text, oldName))
            return false;
        modifyMacroName(oldName, text);
        if (ctl().modifyMacroNameUpdateProfile(oldName, text) === false) {
            // The file could not take the name (one is in the way): the
            // buttons keep playing the macro under its old name.
            modifyMacroName(text, oldName);
            return false;
        }
        macroNameModel.setProperty(row, "textValue", text);
        storeNames();
        return true;
    }

    function startRename(row) {
        if (row < 0 || row >= macroNameModel.count)
            return;
        endPauseEdit();
        if (renameRow >= 0 && renameRow !== row)
            endRename();
        selectMacro(row);
        renameRow = row;
    }

    function endRename() {
        if (renameRow < 0)
            return;
        var row = renameRow;
        var text = renameText;
        renameRow = -1;
        renameMacro(row, text);
    }

    // ---- recording ----

    function startRecording() {
        if (currentRow < 0 || isInputting)
            return;
        macroEditorFocus();
        clearSteps();
        tickCount = 0;
        isInputting = true;
        recordTimer.start();
    }

    function stopRecording() {
        if (!isInputting)
            return;
        recordTimer.stop();
        isInputting = false;
        autosave();
    }

    function toggleRecording() {
        if (isInputting)
            stopRecording();
        else
            startRecording();
    }

    // A key event while recording.
    function detectKeyboard(isDown, usbCode) {
        if (!isInputting || currentRow < 0 || recordCount() >= Enc.EDIT_LIMIT)
            return false;
        var code = U.toInt(usbCode, -1);
        var label = labelOf(code);
        // A key without a label could not be played back.
        if (label === "")
            return false;
        var mouse = code >= 0xF0;
        var type = isDown ? (mouse ? Enc.MOUSE_PRESS : Enc.KEY_PRESS)
                          : (mouse ? Enc.MOUSE_RELEASE : Enc.KEY_RELEASE);
        var added = [];
        if (macroStepModel.count > 0 && ui().delayCheck.isSelect)
            added.push({ type: Enc.PAUSE, info: String(tickCount * 10) });
        added.push({ type: type, info: label });
        if (!canAdd(steps().concat(added)))
            return false;
        tickCount = 0;
        for (var i = 0; i < added.length; ++i)
            macroStepModel.append(added[i]);
        ui().stepList.positionViewAtEnd();
        return true;
    }

    // A key event while the insert key box waits for one.
    function detectInput(isDown, usbCode) {
        if (!isInsertting)
            return;
        var code = U.toInt(usbCode, -1);
        if (code < 0 || code >= 0xF0)
            return;
        var label = labelOf(code);
        if (label !== "")
            insertLabel = label;
    }

    // A key event of the keyboard hook: recorded, or taken by the insert-key
    // box, while a macro is selected.
    function keyboardEvent(isDown, usbCode) {
        if (currentRow < 0)
            return;
        if (isInputting)
            detectKeyboard(isDown, usbCode);
        else if (isInsertting)
            detectInput(isDown, usbCode);
    }

    Timer {
        id: recordTimer
        interval: 10
        repeat: true
        onTriggered: macroEditorMain.tickCount += 1
    }

    // ---- step menu commands ----

    function withInserted(at, added) {
        return Steps.withInserted(steps(), at, added);
    }

    function insertSteps(at, added) {
        for (var i = 0; i < added.length; ++i)
            macroStepModel.insert(at + i, added[i]);
    }

    function deleteStep() {
        if (stepRow < 0 || stepRow >= macroStepModel.count)
            return false;
        if (!canChange(Steps.without(steps(), stepRow)))
            return false;
        macroStepModel.remove(stepRow);
        stepRow = Math.min(stepRow, macroStepModel.count - 1);
        autosave();
        return true;
    }

    function insertDelay() {
        if (currentRow < 0)
            return false;
        var at = Steps.delayAt(stepRow, macroStepModel.count);
        var added = [{ type: Enc.PAUSE, info: "50" }];
        if (!canAdd(withInserted(at, added)))
            return false;
        insertSteps(at, added);
        stepRow = at;
        autosave();
        return true;
    }

    function openInsertKey() {
        if (currentRow < 0 || recordCount() >= Enc.EDIT_LIMIT)
            return false;
        isInsertting = true;
        ui().insertKeyBox.visible = true;
        return true;
    }

    // Press first: after the current step when it is the last one, else
    // before it.
    function confirmInsertKey() {
        ui().insertKeyBox.visible = false;
        isInsertting = false;
        if (currentRow < 0 || insertLabel === "")
            return false;
        var at = Steps.keyAt(stepRow, macroStepModel.count);
        var added = [{ type: Enc.KEY_PRESS, info: insertLabel },
                     { type: Enc.KEY_RELEASE, info: insertLabel }];
        if (!canAdd(withInserted(at, added)))
            return false;
        insertSteps(at, added);
        autosave();
        return true;
    }

    // which: 0 left, 1 middle, 2 right. Always right after the current step.
    function insertMouseKey(which) {
        if (currentRow < 0)
            return false;
        var codes = [0xF0, 0xF2, 0xF1];
        var label = labelOf(codes[which]);
        if (label === "")
            return false;
        var at = Steps.mouseKeyAt(stepRow, macroStepModel.count);
        var added = [{ type: Enc.MOUSE_PRESS, info: label }, { type: Enc.MOUSE_RELEASE, info: label }];
        if (!canAdd(withInserted(at, added)))
            return false;
        insertSteps(at, added);
        autosave();
        return true;
    }

    // ---- in-place pause editing and the repeat box ----

    function startPauseEdit(row) {
        if (row < 0 || row >= macroStepModel.count || macroStepModel.get(row).type !== Enc.PAUSE)
            return;
        endRename();
        endPauseEdit();
        stepRow = row;
        pauseEditor.text = macroStepModel.get(row).info;
        pauseRow = row;
    }

    function endPauseEdit() {
        if (pauseRow < 0)
            return;
        var row = pauseRow;
        var text = pauseEditor.text.trim();
        pauseRow = -1;
        var n = Number(text);
        if (text !== "" && /^[0-9]+$/.test(text) && n <= 65535) {
            var s = steps();
            s[row].info = String(n);
            if (canChange(s))
                macroStepModel.setProperty(row, "info", String(n));
        }
        autosave();
    }

    function endRepeatEdit() {
        if (body && body.repeatBox.editing)
            body.repeatBox.closeFocus();
    }

    function closeMenus() {
        if (!body)
            return;
        body.nameMenu.visible = false;
        body.stepMenu.visible = false;
    }

    function macroEditorFocus() {
        endRepeatEdit();
        endRename();
        endPauseEdit();
        closeMenus();
    }

    function closeEditor() {
        if (isInputting)
            stopRecording();
        macroEditorFocus();
        if (body)
            body.insertKeyBox.visible = false;
        isInsertting = false;
        macroEditorMain.visible = false;
        closed();
        if (keyAssigmentMain)
            keyAssigmentMain.macroList.closeMenu();
    }

    function openMenu(menu, x, y) {
        closeMenus();
        menu.openAt(x, y);
    }

    ListModel { id: macroNameModel }
    ListModel { id: macroStepModel }

    // What the open pause editor holds (the editor itself lives in its row).
    QtObject {
        id: pauseEditor
        property string text: ""
    }

    component Caption: Text {
        color: Style.textColor
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormalSize
    }

    // ---- layout ----

    component Body: Item {
        property alias delayCheck: delayCheck
        property alias repeatBox: repeatBox
        property alias nameMenu: nameMenu
        property alias stepMenu: stepMenu
        property alias insertKeyBox: insertKeyBox
        property alias nameList: nameList
        property alias stepList: stepList

        width: macroEditorMain.width
        height: macroEditorMain.height

        DialogDrag {
            id: backgroundArea
            objectName: "macroEditorBackground"
            target: macroEditorMain
        }
        Connections {
            target: backgroundArea
            function onPressed() { macroEditorMain.macroEditorFocus(); }
        }

        Rectangle {
            id: titleStrip
            width: parent.width
            height: 40
            color: Style.colorBlack
            Text {
                x: 16
                anchors.verticalCenter: parent.verticalCenter
                text: macroEditorMain.lang(0)
                color: Style.textColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontMiddleSize
                font.bold: true
            }
            ImageButton {
                objectName: "macroEditorClose"
                anchors.right: parent.right
                anchors.rightMargin: 16
                anchors.verticalCenter: parent.verticalCenter
                source: Style.image("index", "closeBtn")
                hoverSource: Style.image("index", "closeBtnH")
                onClicked: macroEditorMain.closeEditor()
            }
        }
        Rectangle {
            y: 40
            width: parent.width
            height: 1
            color: Style.colorOrange
        }

        Caption {
            id: nameCaption
            x: 16
            y: 57
            text: macroEditorMain.lang(1)
        }
        Caption {
            x: stepBox.x
            y: 57
            text: macroEditorMain.lang(4)
        }

        // Name list
        Rectangle {
            id: nameBox
            x: 16
            y: 81
            width: 168
            height: 328
            color: Style.colorBlack
            NameList {
                id: nameList
                objectName: "macroNameList"
                anchors.fill: parent
                model: macroNameModel
                rowName: "macroNameRow"
                currentRow: macroEditorMain.currentRow
                editRow: macroEditorMain.renameRow
                editorName: "macroRenameEditor"
                editText: macroEditorMain.renameText
                onEditTextChanged: macroEditorMain.renameText = editText
                onEditAccepted: macroEditorMain.endRename()
                onEditorShown: {
                    macroEditorMain.renameText = macroEditorMain.currentName();
                    editor.selectAll();
                    editor.forceActiveFocus();
                }
                onRowClicked: function (index, button, at) {
                    if (macroEditorMain.renameRow === index)
                        return;
                    macroEditorMain.closeMenus();
                    macroEditorMain.selectMacro(index);
                    if (button === Qt.RightButton) {
                        var p = nameList.mapToItem(macroEditorMain, at.x, at.y);
                        macroEditorMain.openMenu(nameMenu, p.x, p.y);
                    }
                }
                onRowDoubleClicked: function (index) { macroEditorMain.startRename(index); }
            }
        }

        Row {
            x: 16
            y: nameBox.y + nameBox.height + 8
            spacing: 8
            TextButton {
                objectName: "macroNewButton"
                text: macroEditorMain.lang(2)
                onClicked: macroEditorMain.newMacro()
            }
            TextButton {
                objectName: "macroDeleteButton"
                text: macroEditorMain.lang(3)
                onClicked: macroEditorMain.deleteCurrent()
            }
        }

        // Step list
        Rectangle {
            id: stepBox
            x: nameBox.x + nameBox.width + 16
            y: 81
            width: 424
            height: 328
            color: Style.colorBlack
            ListView {
                id: stepList
                objectName: "macroStepList"
                anchors.fill: parent
                clip: true
                model: macroStepModel
                boundsBehavior: Flickable.StopAtBounds
                delegate: Rectangle {
                    id: stepItem
                    required property int index
                    required property int type
                    required property string info
                    objectName: "macroStepRow" + index
                    width: ListView.view.width
                    height: 27
                    color: index === macroEditorMain.stepRow ? Style.colorOrange : "transparent"
                    Text {
                        id: positionText
                        x: 16
                        width: 32
                        anchors.verticalCenter: parent.verticalCenter
                        text: String(stepItem.index)
                        color: Style.textColor
                        font.family: Style.fontFamily
                        font.pixelSize: Style.fontNormalSize
                    }
                    Image {
                        id: typeIcon
                        x: positionText.x + positionText.width + 16
                        anchors.verticalCenter: parent.verticalCenter
                        source: Style.image("macros", ["macroKeyDelay", "macroKeyPress", "macroKeyRelease",
                                                       "macroMousePress", "macroMouseRelease"][stepItem.type] || "macroKeyDelay")
                    }
                    Text {
                        id: infoText
                        x: typeIcon.x + Math.max(typeIcon.width, 16) + 16
                        anchors.verticalCenter: parent.verticalCenter
                        visible: macroEditorMain.pauseRow !== stepItem.index
                        text: stepItem.type === 0 ? stepItem.info + " ms" : stepItem.info
                        color: Style.textColor
                        font.family: Style.fontFamily
                        font.pixelSize: Style.fontNormalSize
                    }
                    MouseArea {
                        anchors.fill: parent
                        acceptedButtons: Qt.LeftButton | Qt.RightButton
                        onClicked: function (mouse) {
                            if (macroEditorMain.pauseRow === stepItem.index)
                                return;
                            macroEditorMain.endPauseEdit();
                            macroEditorMain.closeMenus();
                            macroEditorMain.stepRow = stepItem.index;
                            if (mouse.button === Qt.RightButton) {
                                var p = mapToItem(macroEditorMain, mouse.x, mouse.y);
                                macroEditorMain.openMenu(stepMenu, p.x, p.y);
                            }
                        }
                        onDoubleClicked: function (mouse) {
                            if (mouse.button === Qt.LeftButton)
                                macroEditorMain.startPauseEdit(stepItem.index);
                        }
                    }
                    TextInput {
                        id: pauseInput
                        x: infoText.x
                        width: 80
                        anchors.verticalCenter: parent.verticalCenter
                        visible: macroEditorMain.pauseRow === stepItem.index
                        color: Style.textColor
                        selectionColor: Style.colorBlue
                        selectByMouse: true
                        maximumLength: 5
                        font.family: Style.fontFamily
                        font.pixelSize: Style.fontNormalSize
                        validator: IntValidator { bottom: 0; top: 65535 }
                        Keys.onReturnPressed: macroEditorMain.endPauseEdit()
                        Keys.onEnterPressed: macroEditorMain.endPauseEdit()
                        onTextChanged: if (visible) pauseEditor.text = text
                        onVisibleChanged: {
                            if (!visible)
                                return;
                            text = pauseEditor.text;
                            selectAll();
                            forceActiveFocus();
                        }
                    }
                }
            }
        }

        TextButton {
            id: recordButton
            objectName: "macroRecordButton"
            x: stepBox.x
            y: stepBox.y + stepBox.height + 8
            width: 100
            active: macroEditorMain.isInputting
            text: macroEditorMain.isInputting ? macroEditorMain.lang(5) : macroEditorMain.lang(8)
            onClicked: macroEditorMain.toggleRecording()
        }
        Caption {
            id: timesCaption
            x: recordButton.x + recordButton.width + 16
            anchors.verticalCenter: recordButton.verticalCenter
            text: macroEditorMain.lang(6)
        }
        RectInput {
            id: repeatBox
            objectName: "macroRepeatBox"
            x: timesCaption.x + timesCaption.width + 8
            anchors.verticalCenter: recordButton.verticalCenter
            height: 24
            minValue: 1
            maxValue: 65535
            textValue: "1"
            border.width: 1
            border.color: Style.colorGray1
            onEndInputSignal: macroEditorMain.autosave()
        }
        CheckBox {
            id: delayCheck
            objectName: "macroDelayCheck"
            x: repeatBox.x + repeatBox.width + 16
            anchors.verticalCenter: recordButton.verticalCenter
            textValue: macroEditorMain.lang(9)
        }

        // ---- menus ----

        ContextMenu {
            id: nameMenu
            objectName: "macroNameMenu"
            texts: [macroEditorMain.lang(10), macroEditorMain.lang(11), macroEditorMain.lang(12)]
            onChosen: function (index) {
                if (index === 0)
                    macroEditorMain.deleteCurrent();
                else if (index === 1)
                    macroEditorMain.importMacro();
                else
                    macroEditorMain.exportMacro();
            }
        }

        ContextMenu {
            id: stepMenu
            objectName: "macroStepMenu"
            width: 150
            texts: [macroEditorMain.lang(10), macroEditorMain.lang(13), macroEditorMain.lang(14),
                macroEditorMain.lang(15), macroEditorMain.lang(16), macroEditorMain.lang(17)]
            onChosen: function (index) {
                if (index === 0)
                    macroEditorMain.deleteStep();
                else if (index === 1)
                    macroEditorMain.insertDelay();
                else if (index === 2)
                    macroEditorMain.openInsertKey();
                else
                    macroEditorMain.insertMouseKey(index - 3);
            }
        }

        // ---- insert key box, over a mask on the editor ----

        Rectangle {
            id: insertKeyBox
            objectName: "macroInsertKeyMask"
            anchors.fill: parent
            visible: false
            z: 30
            color: Style.maskColor
            MouseArea {
                anchors.fill: parent
                hoverEnabled: true
                onWheel: function (wheel) { wheel.accepted = true; }
            }
            Rectangle {
                objectName: "macroInsertKeyBox"
                // Centred in the window, wherever the editor has been dragged.
                x: Math.round((1024 - width) / 2) - macroEditorMain.x
                y: Math.round((640 - height) / 2) - macroEditorMain.y
                width: 240
                height: 80
                color: Style.colorGray0
                Rectangle {
                    width: parent.width
                    height: 30
                    color: Style.colorBlack
                    Text {
                        x: 10
                        anchors.verticalCenter: parent.verticalCenter
                        text: macroEditorMain.lang(14)
                        color: Style.textColor
                        font.family: Style.fontFamily
                        font.pixelSize: Style.fontNormalSize
                        font.bold: true
                    }
                }
                Rectangle {
                    x: 10
                    y: 30 + 12
                    width: 120
                    height: 25
                    color: Style.colorBlack
                    Text {
                        objectName: "macroInsertKeyLabel"
                        anchors.centerIn: parent
                        text: macroEditorMain.insertLabel
                        color: Style.textColor
                        font.family: Style.fontFamily
                        font.pixelSize: Style.fontNormalSize
                        font.bold: true
                    }
                }
                TextButton {
                    objectName: "macroInsertKeyOk"
                    x: parent.width - width - 12
                    y: 30 + 12
                    height: 25
                    text: macroEditorMain.lang(7)
                    onClicked: macroEditorMain.confirmInsertKey()
                }
            }
        }
    }
    Component {
        id: bodyComponent
        Body {}
    }
}
