#include "app_setup.h"

namespace AppSetup {

// Windows keeps font files in its own font cache, outside the process.
void dropFontPages() {}

// The Windows heap gives freed blocks back by itself.
void releaseFreedMemory() {}

} // namespace AppSetup
