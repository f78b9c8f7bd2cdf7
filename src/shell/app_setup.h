#pragma once

#include <QString>

// Process set-up shared by both executables and the tests that start the
// program's pieces.
namespace AppSetup {

// Makes the executable's folder the working directory; returns that folder.
QString enterExecutableFolder();

// Lets the scene's font family render Chinese with what Linux ships, and
// picks the software renderer for the scene unless the environment names
// another (QT_QUICK_BACKEND, QSG_RHI_BACKEND). Call after the application
// object exists and before the first view is created. Once the scene has
// ended its start-up, the font pages read for it are dropped.
void prepareScene();

// Gives back the pages of mapped font files read so far (per OS); the
// glyph cache holds what they gave.
void dropFontPages();

// Gives the heap's freed pages back to the system (per OS).
void releaseFreedMemory();

} // namespace AppSetup
