// Gives the resource library a translation unit of its own; the scene and
// the pictures are linked in through the resource object libraries.
