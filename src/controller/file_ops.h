#pragma once

#include <QString>

// File replacement that never leaves a half-written or missing target.
namespace FileOps {

// Copies source over target through a temporary file beside target and a
// rename. On any failure target keeps its old content (or stays absent) and
// false is returned.
bool replaceWithCopy(const QString &source, const QString &target);

} // namespace FileOps
