import QtQuick
import QtTest

// The gun editor inside the real window, with the real key matrix beside it
// (it carries the slots' firing intervals), against the recording controller.
Item {
    id: top
    width: 1024
    height: 640

    WindowTestCase {
        name: "GunControl"

        function start(presets, selectGun) {
            ui_View.resetValues();
            ui_View.setGlobalValue("mouse/icType", "553");
            ui_View.setGlobalValue("mouse/isGun", "true");
            ui_View.setGlobalValue("mouse/keyCount", 6);
            ui_View.setGlobalValue("mouse/profileNo", 0);
            ui_View.setGlobalValue("common/language", "English");
            ui_View.setLangGroup("gunControl", ["Gun editor", "Gun", "Select gun", "Cursor Adjust", "X Axis",
                                               "Y axis", "Fire adjust", "Rate", "Times", "Endness"]);
            if (selectGun !== undefined)
                ui_View.setGlobalValue("mouse/selectGun", selectGun);
            for (var i in presets)
                ui_View.setGunData(Number(i), presets[i]);
            var c = Qt.createComponent("qrc:/modules/qml/main.qml");
            verify(c.status === Component.Ready, c.errorString());
            root = createTemporaryObject(c, top);
            page = root.gunControlMain;
            root.initUI();
            root.setProtectUI(5);
            tryCompare(root, "busy", false);
            root.openDialog(page, true);
            waitForRendering(page);
            callLog.clear();
            return page;
        }
        function preset(i) {
            var g = page.gunNumberModel.get(i);
            return [g.gunName, g.gunKey, g.gunPeriod, g.gunX, g.gunY, g.gunTimes].join(",");
        }
        function shown() {
            return [page.yBox.textValue, page.rateSlider.textValue, page.timesBox.textValue,
                    page.endlessBox.isSelect];
        }
        function clickPreset(row) {
            page.gunList.positionViewAtIndex(row, ListView.Contain);
            var item = page.gunList.itemAtIndex(row);
            verify(item !== null);
            mouseClick(item, 60, 20);
        }
        function chooseSlot(index) {
            var dd = page.gunSelect;
            mouseClick(dd, 20, 12);
            tryCompare(dd, "animating", false);
            mouseClick(dd, 20, 24 + index * 24 + 12);
            tryCompare(dd, "isDrop", false);
        }
        function typeInto(box, text) {
            mouseDoubleClickSequence(box, box.width / 2, box.height / 2);
            verify(box.editing);
            box.input.selectAll();
            keyClick(Qt.Key_Backspace);
            for (var i = 0; i < text.length; ++i)
                keyClick(text.charAt(i));
            keyClick(Qt.Key_Return);
            verify(!box.editing);
        }
        function openRate() {
            var dd = page.rateSlider;
            mouseClick(dd, 20, 12);
            tryCompare(dd, "animating", false);
            verify(dd.isDrop);
            return dd.slider;
        }

        // Both ends of the picture, and every Y survives the way through the dot.
        function test_dotAndY() {
            start({});
            compare([page.dotFromY(0), page.dotFromY(64), page.yFromDot(89), page.yFromDot(183)], [89, 183, 0, 64]);
            for (var y = 0; y <= 64; ++y)
                compare(page.yFromDot(page.dotFromY(y)), y, "Y " + y);
            compare(page.yFromDot(135.9), 31);
        }

        function test_draggingTheDot_data() {
            return [
                { tag: "to the bottom", startY: "0", to: 400, y: "64" },
                { tag: "above the centre", startY: "10", to: 0, y: "0" },
            ];
        }
        function test_draggingTheDot(row) {
            start({ 0: ["M416", "L-Click", "10", "0", row.startY, "0"] });
            var dot = page.redDot;
            var picture = dot.parent;
            compare(dot.y, page.dotFromY(row.startY));
            var cx = dot.x + 4;
            var sy = dot.y + 4;
            var dy = row.to - dot.y;
            mousePress(picture, cx, sy);
            for (var i = 1; i <= 10; ++i)
                mouseMove(picture, cx, sy + dy * i / 10, -1, Qt.LeftButton);
            compare(page.yBox.textValue, row.y, "the box follows while dragging");
            compare(calls("ui_View.mouseSaveGundata").length, 0, "nothing stored before the release");
            mouseRelease(picture, cx, sy + dy);
            compare(calls("ui_View.mouseSaveGundata"),
                    ["ui_View.mouseSaveGundata(0,[M416,L-Click,10,0," + row.y + ",0])"]);
            verify(page.isSave);
        }

        function test_yBoxMovesTheDot() {
            start({});
            clickPreset(2);
            callLog.clear();
            typeInto(page.yBox, "64");
            compare(page.redDot.y, 183);
            compare(calls("ui_View.mouseSaveGundata"), ["ui_View.mouseSaveGundata(2,[M16A4,L-Click,10,0,64,0])"]);
        }

        function test_rateKnob_data() {
            return [
                { tag: "4", p: 4, pos: 3 },
                { tag: "90", p: 90, pos: 89 }
            ];
        }
        function test_rateKnob(row) {
            var g = ["M416", "L-Click", String(row.p), "0", "10", "0"];
            start({ 0: g });
            compare(page.rateSlider.slider.position, row.pos);
            compare(page.rateSlider.textValue, row.p + "MS");
            compare(page.rateText(page.knobForRate(row.p)), row.p + "MS");
        }

        function test_rateDragToTheTop() {
            start({});
            var slider = openRate();
            mouseDrag(slider, slider.position + 6, 6, 300, 0);
            compare(page.rateSlider.textValue, "90MS");
            compare(calls("ui_View.mouseSaveGundata"), ["ui_View.mouseSaveGundata(0,[M416,L-Click,90,0,10,0])"]);
        }

        function test_rateTrackClickStoresNothing() {
            start({});
            var slider = openRate();
            mouseClick(slider, 60, 6);
            tryCompare(slider, "moving", false);
            compare(page.rateSlider.textValue, "55MS");
            compare(calls("ui_View.mouseSaveGundata").length, 0);
            verify(!page.isSave);
        }

        function test_endless_data() {
            return [
                { tag: "turning it on", times: "5", click: true, stored: "0", checked: true },
                { tag: "already on", times: "0", click: true, stored: null, checked: false }
            ];
        }
        function test_endless(row) {
            start({ 1: ["AKM", "L-Click", "10", "0", "10", row.times] }, [1, 0, 0]);
            compare(page.endlessBox.isSelect, row.times === "0");
            mouseClick(page.endlessBox, page.endlessBox.width - 6, page.endlessBox.height / 2);
            compare(page.endlessBox.isSelect, row.checked);
            if (row.stored === null) {
                compare(calls("ui_View.mouseSaveGundata").length, 0);
                compare(page.timesBox.textValue, "0");
                return;
            }
            compare(page.timesBox.textValue, "0");
            compare(calls("ui_View.mouseSaveGundata"), ["ui_View.mouseSaveGundata(1,[AKM,L-Click,10,0,10,0])"]);
        }

        function test_timesBox_data() {
            return [
                { tag: "a count", text: "30", want: "30", endless: false },
                { tag: "zero", text: "0", want: "0", endless: true },
                { tag: "emptied", text: "", want: "0", endless: true }
            ];
        }
        function test_timesBox(row) {
            start({});
            page.endlessBox.isSelect = true;
            typeInto(page.timesBox, row.text);
            compare(page.timesBox.textValue, row.want);
            compare(page.endlessBox.isSelect, row.endless);
            compare(calls("ui_View.mouseSaveGundata"),
                    ["ui_View.mouseSaveGundata(0,[M416,L-Click,10,0,10," + row.want + "])"]);
        }

        function test_init_data() {
            return [
                { tag: "built-in", presets: {}, sel: undefined, slots: [0, 0, 0], shown: ["10", "10MS", "0", true] },
                { tag: "stored", presets: { 3: ["Scar", "L-Click", "20", "0", "33", "7"] }, sel: [3, 1, 5],
                  slots: [3, 1, 5], shown: ["33", "20MS", "7", false] },
                { tag: "broken values", presets: { 0: ["", "L-Click", "300", "x", "-2", "999"] },
                  sel: [9, "a", -1], slots: [0, 0, 0], shown: ["10", "10MS", "0", true] },
                { tag: "short list", presets: { 0: ["Only", "name"] }, sel: "2", slots: [2, 0, 0],
                  shown: ["10", "10MS", "0", true] }
            ];
        }
        function test_init(row) {
            start(row.presets, row.sel);
            compare([page.selectGun1, page.selectGun2, page.selectGun3], row.slots);
            compare(page.currentRow, row.slots[0]);
            compare(shown(), row.shown);
            compare(page.gunSelect.textValue, "Gun1");
            compare(page.gunNumberModel.get(0).gunName, "M416");
            compare(page.xBox.textValue, "0");
            verify(!page.xBox.enabled);
            verify(!page.isSave);
        }

        function test_closeWithoutChangesSendsNothing() {
            start({});
            chooseSlot(2);
            mouseClick(findChild(page, "gunClose"));
            verify(!page.visible);
            verify(!findChild(root, "mainMask").visible);
            compare(calls("ui_View.mouseSendGundata").length, 0);
            compare(calls("ui_View.mouseSetKeyMatrix").length, 0);
            compare(calls("ui_View.mouseSaveGundata").length, 0);
        }

        // Slot 2 takes AKM, slot 3 too; slot 1 keeps M416. Closing sends
        // the three slots and then the key matrix with their intervals.
        function test_slotChoiceAndClose() {
            start({ 1: ["AKM", "L-Click", "25", "0", "12", "3"] });
            chooseSlot(1);
            clickPreset(1);
            compare(calls("ui_View.setGlobalData"), ["ui_View.setGlobalData(mouse/selectGun,[0,1,0])"]);
            chooseSlot(2);
            compare(page.currentRow, 0, "slot 3 still uses the first preset");
            clickPreset(1);
            compare(calls("ui_View.mouseSaveGundata").length, 0, "choosing a preset stores none");
            chooseSlot(0);
            compare(page.currentRow, 0);
            compare(shown(), ["10", "10MS", "0", true]);
            chooseSlot(1);
            compare(shown(), ["12", "25MS", "3", false]);
            callLog.clear();
            mouseClick(findChild(page, "gunClose"));
            var sent = callLog.entries().filter(function (e) {
                return e.indexOf("ui_View.mouseSendGundata") === 0 || e.indexOf("ui_View.mouseSetKeyMatrix") === 0;
            });
            compare(sent.length, 4);
            compare(sent.slice(0, 3), ["ui_View.mouseSendGundata(1,[0,0,10])", "ui_View.mouseSendGundata(2,[3,0,12])",
                                       "ui_View.mouseSendGundata(3,[3,0,12])"]);
            verify(/,true,\[10,25,25\]\)$/.test(sent[3]), sent[3]);
            verify(!page.isSave);
            callLog.clear();
            root.openDialog(page, true);
            mouseClick(findChild(page, "gunClose"));
            compare(calls("ui_View.mouseSendGundata").length, 0, "sent once only");
        }

        function test_closeCommitsAnOpenEdit() {
            start({});
            mouseDoubleClickSequence(page.timesBox, 24, 10);
            page.timesBox.input.selectAll();
            keyClick(Qt.Key_7);
            mouseClick(findChild(page, "gunClose"));
            compare(calls("ui_View.mouseSendGundata"), ["ui_View.mouseSendGundata(1,[7,0,10])",
                                                        "ui_View.mouseSendGundata(2,[7,0,10])",
                                                        "ui_View.mouseSendGundata(3,[7,0,10])"]);
        }

        function test_resetData() {
            start({ 0: ["M416", "L-Click", "40", "0", "20", "6"] }, [4, 4, 5]);
            chooseSlot(2);
            root.factoryReset();
            compare(calls("ui_View.setGlobalData(mouse/selectGun"), ["ui_View.setGlobalData(mouse/selectGun,[0,1,2])"]);
            compare(calls("ui_View.mouseSaveGundata"), ["ui_View.mouseSaveGundata(0,[M416,L-Click,9,0,5,6])",
                                                        "ui_View.mouseSaveGundata(1,[AKM,L-Click,9,0,7,0])",
                                                        "ui_View.mouseSaveGundata(2,[M16A4,L-Click,9,0,8,0])"]);
            compare(calls("ui_View.mouseSendGundata"), ["ui_View.mouseSendGundata(1,[6,0,5])",
                                                        "ui_View.mouseSendGundata(2,[0,0,7])",
                                                        "ui_View.mouseSendGundata(3,[0,0,8])"]);
            var km = calls("ui_View.mouseSetKeyMatrix");
            verify(/,true,\[9,9,9\]\)$/.test(km[km.length - 1]), "intervals of the reset presets: " + km);
            compare([page.selectGun1, page.selectGun2, page.selectGun3], [0, 1, 2]);
            compare(page.gunSelect.currentSelect, 0);
            compare(page.currentRow, 0);
            compare(shown(), ["5", "9MS", "6", false]);
            verify(!page.isSave);
        }

        function test_focusClosesAndCommits() {
            start({});
            var dd = page.gunSelect;
            mouseClick(dd, 20, 12);
            tryCompare(dd, "animating", false);
            verify(dd.isDrop);
            mouseDoubleClickSequence(page.yBox, 24, 10);
            page.yBox.input.selectAll();
            keyClick(Qt.Key_4);
            page.gunControlFocus();
            tryCompare(dd, "isDrop", false);
            verify(!page.yBox.editing);
            compare(calls("ui_View.mouseSaveGundata"), ["ui_View.mouseSaveGundata(0,[M416,L-Click,10,0,4,0])"]);
        }
    }
}
