// Recording stand-ins for the native objects the scene talks to, published
// under their names by standins.h. Every call the scene makes is appended to
// one log as "object.slot(arg,arg)", so tests see what it asked for, in
// order; the calls that answer give back what the test stored.
(function () {
    var lines = [];
    function text(v) {
        return v !== null && typeof v === "object" && v.length !== undefined
                ? "[" + Array.prototype.map.call(v, text).join(",") + "]" : String(v);
    }
    // Names on state (values and set-up calls of the tests) are not logged;
    // any other call is, and answered from answers when it has one there.
    function recorder(object, state, answers) {
        return new Proxy(state, {
            get: function (t, name) {
                if (name in t)
                    return t[name];
                return function () {
                    lines.push(object + "." + String(name) + "(" + Array.prototype.map.call(arguments, text).join(",") + ")");
                    return answers[name] ? answers[name].apply(null, arguments) : undefined;
                };
            }
        });
    }

    var v = {
        resetValues: function () {
            Object.assign(v, { global: {}, data: {}, recovery: {}, lang: {}, keydefine: {}, names: {}, gun: {},
                               macros: {}, onBoard: 1, dpiStage: 1, loadResult: false, importPicks: false,
                               renameWorks: true });
        },
        setGlobalValue: function (k, x) { v.global[k] = x; },
        setDataValue: function (k, x) { v.data[k] = x; },
        setRecoveryValue: function (k, x) { v.recovery[k] = x; },
        setLangGroup: function (g, texts) { v.lang[g] = texts; },
        setOnBoardProfile: function (x) { v.onBoard = x; },
        setDeviceDpiStage: function (x) { v.dpiStage = x; },
        setKeydefine: function (i, isRecovery, entry) { v.keydefine[i + "," + isRecovery] = entry; },
        setNameList: function (type, list) { v.names[type] = list; },
        setLoadProfileResult: function (loaded) { v.loadResult = loaded; },
        setGunData: function (i, fields) { v.gun[i] = fields; },
        // macro files (name: lines, the repeat count last), read and written quietly
        loadMacroIni: function (name) { return (v.macros[name] || []).slice(); },
        saveMacroIni: function (name, list, repeat) { v.macros[name] = list.concat([String(repeat)]); return true; },
    };
    v.resetValues();
    function stored(k, isRecovery) { return isRecovery && k in v.recovery ? v.recovery[k] : v.data[k]; }
    var answers = {
        getGlobalData: function (k) { return v.global[k]; },
        setGlobalData: function (k, x) { v.global[k] = x; return true; },
        getData: stored,
        setData: function (k, x) { v.data[k] = x; return true; },
        getDataList: function (k, isRecovery) { return stored(k, isRecovery) || []; },
        setDataList: function (k, x) { v.data[k] = x; return true; },
        getLangStrings: function (type) { return v.lang[type] || []; },
        getNameList: function (type) { return v.names[type] || []; },
        // as the controller stores it: a one-name list carries the marker entry
        updataNameList: function (type, list) {
            v.names[type] = list.length === 1 ? [list[0], "loadervortex"] : list.slice();
            return true;
        },
        loadProfile: function () { return v.loadResult; },
        getGunData: function (i) { return v.gun[i] || []; },
        mouseReadCurrentProfile: function () { return v.onBoard; },
        mouseGetCurrentDPI: function () { return v.dpiStage; },
        mouseGetKeydefine: function (i, isRecovery) { return v.keydefine[i + "," + isRecovery] || []; },
        createMacroIni: function (name) { v.macros[name] = ["1"]; return true; },
        deleteMacroIni: function (name) { delete v.macros[name]; return true; },
        loadMacroFile: function (name) {
            if (v.importPicks)
                v.macros[name] = ["1,B", "2,B", "3"];
            return v.importPicks;
        },
        modifyMacroNameUpdateProfile: function (from, to) {
            if (v.renameWorks) {
                v.macros[to] = v.macros[from];
                delete v.macros[from];
            }
            return v.renameWorks;
        },
        mouseSendMacroData: function () { return true; },
    };
    return {
        ui_View: recorder("ui_View", v, answers),
        // No window system move here: the scene falls back to offsets.
        ui_Ctl: recorder("ui_Ctl", { startSystemMove: function () { return false; } }, {}),
        hid: recorder("hid", {}, {}),
        callLog: {
            entries: function () { return lines.slice(); },
            clear: function () { lines.length = 0; },
            note: function (line) { lines.push(line); },
        },
    };
})()
