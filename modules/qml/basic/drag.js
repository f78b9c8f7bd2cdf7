.pragma library

// New top-left of a dialog dragged by (dx, dy), kept wholly inside the
// bounds. A dialog larger than the bounds sticks to the top-left corner.
function clampedMove(x, y, dx, dy, w, h, boundW, boundH) {
    return {
        x: Math.max(0, Math.min(boundW - w, x + dx)),
        y: Math.max(0, Math.min(boundH - h, y + dy))
    };
}
