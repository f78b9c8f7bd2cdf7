import QtQuick
import QtTest

// The gun editor with the real key matrix beside it (it carries the slots'
// firing intervals), against the recording controller.
Item {
    id: top
    width: 1024
    height: 640

    WindowTestCase {
        name: "GunControl"
        pageName: "gunControlMain"

        // Every preset stored as given, the others as built in.
        function start(presets, selectGun) {
            load({ "mouse/selectGun": selectGun }, {});
            var names = ["M416", "AKM", "M16A4", "SCAR-L", "UNP9", "Thomson"];
            for (var i = 0; i < 6; ++i)
                ui_View.setGunData(i, presets[i] || [names[i], "L-Click", "10", "0", "10", "0"]);
            page.init();
            root.openDialog(page, true);
            callLog.clear();
        }
        function saved() { return calls("ui_View.mouseSaveGundata"); }
        function shown() {
            return [page.body.yBox.textValue, page.body.rateSlider.textValue, page.body.timesBox.textValue, page.body.endlessBox.isSelect];
        }
        function close() { mouseClick(findChild(page, "gunClose")); }

        // The box follows the dot; the preset is stored on the release.
        function test_draggingTheDot_data() {
            return [{ tag: "to the bottom", startY: "0", to: 400, y: "64" }, { tag: "above the top", startY: "10", to: 0, y: "0" }];
        }
        function test_draggingTheDot(d) {
            start({ 0: ["M416", "L-Click", "10", "0", d.startY, "0"] });
            var dot = page.body.redDot;
            var cx = dot.x + 4, sy = dot.y + 4, dy = d.to - dot.y;
            mousePress(dot.parent, cx, sy);
            for (var i = 1; i <= 10; ++i)
                mouseMove(dot.parent, cx, sy + dy * i / 10, -1, Qt.LeftButton);
            compare(page.body.yBox.textValue, d.y);
            compare(saved(), []);
            mouseRelease(dot.parent, cx, sy + dy);
            compare(saved(), ["ui_View.mouseSaveGundata(0,[M416,L-Click,10,0," + d.y + ",0])"]);
        }

        function test_typedAndDraggedValuesStored() {
            start({});
            page.choosePreset(2);
            typeInto(page.body.yBox, "99");
            compare(page.body.redDot.y, 183);
            var dd = page.body.rateSlider;
            mouseClick(dd, 20, 12);
            tryCompare(dd, "animating", false);
            mouseDrag(dd.slider, dd.slider.position + 6, 6, 300, 0);
            compare(saved(), ["ui_View.mouseSaveGundata(2,[M16A4,L-Click,10,0,64,0])",
                              "ui_View.mouseSaveGundata(2,[M16A4,L-Click,90,0,64,0])"]);
        }

        // Endless writes 0 shots; a typed 0 or nothing ticks it.
        function test_times_data() {
            return [
                { tag: "endless on", times: "5", click: true, stored: "0" },
                { tag: "endless already on", times: "0", click: true, stored: null },
                { tag: "a count", times: "0", text: "30", stored: "30" },
                { tag: "emptied", times: "5", text: "", stored: "0" },
            ];
        }
        function test_times(d) {
            start({ 0: ["M416", "L-Click", "10", "0", "10", d.times] });
            d.click ? mouseClick(page.body.endlessBox, page.body.endlessBox.width - 6, 6) : typeInto(page.body.timesBox, d.text);
            compare(saved(), d.stored === null ? [] : ["ui_View.mouseSaveGundata(0,[M416,L-Click,10,0,10," + d.stored + "])"]);
            compare(page.body.endlessBox.isSelect, d.click ? d.stored !== null : d.stored === "0");
        }

        // Broken stored fields fall back to the built-in ones.
        function test_init_data() {
            return [
                { tag: "stored", presets: { 3: ["Scar", "L-Click", "20", "0", "33", "7"] }, sel: [3, 1, 5],
                  slots: [3, 1, 5], shown: ["33", "20MS", "7", false] },
                { tag: "broken values", presets: { 0: ["", "L-Click", "300", "x", "-2", "999"] }, sel: [9, "a", -1],
                  slots: [0, 0, 0], shown: ["10", "10MS", "0", true] },
            ];
        }
        function test_init(d) {
            start(d.presets, d.sel);
            compare([page.selectGun1, page.selectGun2, page.selectGun3], d.slots);
            compare(shown(), d.shown);
            compare(page.gunNumberModel.get(0).gunName, "M416");
        }

        // Slot 2 and 3 take AKM; closing sends the three slots and then the
        // key matrix with their intervals, once.
        function test_slotChoiceAndClose() {
            start({ 1: ["AKM", "L-Click", "25", "0", "12", "3"] });
            close();
            compare(calls("ui_View.mouseSendGundata"), [], "nothing changed, nothing sent");
            root.openDialog(page, true);
            choose(page.body.gunSelect, 1);
            page.choosePreset(1);
            compare(calls("ui_View.setGlobalData"), ["ui_View.setGlobalData(mouse/selectGun,[0,1,0])"]);
            choose(page.body.gunSelect, 2);
            page.choosePreset(1);
            compare(saved(), [], "choosing a preset stores none");
            choose(page.body.gunSelect, 0);
            compare(shown(), ["10", "10MS", "0", true]);
            callLog.clear();
            close();
            verify(!page.visible && !findChild(root, "mainMask").visible);
            var sent = callLog.entries().filter(function (e) { return /mouseSendGundata|mouseSetKeyMatrix/.test(e); });
            compare(sent.slice(0, 3), ["ui_View.mouseSendGundata(1,[0,0,10])", "ui_View.mouseSendGundata(2,[3,0,12])",
                                       "ui_View.mouseSendGundata(3,[3,0,12])"]);
            verify(/,true,\[10,25,25\]\)$/.test(sent[3]), sent[3]);
            compare(sent.length, 4);
            callLog.clear();
            root.openDialog(page, true);
            close();
            compare(calls("ui_View.mouseSendGundata"), [], "sent once only");
        }

        function test_closeCommitsAnOpenEdit() {
            start({});
            page.body.timesBox.input.forceActiveFocus();
            page.body.timesBox.input.selectAll();
            keyClick(Qt.Key_7);
            close();
            compare(calls("ui_View.mouseSendGundata"), ["ui_View.mouseSendGundata(1,[7,0,10])",
                                                        "ui_View.mouseSendGundata(2,[7,0,10])",
                                                        "ui_View.mouseSendGundata(3,[7,0,10])"]);
        }

        function test_factoryReset() {
            start({ 0: ["M416", "L-Click", "40", "0", "20", "6"] }, [4, 4, 5]);
            root.factoryReset();
            compare(calls("ui_View.setGlobalData(mouse/selectGun"), ["ui_View.setGlobalData(mouse/selectGun,[0,1,2])"]);
            compare(saved(), ["ui_View.mouseSaveGundata(0,[M416,L-Click,9,0,5,6])", "ui_View.mouseSaveGundata(1,[AKM,L-Click,9,0,7,0])",
                              "ui_View.mouseSaveGundata(2,[M16A4,L-Click,9,0,8,0])"]);
            compare(calls("ui_View.mouseSendGundata"), ["ui_View.mouseSendGundata(1,[6,0,5])",
                                                        "ui_View.mouseSendGundata(2,[0,0,7])",
                                                        "ui_View.mouseSendGundata(3,[0,0,8])"]);
            var km = calls("ui_View.mouseSetKeyMatrix");
            verify(/,true,\[9,9,9\]\)$/.test(km[km.length - 1]), "intervals of the reset presets: " + km);
            compare(shown(), ["5", "9MS", "6", false]);
        }
    }
}
