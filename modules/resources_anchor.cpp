// Gives the resource library a translation unit of its own.
