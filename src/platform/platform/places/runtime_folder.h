#pragma once
// The per-user folder for the program's runtime files.

#include <QString>

namespace pmkest {

// Per-user folder for runtime files ($XDG_RUNTIME_DIR, else the cache folder); created if needed.
QString RuntimeFolder();

}  // namespace pmkest
