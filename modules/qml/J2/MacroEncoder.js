.pragma library

// Turns the steps of a macro file into the image the mouse plays from one of
// its macro slots:
//   repeat (2 bytes, high first), action pairs, terminator 00 00.
// An action pair is (timing, usage code). Timing bit 7 marks a release; bits
// 0-6 hold the pause that follows the action in 10 ms units (1..126). A
// timing of 0 in bits 0-6 means a long pause follows as two more pairs:
// (00, unit) with unit 1 = 20 ms, 2 = 50 ms, 3 = 100 ms, then the count of
// units, high byte first. Pauses take no pairs of their own: they add up into
// the timing of the action before them.

var SLOT_SIZE = 128; // one macro slot of the mouse
var EDIT_LIMIT = 126; // the editor adds nothing once an image is this long
var SHORT_LIMIT = 127; // pauses of this many 10 ms units need the long form
var MAX_COUNT = 65535; // largest count a long pause pair can carry

var PAUSE = 0;
var KEY_PRESS = 1;
var KEY_RELEASE = 2;
var MOUSE_PRESS = 3;
var MOUSE_RELEASE = 4;

// A step as stored in the macro file: "type,info". The type is the first
// character; the info starts at the third.
function parseStep(text) {
    var s = text === undefined || text === null ? "" : String(text);
    var t = s.length > 0 ? Number(s.charAt(0)) : NaN;
    return { type: isNaN(t) ? -1 : t, info: s.length > 2 ? s.substring(2) : "" };
}

function stepString(type, info) {
    return String(type) + "," + (info === undefined || info === null ? "" : String(info));
}

function isAction(type) {
    return type >= KEY_PRESS && type <= MOUSE_RELEASE;
}

function isRelease(type) {
    return type === KEY_RELEASE || type === MOUSE_RELEASE;
}

// Steps may come as file strings or as {type, info} rows.
function toStep(s) {
    if (s !== null && typeof s === "object")
        return { type: Number(s.type), info: s.info === undefined ? "" : String(s.info) };
    return parseStep(s);
}

// Milliseconds of a pause step; anything unreadable or negative is no pause.
function pauseMs(info) {
    var n = Number(String(info).trim());
    if (String(info).trim() === "" || isNaN(n) || !isFinite(n) || n < 0)
        return 0;
    return n;
}

function toRepeat(v) {
    var n = Number(v);
    if (v === undefined || v === null || String(v).trim() === "" || isNaN(n))
        return 1;
    return Math.max(0, Math.min(65535, Math.floor(n)));
}

// Pairs a pause of `units` (10 ms) needs after an action: 0 for the short
// form, 2 for the long one.
function longForm(units) {
    return units >= SHORT_LIMIT;
}

// The long-pause pairs for a total of `units`. Totals beyond what the count
// can hold in 100 ms units are clamped to the longest pause there is.
function longPause(units) {
    if (units < 100000)
        return { unit: 1, count: Math.floor(units / 2) };
    if (units < 300000)
        return { unit: 2, count: Math.floor(units / 5) };
    return { unit: 3, count: Math.min(MAX_COUNT, Math.floor(units / 10)) };
}

// The actions of a step list, each with the pause total (whole 10 ms units,
// rounded down) that follows it up to the next action. Pauses before the
// first action and after the last one play no part.
function actions(steps) {
    var out = [];
    var ms = 0;
    for (var i = 0; i < steps.length; ++i) {
        var s = toStep(steps[i]);
        if (s.type === PAUSE) {
            if (out.length > 0)
                ms += pauseMs(s.info);
        } else if (isAction(s.type)) {
            if (out.length > 0)
                out[out.length - 1].units = Math.floor(ms / 10);
            out.push({ type: s.type, info: s.info, units: 0 });
            ms = 0;
        }
    }
    return out;
}

// Bytes the steps encode to, without the slot's bound: what the editor
// checks before it adds a step.
function imageLength(steps) {
    var acts = actions(steps);
    if (acts.length === 0)
        return 2;
    var n = 2 + 2;
    for (var i = 0; i < acts.length; ++i) {
        n += 2;
        // The last action's pause is dropped, so it never takes the long form.
        if (i + 1 < acts.length && longForm(acts[i].units))
            n += 4;
    }
    return n;
}

// The image for `steps` and `repeat`; `toCode(label)` gives the usage code of
// a key label (0 when unknown). Actions that would take the image past the
// slot are left out, so the image always fits.
function encode(steps, repeat, toCode) {
    var r = toRepeat(repeat);
    var out = [Math.floor(r / 256), r % 256];
    var acts = actions(steps || []);
    if (acts.length === 0)
        return out;
    var codeOf = function (label) {
        var c = toCode ? Number(toCode(label)) : 0;
        return isNaN(c) ? 0 : (c & 0xFF);
    };
    // Pairs after the repeat bytes; the timing of the newest action is
    // written once the next one (or the end) is known.
    var body = [0, codeOf(acts[0].info)];
    var timingAt = 0;
    var last = acts[0];
    for (var i = 1; i < acts.length; ++i) {
        var flag = isRelease(last.type) ? 0x80 : 0;
        var extra = [];
        var timing;
        if (!longForm(last.units)) {
            timing = (last.units !== 0 ? last.units : 1) | flag;
        } else {
            timing = flag;
            var lp = longPause(last.units);
            extra = [0, lp.unit, Math.floor(lp.count / 256), lp.count % 256];
        }
        // repeat + pairs so far + long pause + this action + terminator
        if (2 + body.length + extra.length + 2 + 2 > SLOT_SIZE)
            break;
        body[timingAt] = timing;
        body = body.concat(extra);
        timingAt = body.length;
        body.push(0, codeOf(acts[i].info));
        last = acts[i];
    }
    body[timingAt] = 1 | (isRelease(last.type) ? 0x80 : 0);
    return out.concat(body, [0, 0]);
}

// The image for a list as loadMacroIni gives it: the steps, then the repeat
// count as the last element.
function encodeList(list, toCode) {
    var items = [];
    for (var i = 0; list && i < list.length; ++i)
        items.push(list[i]);
    if (items.length === 0)
        return encode([], 1, toCode);
    var repeat = items.pop();
    return encode(items, repeat, toCode);
}
