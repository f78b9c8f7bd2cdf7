#include "app_setup.h"

#include <malloc.h>
#include <strings.h>
#include <sys/mman.h>

#include <cstdio>
#include <cstring>

namespace AppSetup {

namespace {

bool isFontFile(const char *path) {
    const size_t n = std::strlen(path);
    for (const char *ext : {".ttf", ".ttc", ".otf", ".otc"}) {
        const size_t e = std::strlen(ext);
        if (n > e && strncasecmp(path + n - e, ext, e) == 0)
            return true;
    }
    return false;
}

} // namespace

// FreeType reads glyph outlines straight from the mapped font file, and the
// kernel maps a fault's neighbours along with it: for a large CJK font that
// is megabytes of outlines the glyph cache already holds. Drop them and read
// only the pages a new glyph needs from here on.
void dropFontPages() {
    FILE *maps = std::fopen("/proc/self/maps", "re");
    if (!maps)
        return;
    char line[4096];
    while (std::fgets(line, sizeof line, maps)) {
        unsigned long from = 0, to = 0;
        char perms[8] = {};
        int pathAt = 0;
        if (std::sscanf(line, "%lx-%lx %7s %*s %*s %*s %n", &from, &to, perms, &pathAt) < 3 ||
            pathAt <= 0)
            continue;
        char *path = line + pathAt;
        path[std::strcspn(path, "\n")] = '\0';
        // Only read-only file mappings: dropping their pages loses nothing.
        if (perms[1] != '-' || path[0] != '/' || !isFontFile(path))
            continue;
        void *start = reinterpret_cast<void *>(from);
        madvise(start, to - from, MADV_RANDOM);
        madvise(start, to - from, MADV_DONTNEED);
    }
    std::fclose(maps);
}

// Start-up frees more than it keeps (the scene's compilation, the start-up
// logo, decoding buffers); hand those pages back instead of holding them
// for the rest of a tray program's long life.
void releaseFreedMemory() {
    malloc_trim(0);
}

} // namespace AppSetup
