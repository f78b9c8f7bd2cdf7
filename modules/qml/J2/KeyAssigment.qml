pragma ComponentBehavior: Bound
import QtQuick
import ".."
import "../basic/util.js" as U
import "keyFunctions.js" as KF

// The key assignment dialog. Choosing a function only changes the dialog's
// four numbers and text; the button's entry in the panel takes them when the
// dialog closes, and only if they differ from what the button had.
Rectangle {
    id: keyAssigmentMain

    property var keyAssigmentLang: ["Key ", "Mouse Function", "Left Key", "Middle Key", "Right Key",
        "Forward Key", "Back Key", "Double Fire", "Fire Function", "Key Value", "Click Input", "Rate",
        "Times", "Endness", "Group Function", "Media Function", "Macro Function", "Macro Editor",
        "Macro runs one-time after pressing the button",
        "Macro runs endless loop until any button is pressed",
        "Macro runs endless loop until button is released", "DPI Function", "DPI+", "DPI-",
        "DPI LOOP", "Windows Function", "Shortcut Function", "Player", "Next", "Privous", "Stop",
        "Mute", "Play/Pause", "Volumn+", "Volumn-", "My PC", "Index", "Search", "Max", "Min",
        "Desktop", "Run", "New", "Cut", "Copy", "Paste", "Save", "Print", "Find", "Redo", "Undo",
        "Select All", "Gun Function", "One Gun", "Two Gun", "Three Gun", "Sniper Key", "", "", ""]

    // The function being edited.
    property int keyIndex: -1
    property int keyCode0: 0
    property int keyCode1: 0
    property int keyCode2: 0
    property int keyCode3: 0
    property string keyString: ""

    // Capture modes and the combination being captured.
    property bool isFireInput: false
    property bool isComboInput: false
    property int comboBits: 0
    property int comboKey1: 0
    property int comboKey2: 0
    property int comboCount: 0
    property string comboText: ""
    // What the two capture boxes show when not capturing.
    property string fireLabel: langText(10)
    property string comboLabel: langText(10)

    property string rateText: "10ms"
    property int macroMode: 0
    property bool dragBlock: false

    // The controls are made when the dialog first shows and kept from then
    // on; until then the function being edited, the macro names and the
    // functions here are all there is of it.
    property Body body: null
    // Other pages fill the macro drop-down before the dialog ever shows;
    // until then it is only the names.
    readonly property var macroList: body ? body.macroList : macroNamesOnly

    function ui(): Body {
        if (body === null) {
            var made = bodyComponent.createObject(keyAssigmentMain);
            body = made;
        }
        return body;
    }
    // The page that downloads macros; a test can put a recorder here.
    property var macroEditorPage: null
    // The panel whose entries the dialog edits, the picture that shows the
    // selection, and the key label table.
    property KeyMatrix keyMatrixMain: null
    property Mouse mouseMain: null
    property KeyCodeString keyCodeTable: null
    property bool isGun: true

    signal closed
    signal macroEditorRequested

    // Function tables: [language index, class, code1, code2, code3].
    readonly property var mouseOptions: KF.mouseOptions
    readonly property var dpiOptions: KF.dpiOptions
    readonly property var gunOptions: KF.gunOptions
    readonly property var mediaOptions: KF.mediaOptions
    readonly property var windowsOptions: KF.windowsOptions
    readonly property var shortcutOptions: KF.shortcutOptions

    // Grid cells; written from the language texts by init().
    property var mediaCells: cellsOf(mediaOptions, 9)
    property var windowsCells: cellsOf(windowsOptions, 9)
    property var shortcutCells: cellsOf(shortcutOptions, 12)

    readonly property int contentHeight: 830
    readonly property int areaHeight: 360

    width: 416
    height: 404
    // Vertically the dialog stays where the user last left it.
    y: Math.round((640 - 404) / 2)
    color: Style.colorGray0

    // ---- texts ----

    function langText(i) {
        var l = keyAssigmentLang;
        return l && i >= 0 && i < l.length && l[i] !== undefined && l[i] !== null ? String(l[i]) : "";
    }

    function keyLabel(code) {
        return keyCodeTable ? keyCodeTable.keycodeTostr(code) : "";
    }

    function isKnownKey(code) {
        return keyCodeTable !== null && keyCodeTable.indexOfCode(code) >= 0;
    }

    function indexes(n) {
        var out = [];
        for (let i = 0; i < n; ++i)
            out.push(i);
        return out;
    }

    function cellsOf(options, n) {
        var cells = [];
        for (var i = 0; i < n; ++i)
            cells.push({ textValue: i < options.length ? langText(options[i][0]) : "" });
        return cells;
    }

    function init() {
        mediaCells = cellsOf(mediaOptions, 9);
        windowsCells = cellsOf(windowsOptions, 9);
        shortcutCells = cellsOf(shortcutOptions, 12);
        if (body)
            body.macroList.closeMenu();
    }

    function matchOption(options, c0, c1, c2, c3, compareCode1) {
        return KF.matchOption(options, c0, c1, c2, c3, compareCode1);
    }

    function keyCodeToString(c0, c1, c2, c3) {
        return KF.describe(U.toInt(c0, -1), U.toInt(c1, 0), U.toInt(c2, 0), U.toInt(c3, 0), langText, keyLabel,
                           function (slot) {
                               return U.toText(Native.view.getData("mouseMacroKey/" + slot, false), "");
                           });
    }

    // ---- choosing ----

    function choose(c0, c1, c2, c3, text) {
        keyCode0 = c0;
        keyCode1 = c1;
        keyCode2 = c2;
        keyCode3 = c3;
        keyString = text;
    }

    function chooseOption(options, i) {
        if (i < 0 || i >= options.length)
            return;
        var o = options[i];
        choose(o[1], o[2], o[3], o[4], langText(o[0]));
    }

    function chooseCell(grid, i) {
        grid.shown = langText(grid.options[i][0]);
        chooseOption(grid.options, i);
    }

    function selectRadio(repeater, i) {
        for (var k = 0; k < repeater.count; ++k) {
            var item = repeater.itemAt(k);
            if (item)
                item.isSelect = k === i;
        }
    }

    function rateNumber() {
        var n = parseInt(rateText.substring(0, rateText.length - 2), 10);
        return isNaN(n) ? 10 : n;
    }

    function timesValue() {
        return U.clamp(U.toInt(ui().timesInput.textValue, 0), 0, 255);
    }

    function setRateFromSlider(position) {
        rateText = (Math.round(position) + 1) + "MS";
        if (keyCode0 === 0x01)
            keyCode2 = rateNumber();
    }

    function endTimesInput() {
        var n = timesValue();
        ui().endlessBox.isSelect = n === 0;
        if (keyCode0 === 0x01)
            keyCode3 = n;
    }

    function checkEndless() {
        // The box toggles after this runs: unchecked now means being checked.
        if (ui().endlessBox.isSelect)
            return;
        ui().timesInput.textValue = "0";
        if (keyCode0 === 0x01)
            keyCode3 = 0;
    }

    function startFireInput() {
        if (isComboInput)
            cancelCombo();
        isFireInput = true;
    }

    function startComboInput() {
        isFireInput = false;
        isComboInput = true;
        comboText = "";
        comboBits = 0;
        comboKey1 = 0;
        comboKey2 = 0;
        comboCount = 0;
    }

    function confirmCombo() {
        if (!isComboInput)
            return;
        isComboInput = false;
        if (comboText === "") {
            comboLabel = langText(10);
            return;
        }
        comboLabel = comboText;
        choose(0x02, comboBits, comboKey1, comboKey2, comboText);
    }

    function cancelCombo() {
        isComboInput = false;
        comboLabel = langText(10);
    }

    function appendComboLabel(label) {
        comboText = comboText === "" ? label : comboText + " + " + label;
    }

    // mode 0: fire key capture, mode 1: combination capture. Events outside
    // the matching capture, and codes the label table does not know, are
    // ignored so a stray key cannot end a capture with a nameless key.
    function detectKeyboard(isDown, usbCode, mode) {
        var code = U.toInt(usbCode, -1);
        if (!isKnownKey(code))
            return;
        if (mode === 0) {
            if (!isFireInput)
                return;
            isFireInput = false;
            var label = keyLabel(code);
            fireLabel = label;
            choose(0x01, code, rateNumber(), timesValue(), label);
            return;
        }
        if (mode !== 1 || !isComboInput || !isDown)
            return;
        if (code >= 0xE0 && code <= 0xE7) {
            comboBits |= 1 << (code - 0xE0);
            appendComboLabel(keyLabel(code));
        } else if (comboCount < 2) {
            if (comboCount === 0)
                comboKey1 = code;
            else
                comboKey2 = code;
            ++comboCount;
            appendComboLabel(keyLabel(code));
        }
    }

    function chooseMacro(row) {
        var name = macroNames.nameAt(row);
        if (name === "")
            return;
        choose(0x04, macroMode, keyIndex, 0, name);
    }

    function chooseMacroMode(i) {
        selectRadio(ui().macroModes, i);
        macroMode = i;
        if (keyCode0 === 0x04)
            keyCode1 = i;
    }

    // ---- showing, closing, restoring ----

    function showOptionIn(repeater, options, compareCode1) {
        var i = matchOption(options, keyCode0, keyCode1, keyCode2, keyCode3, compareCode1);
        selectRadio(repeater, i);
    }

    function showGrid(grid, options, compareCode1) {
        var i = matchOption(options, keyCode0, keyCode1, keyCode2, keyCode3, compareCode1);
        grid.currentSelect = i;
        grid.shown = i < 0 ? "" : langText(options[i][0]);
    }

    // Puts every control in the state of the function being edited.
    function syncControls() {
        var b = ui();
        showOptionIn(b.mouseRadios, mouseOptions, true);
        showOptionIn(b.dpiRadios, dpiOptions, true);
        showOptionIn(b.gunRadios, gunOptions, true);
        showGrid(b.mediaGrid, mediaOptions, false);
        showGrid(b.windowsGrid, windowsOptions, true);
        showGrid(b.shortcutGrid, shortcutOptions, false);
        isFireInput = false;
        isComboInput = false;
        // Rate and times belong to this button: its own fire settings, or
        // the defaults, never what the button edited before was left with.
        var isFire = keyCode0 === 0x01;
        var rate = isFire ? U.clamp(keyCode2, 4, 80) : 10;
        var times = isFire ? keyCode3 : 0;
        fireLabel = isFire ? keyLabel(keyCode1) : langText(10);
        rateText = isFire ? rate + "MS" : "10ms";
        b.rateSlider.slider.setValue(rate - 1);
        b.timesInput.textValue = String(times);
        b.endlessBox.isSelect = times === 0;
        comboLabel = keyCode0 === 0x02 && keyString !== "" ? keyString : langText(10);
        b.macroList.currentSelect = boundMacroRow();
        if (keyCode0 === 0x04)
            macroMode = U.clamp(keyCode1, 0, 2);
        selectRadio(b.macroModes, macroMode);
    }

    function show(index) {
        if (!keyMatrixMain || index < 0 || index >= keyMatrixMain.modKeys.count)
            return;
        var r = keyMatrixMain.modKeys.get(index);
        keyIndex = index;
        choose(r.keyCode0, r.keyCode1, r.keyCode2, r.keyCode3, r.keyText);
        syncControls();
        ui().scrollArea.contentY = 0;
        x = Math.round(((parent ? parent.width : 1024) - width) / 2);
        visible = true;
    }

    // An opened drop-down hangs below its box; scroll so it is not cut off
    // by the bottom of the area.
    function revealDrop(item, dropHeight) {
        var bottom = item.y + 24 + dropHeight;
        var maxY = contentHeight - areaHeight;
        var area = ui().scrollArea;
        if (bottom > area.contentY + areaHeight)
            area.contentY = U.clamp(bottom - areaHeight, 0, maxY);
    }

    function dropFocus() {
        isFireInput = false;
        if (isComboInput)
            cancelCombo();
        if (!body)
            return;
        body.timesInput.closeFocus();
        body.rateSlider.closeMenu();
        body.macroList.closeMenu();
        body.mediaGrid.closeMenu();
        body.windowsGrid.closeMenu();
        body.shortcutGrid.closeMenu();
    }

    function bindMacro(slot, name) {
        var editor = macroEditorPage;
        if (editor)
            editor.sendMacro(slot, name);
        Native.view.setData("mouseMacroKey/" + slot, name);
    }

    function closeKeyAssigment() {
        visible = false;
        closed();
        var model = keyMatrixMain ? keyMatrixMain.modKeys : null;
        if (model && keyIndex >= 0 && keyIndex < model.count) {
            var r = model.get(keyIndex);
            if (r.keyCode0 !== keyCode0 || r.keyCode1 !== keyCode1 || r.keyCode2 !== keyCode2
                    || r.keyCode3 !== keyCode3) {
                keyMatrixMain.setEntry(model, keyIndex, [keyCode0, keyCode1, keyCode2, keyCode3],
                                       keyString);
                keyMatrixMain.isSave = true;
                if (keyCode0 === 0x04)
                    bindMacro(keyCode2, keyString);
            }
        }
        if (mouseMain)
            mouseMain.selectKey = -1;
        dropFocus();
    }

    // Back to the factory assignment of this button, in the dialog and in
    // the panel at once; a factory macro is downloaded again as on the panel.
    function restore() {
        if (!keyMatrixMain || keyIndex < 0 || keyIndex >= keyMatrixMain.modKeys_tmp.count)
            return;
        var f = keyMatrixMain.modKeys_tmp.get(keyIndex);
        if (f.keyText === keyString)
            return;
        var e = [f.keyCode0, f.keyCode1, f.keyCode2, f.keyCode3];
        choose(e[0], e[1], e[2], e[3], f.keyText);
        keyMatrixMain.setEntry(keyMatrixMain.modKeys, keyIndex, e, f.keyText);
        keyMatrixMain.isSave = true;
        if (e[0] === 0x04)
            bindMacro(e[2], f.keyText);
        syncControls();
    }

    function openMacroEditor() {
        closeKeyAssigment();
        macroEditorRequested();
    }

    // A key event of the keyboard hook, for whichever capture is running.
    function keyboardEvent(isDown, usbCode) {
        if (isFireInput)
            detectKeyboard(isDown, usbCode, 0);
        else if (isComboInput)
            detectKeyboard(isDown, usbCode, 1);
    }

    // The macro drop-down's row of the macro the button plays, or -1.
    function boundMacroRow() {
        return keyCode0 === 0x04 ? macroNames.indexOfName(keyString) : -1;
    }

    // Names in the macro editor's order.
    function setMacroNames(names) {
        var list = U.toList(names);
        macroNames.clear();
        for (var i = 0; i < list.length; ++i)
            macroNames.append({ textValue: String(list[i]) });
        if (body)
            body.macroList.currentSelect = boundMacroRow();
    }

    QtObject {
        id: macroNamesOnly
        readonly property ListModel mdItems: macroNames
        readonly property int count: macroNames.count
        readonly property int currentSelect: keyAssigmentMain.boundMacroRow()
        readonly property bool isDrop: false
        function addData(names) { keyAssigmentMain.setMacroNames(names); }
        function rowText(i) { return macroNames.nameAt(i); }
        function closeMenu() {}
    }

    ListModel {
        id: macroNames
        function indexOfName(name) {
            for (var i = 0; i < count; ++i)
                if (get(i).textValue === name)
                    return i;
            return -1;
        }
        function nameAt(i) {
            return i >= 0 && i < count ? get(i).textValue : "";
        }
    }

    // ---- layout ----

    component Heading: Item {
        id: heading
        property alias text: label.text
        width: 416
        height: 27
        Text {
            id: label
            x: 32
            color: Style.textColor
            font.family: Style.fontFamily
            font.pixelSize: Style.fontMiddleSize
            font.bold: true
        }
        Rectangle {
            x: 16
            y: 26
            width: 384
            height: 1
            color: Style.colorGray1
        }
    }

    component Label: Text {
        color: Style.textColor
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormalSize
    }

    // A grid drop-down of functions. While open it has no current cell, so
    // a click on an empty cell is told apart from a click on a function and
    // leaves the choice alone.
    component FunctionGrid: DropDownGrid {
        property var options: []
        property string shown: ""
        property int kept: -1
        signal chosen(int index)
        x: 48
        width: 107
        textValue: shown
        currentSelect: -1
        signal opened
        onIsDropChanged: {
            if (isDrop) {
                kept = currentSelect;
                currentSelect = -1;
                opened();
            } else if (currentSelect < 0) {
                currentSelect = kept;
            }
        }
        onBtnClick: {
            if (currentSelect >= 0 && currentSelect < options.length)
                chosen(currentSelect);
        }
    }

    component Body: Item {
        property alias macroList: macroList
        property alias scrollArea: scrollArea
        property alias rateSlider: rateSlider
        property alias timesInput: timesInput
        property alias endlessBox: endlessBox
        property alias mouseRadios: mouseRadios
        property alias dpiRadios: dpiRadios
        property alias gunRadios: gunRadios
        property alias macroModes: macroModes
        property alias mediaGrid: mediaGrid
        property alias windowsGrid: windowsGrid
        property alias shortcutGrid: shortcutGrid

        width: keyAssigmentMain.width
        height: keyAssigmentMain.height

        Component.onCompleted: rateSlider.slider.setValue(keyAssigmentMain.rateNumber() - 1)

        DialogDrag {
            target: keyAssigmentMain
        }

        // ---- title strip ----

        Rectangle {
            id: titleStrip
            width: parent.width
            height: 40
            color: Style.colorBlack
            Text {
                objectName: "keyAssigmentTitle"
                x: 16
                width: restoreIcon.x - 24
                anchors.verticalCenter: parent.verticalCenter
                elide: Text.ElideRight
                text: keyAssigmentMain.langText(0) + (keyAssigmentMain.keyIndex + 1) + " : "
                      + keyAssigmentMain.keyString
                color: Style.textColor
                font.family: Style.fontFamily
                font.pixelSize: Style.fontMiddleSize
                font.bold: true
            }
            ImageButton {
                id: restoreIcon
                objectName: "keyAssigmentRestore"
                x: closeIcon.x - 16 - width
                y: 12
                source: Style.image("index", "back")
                hoverSource: Style.image("index", "backH")
                onClicked: keyAssigmentMain.restore()
            }
            ImageButton {
                id: closeIcon
                objectName: "keyAssigmentClose"
                x: parent.width - 16 - width
                y: 12
                actOnPress: true
                source: Style.image("index", "closeBtn")
                hoverSource: Style.image("index", "closeBtnH")
                onClicked: keyAssigmentMain.closeKeyAssigment()
            }
        }
        Rectangle {
            y: 40
            width: parent.width
            height: 1
            color: Style.colorOrange
        }

        // ---- scrolling content ----

        Flickable {
            id: scrollArea
            objectName: "keyAssigmentScroll"
            y: 41
            width: parent.width
            height: keyAssigmentMain.areaHeight
            contentWidth: width
            contentHeight: keyAssigmentMain.contentHeight
            clip: true
            interactive: !keyAssigmentMain.dragBlock
            boundsBehavior: Flickable.StopAtBounds

            Item {
                id: content
                width: scrollArea.width
                height: keyAssigmentMain.contentHeight

                // Mouse buttons and the double click
                Heading { y: 8; text: keyAssigmentMain.langText(1) }
                Repeater {
                    id: mouseRadios
                    model: keyAssigmentMain.indexes(keyAssigmentMain.mouseOptions.length)
                    delegate: RadioButton {
                        required property int modelData
                        index: modelData
                        objectName: "mouseOption" + index
                        x: 48 + (index % 3) * 120
                        y: 48 + Math.floor(index / 3) * 26
                        textValue: keyAssigmentMain.langText(keyAssigmentMain.mouseOptions[index][0])
                        onBtnClick: function (i) {
                            keyAssigmentMain.selectRadio(mouseRadios, i);
                            keyAssigmentMain.chooseOption(keyAssigmentMain.mouseOptions, i);
                        }
                    }
                }

                // Rapid fire: the key, its rate and how many shots
                Heading { y: 100; text: keyAssigmentMain.langText(8) }
                Label { x: 48; y: 144; text: keyAssigmentMain.langText(9) }
                Rectangle {
                    id: fireBox
                    objectName: "fireBox"
                    x: 120
                    y: 140
                    width: 96
                    height: 24
                    color: keyAssigmentMain.isFireInput ? Style.colorOrange : Style.colorBlue
                    Label {
                        anchors.centerIn: parent
                        text: keyAssigmentMain.isFireInput ? keyAssigmentMain.langText(10)
                                                           : keyAssigmentMain.fireLabel
                    }
                    MouseArea {
                        anchors.fill: parent
                        cursorShape: Qt.PointingHandCursor
                        onClicked: keyAssigmentMain.startFireInput()
                    }
                }
                Label { x: 236; y: 144; text: keyAssigmentMain.langText(11) }
                DropDownSlider {
                    id: rateSlider
                    objectName: "rateSlider"
                    x: 280
                    y: 140
                    width: 110
                    textValue: keyAssigmentMain.rateText
                    onValueChange: function (position) { keyAssigmentMain.setRateFromSlider(position); }
                    onDragSignal: function (isDrag) { keyAssigmentMain.dragBlock = isDrag; }
                    onIsDropChanged: if (isDrop) keyAssigmentMain.revealDrop(rateSlider, 24)
                }
                Label { x: 48; y: 176; text: keyAssigmentMain.langText(12) }
                RectInput {
                    id: timesInput
                    objectName: "timesInput"
                    x: 120
                    y: 174
                    color: Style.colorBlue
                    textValue: "0"
                    onEndInputSignal: keyAssigmentMain.endTimesInput()
                }
                CheckBox {
                    id: endlessBox
                    objectName: "endlessBox"
                    x: 184
                    y: 178
                    textValue: keyAssigmentMain.langText(13)
                    isSelect: true
                    onBtnClick: keyAssigmentMain.checkEndless()
                }

                // Key combination, captured until confirmed or cancelled
                Heading { y: 210; text: keyAssigmentMain.langText(14) }
                Rectangle {
                    id: comboBox
                    objectName: "comboBox"
                    x: (keyAssigmentMain.width - width) / 2
                    y: 250
                    width: 240
                    height: 24
                    color: keyAssigmentMain.isComboInput ? Style.colorOrange : Style.colorBlue
                    Label {
                        x: 8
                        width: parent.width - (keyAssigmentMain.isComboInput ? 60 : 16)
                        anchors.verticalCenter: parent.verticalCenter
                        horizontalAlignment: Text.AlignHCenter
                        elide: Text.ElideLeft
                        text: keyAssigmentMain.isComboInput ? keyAssigmentMain.comboText
                                                            : keyAssigmentMain.comboLabel
                    }
                    MouseArea {
                        anchors.fill: parent
                        cursorShape: Qt.PointingHandCursor
                        onClicked: if (!keyAssigmentMain.isComboInput) keyAssigmentMain.startComboInput()
                    }
                    ImageButton {
                        objectName: "comboConfirm"
                        visible: keyAssigmentMain.isComboInput
                        x: parent.width - 44
                        y: 4
                        source: Style.image("index", "sureBtn")
                        onClicked: keyAssigmentMain.confirmCombo()
                    }
                    ImageButton {
                        objectName: "comboCancel"
                        visible: keyAssigmentMain.isComboInput
                        x: parent.width - 22
                        y: 4
                        source: Style.image("index", "closeBtn")
                        hoverSource: Style.image("index", "closeBtnH")
                        onClicked: keyAssigmentMain.cancelCombo()
                    }
                }

                // Media keys
                Heading { y: 290; text: keyAssigmentMain.langText(15) }
                FunctionGrid {
                    id: mediaGrid
                    objectName: "mediaGrid"
                    y: 330
                    z: isDrop ? 100 : 1
                    mdItems: keyAssigmentMain.mediaCells
                    options: keyAssigmentMain.mediaOptions
                    onChosen: function (index) { keyAssigmentMain.chooseCell(mediaGrid, index); }
                    onOpened: keyAssigmentMain.revealDrop(mediaGrid, mediaGrid.rows * 24)
                }

                // Macro and how it repeats
                Heading { y: 370; text: keyAssigmentMain.langText(16) }
                DropDownList {
                    id: macroList
                    objectName: "macroList"
                    x: 48
                    y: 410
                    width: 160
                    z: isDrop ? 100 : 1
                    // The dialog shares the box's colour; the open list stands
                    // out from it so it reads as a list over the mode options.
                    listColor: Style.colorBlack
                    listBorderColor: Style.colorGray2
                    mdItems: macroNames
                    currentSelect: -1

                    function addData(names) {
                        keyAssigmentMain.setMacroNames(names);
                    }

                    onValueChange: function (index) { keyAssigmentMain.chooseMacro(index); }
                    onIsDropChanged: if (isDrop) keyAssigmentMain.revealDrop(macroList, visibleRows * 24)
                    onDragSignal: function (isDrag) { keyAssigmentMain.dragBlock = isDrag; }
                }
                TextButton {
                    objectName: "macroEditorButton"
                    x: macroList.x + macroList.width + 16
                    y: 410
                    width: 107
                    height: 24
                    text: keyAssigmentMain.langText(17)
                    onClicked: keyAssigmentMain.openMacroEditor()
                }
                Repeater {
                    id: macroModes
                    model: keyAssigmentMain.indexes(3)
                    delegate: RadioButton {
                        required property int modelData
                        index: modelData
                        objectName: "macroMode" + index
                        x: 48
                        y: 448 + index * 24
                        isSelect: index === 0
                        textValue: keyAssigmentMain.langText(18 + index)
                        onBtnClick: function (i) { keyAssigmentMain.chooseMacroMode(i); }
                    }
                }

                // DPI actions
                Heading { y: 518; text: keyAssigmentMain.langText(21) }
                Repeater {
                    id: dpiRadios
                    model: keyAssigmentMain.indexes(keyAssigmentMain.dpiOptions.length)
                    delegate: RadioButton {
                        required property int modelData
                        index: modelData
                        objectName: "dpiOption" + index
                        x: 48 + index * 86
                        y: 558
                        textValue: keyAssigmentMain.langText(keyAssigmentMain.dpiOptions[index][0])
                        onBtnClick: function (i) {
                            keyAssigmentMain.selectRadio(dpiRadios, i);
                            keyAssigmentMain.chooseOption(keyAssigmentMain.dpiOptions, i);
                        }
                    }
                }

                // Desktop functions
                Heading { y: 582; text: keyAssigmentMain.langText(25) }
                FunctionGrid {
                    id: windowsGrid
                    objectName: "windowsGrid"
                    y: 622
                    z: isDrop ? 100 : 1
                    mdItems: keyAssigmentMain.windowsCells
                    options: keyAssigmentMain.windowsOptions
                    onChosen: function (index) { keyAssigmentMain.chooseCell(windowsGrid, index); }
                    onOpened: keyAssigmentMain.revealDrop(windowsGrid, windowsGrid.rows * 24)
                }

                // Ctrl shortcuts
                Heading { y: 656; text: keyAssigmentMain.langText(26) }
                FunctionGrid {
                    id: shortcutGrid
                    objectName: "shortcutGrid"
                    y: 696
                    z: isDrop ? 100 : 1
                    mdItems: keyAssigmentMain.shortcutCells
                    options: keyAssigmentMain.shortcutOptions
                    onChosen: function (index) { keyAssigmentMain.chooseCell(shortcutGrid, index); }
                    onOpened: keyAssigmentMain.revealDrop(shortcutGrid, shortcutGrid.rows * 24)
                }

                // Gun slots, on gun mice only
                Heading {
                    y: 732
                    visible: keyAssigmentMain.isGun
                    text: keyAssigmentMain.langText(52)
                }
                Repeater {
                    id: gunRadios
                    model: keyAssigmentMain.indexes(keyAssigmentMain.gunOptions.length)
                    delegate: RadioButton {
                        required property int modelData
                        index: modelData
                        objectName: "gunOption" + index
                        visible: keyAssigmentMain.isGun
                        x: 48 + index * 120
                        y: 772
                        textValue: keyAssigmentMain.langText(keyAssigmentMain.gunOptions[index][0])
                        onBtnClick: function (i) {
                            keyAssigmentMain.selectRadio(gunRadios, i);
                            keyAssigmentMain.chooseOption(keyAssigmentMain.gunOptions, i);
                        }
                    }
                }
            }
        }

        // ---- scroll handle ----

        Rectangle {
            id: scrollHandle
            objectName: "keyAssigmentHandle"
            x: 402
            y: 42 + 212 * Math.max(0, scrollArea.visibleArea.yPosition)
            width: 12
            height: 240
            radius: 3
            color: handleArea.pressed || handleArea.containsMouse ? Style.colorOrange
                                                                  : Style.colorGray2
            MouseArea {
                id: handleArea
                anchors.fill: parent
                hoverEnabled: true
                property real pressY: 0
                property real startY: 0
                onPressed: function (mouse) {
                    pressY = scrollHandle.y + mouse.y;
                    startY = scrollArea.contentY;
                }
                onPositionChanged: function (mouse) {
                    if (!pressed)
                        return;
                    var dy = scrollHandle.y + mouse.y - pressY;
                    var maxY = keyAssigmentMain.contentHeight - keyAssigmentMain.areaHeight;
                    scrollArea.contentY = U.clamp(startY + dy * keyAssigmentMain.contentHeight / 212, 0,
                                                  maxY);
                }
            }
        }
    }
    Component {
        id: bodyComponent
        Body {}
    }
}
