#pragma once

#include <QLoggingCategory>

// Balloons, detection results and captured input, for diagnosis and tests.
// Off by default; enable with QT_LOGGING_RULES="skarn.shell.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcShell)
