.pragma library

// Geometry of the horizontal slider: the 12 px knob's left edge runs from 3
// to width - 15; w = width - 18 is the travel the grid is laid on.

function minPos() { return 3; }

function maxPos(width) { return Math.max(3, width - 15); }

function travel(width) { return Math.max(0, width - 18); }

function gridPos(width, segment, i) {
    if (segment <= 0)
        return 3;
    return 3 + i * travel(width) / segment;
}

// First grid position at or right of p (minus tolerance); the last one when
// p lies beyond the grid. Returns {index, pos}.
function snap(width, segment, p, tolerance) {
    var tol = tolerance || 0;
    var n = Math.max(0, segment);
    for (var i = 0; i <= n; ++i) {
        var g = gridPos(width, n, i);
        if (g >= p - tol - 1e-9)
            return { index: i, pos: g };
    }
    return { index: n, pos: gridPos(width, n, n) };
}

function clampPos(width, p) {
    return Math.max(minPos(), Math.min(maxPos(width), p));
}

function ratioPos(width, ratio) {
    return clampPos(width, Math.floor(travel(width) * ratio) + 4);
}

// Dropdown open/close time for a list of count rows or cells.
function dropDuration(count) {
    return Math.max(0, 180 - 10 * count);
}
