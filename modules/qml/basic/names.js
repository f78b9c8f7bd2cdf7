.pragma library

// Lists of names the user edits in place: the macros and the profiles.

// prefix + the lowest number from 0 to count - 1 that no name in names
// uses, or "" when every one is taken.
function firstFree(names, prefix, count) {
    for (let n = 0; n < count; ++n) {
        if (names.indexOf(prefix + n) < 0)
            return prefix + n;
    }
    return "";
}

// Whether a name other than the one at exceptRow is name.
function taken(names, name, exceptRow) {
    for (let i = 0; i < names.length; ++i) {
        if (i !== exceptRow && names[i] === name)
            return true;
    }
    return false;
}
