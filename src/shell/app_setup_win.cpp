#include "app_setup.h"

namespace AppSetup {

// Windows keeps font files in its own font cache, outside the process.
void dropFontPages() {}

} // namespace AppSetup
