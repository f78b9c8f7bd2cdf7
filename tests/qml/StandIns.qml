import QtQml

// Recording stand-ins for the native objects the scene talks to, published
// under their names (see standins.h). Every call is appended to one log as
// "object.slot(arg,arg)", so tests see what the scene asked for, in order.
QtObject {
    id: standIns

    function text(v) {
        return Array.isArray(v) || (typeof v === "object" && v !== null && v.length !== undefined)
                ? "[" + Array.prototype.map.call(v, standIns.text).join(",") + "]" : String(v);
    }

    readonly property QtObject callLog: QtObject {
        property var lines: []
        function record(object, slot, args) {
            lines.push(object + "." + slot + "(" + Array.prototype.map.call(args, standIns.text).join(",") + ")");
        }
        function entries() { return lines.slice(); }
        function clear() { lines = []; }
        function note(line) { lines.push(line); }
    }

    readonly property QtObject ui_View: QtObject {
        // configuration, not logged
        property var global: ({})
        property var data: ({})
        property var recovery: ({}) // what getData and getDataList give with isRecovery
        property var lang: ({})
        property var onBoard: 1
        property var dpiStage: 1
        property var keydefine: ({}) // "index,isRecovery": entry
        property var names: ({})
        property var gun: ({})
        property bool loadResult: false
        property var macros: ({}) // name: the file's lines, the repeat count last
        property bool importPicks: false
        property bool renameWorks: true
        function resetValues() {
            global = {}; data = {}; recovery = {}; lang = {}; keydefine = {}; names = {}; gun = {}; macros = {};
            onBoard = 1; dpiStage = 1; loadResult = false; importPicks = false; renameWorks = true;
        }
        function setGlobalValue(k, v) { global[k] = v; }
        function setDataValue(k, v) { data[k] = v; }
        function setRecoveryValue(k, v) { recovery[k] = v; }
        function setLangGroup(g, texts) { lang[g] = texts; }
        function setOnBoardProfile(v) { onBoard = v; }
        function setDeviceDpiStage(v) { dpiStage = v; }
        function setKeydefine(i, isRecovery, entry) { keydefine[i + "," + isRecovery] = entry; }
        function setNameList(type, list) { names[type] = list; }
        function setLoadProfileResult(loaded) { loadResult = loaded; }
        function setGunData(i, fields) { gun[i] = fields; }

        function rec(slot, args) { standIns.callLog.record("ui_View", slot, args); }
        function stored(key, isRecovery) { return isRecovery && key in recovery ? recovery[key] : data[key]; }
        function setEnabled() { rec("setEnabled", arguments); }
        function getGlobalData(k) { rec("getGlobalData", arguments); return global[k]; }
        function setGlobalData(k, v) { rec("setGlobalData", arguments); global[k] = v; return true; }
        function getData(k, isRecovery) { rec("getData", arguments); return stored(k, isRecovery); }
        function setData(k, v) { rec("setData", arguments); data[k] = v; return true; }
        function getDataList(k, isRecovery) { rec("getDataList", arguments); return stored(k, isRecovery) || []; }
        function setDataList(k, v) { rec("setDataList", arguments); data[k] = v; return true; }
        function getLangStrings(type, code) { rec("getLangStrings", arguments); return lang[type] || []; }
        function getNameList(type) { rec("getNameList", arguments); return names[type] || []; }
        // Stored as the controller does: a one-name list carries the marker
        // entry, an empty list is no list at all.
        function updataNameList(type, list) {
            rec("updataNameList", arguments);
            names[type] = list.length === 1 ? [list[0], "loadervortex"] : list.slice();
            return true;
        }
        function loadProfile() { rec("loadProfile", arguments); return loadResult; }
        function saveProfile() { rec("saveProfile", arguments); }
        function getGunData(i) { rec("getGunData", arguments); return gun[i] || []; }
        function mouseSaveGundata() { rec("mouseSaveGundata", arguments); }
        function mouseSendGundata() { rec("mouseSendGundata", arguments); }
        function mouseReadCurrentProfile() { rec("mouseReadCurrentProfile", arguments); return onBoard; }
        function mouseGetCurrentDPI() { rec("mouseGetCurrentDPI", arguments); return dpiStage; }
        function setCurrentProfile() { rec("setCurrentProfile", arguments); }
        function resetProfile() { rec("resetProfile", arguments); }
        function mouseSwitchKeyMatrix() { rec("mouseSwitchKeyMatrix", arguments); }
        function mouseResetKeyMatrix() { rec("mouseResetKeyMatrix", arguments); }
        function mouseSetCurrentDPI() { rec("mouseSetCurrentDPI", arguments); }
        function mouseGetKeydefine(i, isRecovery) {
            rec("mouseGetKeydefine", arguments);
            return keydefine[i + "," + isRecovery] || [];
        }
        function mouseSetKeyMatrix() { rec("mouseSetKeyMatrix", arguments); }
        function mouseSetDpi() { rec("mouseSetDpi", arguments); }
        function mouseSetReportRate() { rec("mouseSetReportRate", arguments); }
        function mouseSetCursorSpeed() { rec("mouseSetCursorSpeed", arguments); }
        function mouseSetDoubleClickSpeed() { rec("mouseSetDoubleClickSpeed", arguments); }
        function mouseSetVerticalScrollLines() { rec("mouseSetVerticalScrollLines", arguments); }
        function mouseSetRGBEffect() { rec("mouseSetRGBEffect", arguments); }
        function mouseSetRGBColor() { rec("mouseSetRGBColor", arguments); }
        // macro files, kept in memory
        function createMacroIni(name) { rec("createMacroIni", arguments); macros[name] = ["1"]; return true; }
        function deleteMacroIni(name) { rec("deleteMacroIni", arguments); delete macros[name]; return true; }
        function loadMacroIni(name) { return (macros[name] || []).slice(); }
        function saveMacroIni(name, list, repeat) { macros[name] = list.concat([String(repeat)]); return true; }
        function loadMacroFile(name) {
            rec("loadMacroFile", arguments);
            if (importPicks)
                macros[name] = ["1,B", "2,B", "3"];
            return importPicks;
        }
        function saveMacroFile() { rec("saveMacroFile", arguments); }
        function modifyMacroNameUpdateProfile(from, to) {
            rec("modifyMacroNameUpdateProfile", arguments);
            if (renameWorks) {
                macros[to] = macros[from];
                delete macros[from];
            }
            return renameWorks;
        }
        function deleteMacroUpdateProfile() { rec("deleteMacroUpdateProfile", arguments); }
        function mouseSendMacroData() { rec("mouseSendMacroData", arguments); return true; }
    }

    readonly property QtObject ui_Ctl: QtObject {
        function onMinimize() { standIns.callLog.record("ui_Ctl", "onMinimize", arguments); }
        function onClose() { standIns.callLog.record("ui_Ctl", "onClose", arguments); }
        function onXChanged() { standIns.callLog.record("ui_Ctl", "onXChanged", arguments); }
        function onYChanged() { standIns.callLog.record("ui_Ctl", "onYChanged", arguments); }
        function setBusy() { standIns.callLog.record("ui_Ctl", "setBusy", arguments); }
        // No window system move here: the scene falls back to offsets.
        function startSystemMove() { return false; }
    }

    readonly property QtObject hid: QtObject {
        function hid560_02H_SetCurrentProfile() { standIns.callLog.record("hid", "hid560_02H_SetCurrentProfile", arguments); }
    }
}
