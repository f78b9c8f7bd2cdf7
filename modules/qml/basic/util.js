.pragma library

// Values from the settings files arrive as QVariant: an INI file gives text
// ("true", "560", "3"), a missing key gives undefined. These helpers turn
// them into usable JS values with a fallback instead of NaN or truthy "false".

function toBool(v, fallback) {
    if (v === undefined || v === null || v === "")
        return fallback === undefined ? false : fallback;
    if (typeof v === "boolean")
        return v;
    if (typeof v === "number")
        return v !== 0;
    var s = String(v).trim().toLowerCase();
    if (s === "true")
        return true;
    if (s === "false")
        return false;
    var n = Number(s);
    if (!isNaN(n))
        return n !== 0;
    return fallback === undefined ? false : fallback;
}

function toInt(v, fallback) {
    if (v === undefined || v === null || v === "")
        return fallback;
    var n = Number(v);
    if (isNaN(n) || !isFinite(n))
        return fallback;
    return Math.floor(n);
}

function toText(v, fallback) {
    if (v === undefined || v === null)
        return fallback;
    return String(v);
}

function toList(v) {
    if (v === undefined || v === null)
        return [];
    if (typeof v === "string")
        return v === "" ? [] : [v];
    var out = [];
    for (var i = 0; i < v.length; ++i)
        out.push(v[i]);
    return out;
}

function clamp(v, lo, hi) {
    if (hi < lo)
        return lo;
    return Math.max(lo, Math.min(hi, v));
}
