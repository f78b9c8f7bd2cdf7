.pragma library
.import "MacroEncoder.js" as Enc

// The rules of the macro editor's step list, apart from its list model:
// which edits are allowed and where inserted steps go. A step is
// {type, info} as MacroEncoder reads it.

// Steps and repeat count of a stored macro (its lines, the last one being
// the repeat count); unknown step types are dropped.
function fromStored(list, toInt) {
    var steps = [];
    for (let i = 0; i + 1 < list.length; ++i) {
        var s = Enc.parseStep(list[i]);
        if (s.type >= 0 && s.type <= 4)
            steps.push({ type: s.type, info: s.info });
    }
    return { steps: steps, repeat: list.length > 0 ? toInt(list[list.length - 1], 1) : 1 };
}

function withInserted(steps, at, added) {
    return steps.slice(0, at).concat(added, steps.slice(at));
}

function without(steps, at) {
    var out = steps.slice();
    out.splice(at, 1);
    return out;
}

// A step may be added below the editor's limit, and only if the result
// still fits the mouse's slot (an action after a long pause takes six
// bytes, which can pass the slot from just under the limit).
function canAdd(steps, candidate) {
    return Enc.imageLength(steps) < Enc.EDIT_LIMIT && Enc.imageLength(candidate) <= Enc.SLOT_SIZE;
}

// Edits that add no step (deleting, changing a pause) may still merge or
// lengthen pauses; they are refused only if they make an image grow past
// the slot.
function canChange(steps, candidate) {
    var n = Enc.imageLength(candidate);
    return n <= Enc.SLOT_SIZE || n <= Enc.imageLength(steps);
}

// A pause goes before the current step, or at the end without one.
function delayAt(current, count) {
    return current >= 0 ? current : count;
}

// A key goes after the current step when that is the last one (or there is
// none), else before it.
function keyAt(current, count) {
    return current < 0 || current >= count - 1 ? count : current;
}

// A mouse click goes right after the current step, or at the end.
function mouseKeyAt(current, count) {
    return current >= 0 ? current + 1 : count;
}
